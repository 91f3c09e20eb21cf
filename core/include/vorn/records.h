// Record types of the Vornmart data store: one plain structure per table.
//
// Numbers start at 0 and texts empty in a new record.
// Text fields hold GBK bytes exactly as the program hands them over; prices are
// yuan; times are seconds since 1970 (UTC) with local-time meaning, 0 = not set.
// Each record writes its own INSERT, UPDATE and DELETE statement into a caller's
// buffer; sql_capacity() tells how large that buffer must be for this record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "vorn/export.h"

namespace vorn {

// A goods unit (table Store). One row is one physical piece of goods.
struct VORNCORE_API SRec {
    static const int db_id = 0;

    int FSi_Id = 0;
    std::string FSs_Code;
    std::string FSs_Name;
    int FSi_Type = 0;
    std::string FSs_Size;
    double FSd_OriP = 0;  // purchase
    double FSd_RetP = 0;  // retail
    double FSd_MemP = 0;  // ordinary member
    double FSd_GolP = 0;  // gold-card member
    double FSd_WhoP = 0;  // wholesale
    double FSd_SpeP = 0;  // special
    int64_t FSt_StoT = 0; // put into stock
    double FSd_ReaP = 0;  // really sold at
    int64_t FSt_SalT = 0; // sold
    int FSi_Flag = 0;     // 0 in stock, 1 sold, 2 written off (returned damaged; counted as neither)
    int FSi_Supplier = 0;
    std::string FSs_Remark;

    SRec();
    SRec(const SRec&);
    SRec& operator=(const SRec&);
    ~SRec();

    int make_insert_sql(char* buf) const;
    int make_update_sql(char* buf) const;
    int make_delete_sql(char* buf) const;
    // Bytes any of the three statements needs, terminating zero included.
    std::size_t sql_capacity() const;
};

// A goods type (table Type) and a supplier (table Supplier) share one shape.
struct VORNCORE_API TRec {
    static const int db_id = 1;

    int FTi_Id = 0;
    std::string FTs_Name;

    TRec();
    TRec(const TRec&);
    TRec& operator=(const TRec&);
    ~TRec();

    int make_insert_sql(char* buf) const;
    int make_update_sql(char* buf) const;
    int make_delete_sql(char* buf) const;
    std::size_t sql_capacity() const;
};

struct VORNCORE_API SPRec {
    static const int db_id = 2;

    int FSPi_Id = 0;
    std::string FSPs_Name;

    SPRec();
    SPRec(const SPRec&);
    SPRec& operator=(const SPRec&);
    ~SPRec();

    int make_insert_sql(char* buf) const;
    int make_update_sql(char* buf) const;
    int make_delete_sql(char* buf) const;
    std::size_t sql_capacity() const;
};

// A user account (table User). FUi_Auth is the role, 0 for the built-in administrator.
struct VORNCORE_API URec {
    static const int db_id = 3;

    int FUi_Id = 0;
    std::string FUs_Name;
    std::string FUs_Pas;
    int FUi_Auth = 0;

    URec();
    URec(const URec&);
    URec& operator=(const URec&);
    ~URec();

    int make_insert_sql(char* buf) const;
    int make_update_sql(char* buf) const;
    int make_delete_sql(char* buf) const;
    std::size_t sql_capacity() const;
};

// A shop setting row (table Addition), at a fixed id.
struct VORNCORE_API ARec {
    static const int db_id = 4;

    int FAi_Id = 0;
    std::string FAs_Name;
    std::string FAs_Value;

    ARec();
    ARec(const ARec&);
    ARec& operator=(const ARec&);
    ~ARec();

    int make_insert_sql(char* buf) const;
    int make_update_sql(char* buf) const;
    int make_delete_sql(char* buf) const;
    std::size_t sql_capacity() const;
};

// A member (table VIP). The field order is not the column order: the birthday
// comes right after the name here but is the last column of the table.
struct VORNCORE_API VIPRec {
    static const int db_id = 5;

    int FVi_Id = 0;
    std::string FVs_Code;
    int FVi_Type = 0;
    std::string FVs_Name;
    int64_t FVt_BirT = 0;
    int FVi_Grade = 0;
    std::string FVs_EMail;
    std::string FVs_Phone;
    std::string FVs_Addr;
    int64_t FVt_CreT = 0;
    std::string FVs_Remark;

    VIPRec();
    VIPRec(const VIPRec&);
    VIPRec& operator=(const VIPRec&);
    ~VIPRec();

    int make_insert_sql(char* buf) const;
    int make_update_sql(char* buf) const;
    int make_delete_sql(char* buf) const;
    std::size_t sql_capacity() const;
};

} // namespace vorn
