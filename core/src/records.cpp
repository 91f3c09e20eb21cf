// Statement writers and special members of the record types.
#include "vorn/records.h"

#include <cstring>

#include "sqlwriter.h"
#include "statements.h"

namespace vorn {

using detail::SqlWriter;

namespace {

// Copies a statement into the caller's buffer and returns its length.
int emit(const std::string& sql, char* buf) {
    std::memcpy(buf, sql.c_str(), sql.size() + 1);
    return static_cast<int>(sql.size());
}

// Upper bound of any statement of a record: the longest format, every quote
// doubled, the longest possible rendering of each number.
std::size_t bound(std::size_t textBytes, int prices, int ints, int times) {
    return 512 + 2 * textBytes + 330 * static_cast<std::size_t>(prices) + 12 * static_cast<std::size_t>(ints) +
           24 * static_cast<std::size_t>(times);
}

} // namespace

// ---- SRec -----------------------------------------------------------------

SRec::SRec() = default;
SRec::SRec(const SRec&) = default;
SRec& SRec::operator=(const SRec&) = default;
SRec::~SRec() = default;

namespace detail {
void append_insert(const SRec& r, std::string& s) {
    SqlWriter w(s);
    w.raw("INSERT INTO Store VALUES(NULL,").text(r.FSs_Code).raw(",").text(r.FSs_Name).raw(",");
    w.integer(r.FSi_Type).raw(",").text(r.FSs_Size).raw(",").money(r.FSd_OriP).raw(",").money(r.FSd_RetP);
    w.raw(",").money(r.FSd_MemP).raw(",").money(r.FSd_GolP).raw(",").money(r.FSd_WhoP).raw(",");
    w.money(r.FSd_SpeP).raw(",").time(r.FSt_StoT).raw(",").money(r.FSd_ReaP).raw(",").time(r.FSt_SalT);
    w.raw(",").integer(r.FSi_Flag).raw(",").integer(r.FSi_Supplier).raw(",").text(r.FSs_Remark).raw(");");
}
void append_update(const SRec& r, std::string& s) {
    SqlWriter w(s);
    w.raw("UPDATE Store SET FSs_Code=").text(r.FSs_Code).raw(",FSs_Name=").text(r.FSs_Name);
    w.raw(",FSi_Type=").integer(r.FSi_Type).raw(",FSs_Size=").text(r.FSs_Size);
    w.raw(",FSd_OriP=").money(r.FSd_OriP).raw(",FSd_RetP=").money(r.FSd_RetP);
    w.raw(",FSd_MemP=").money(r.FSd_MemP).raw(",FSd_GolP=").money(r.FSd_GolP);
    w.raw(",FSd_WhoP=").money(r.FSd_WhoP).raw(",FSd_SpeP=").money(r.FSd_SpeP);
    w.raw(",FSt_StoT=").time(r.FSt_StoT).raw(",FSd_ReaP=").money(r.FSd_ReaP);
    w.raw(",FSt_SalT=").time(r.FSt_SalT).raw(",FSi_Flag=").integer(r.FSi_Flag);
    w.raw(",FSi_Supplier=").integer(r.FSi_Supplier).raw(",FSs_Remark=").text(r.FSs_Remark);
    w.raw(" WHERE FSi_Id=").integer(r.FSi_Id).raw(";");
}
void append_delete(const SRec& r, std::string& s) {
    SqlWriter(s).raw("DELETE FROM Store WHERE FSi_Id=").integer(r.FSi_Id).raw(";");
}

// ---- TRec / SPRec (one shape) ----------------------------------------------
void append_insert(const TRec& r, std::string& s) {
    SqlWriter(s).raw("INSERT INTO Type VALUES(NULL,").text(r.FTs_Name).raw(");");
}
void append_update(const TRec& r, std::string& s) {
    SqlWriter(s).raw("UPDATE Type SET FTs_Name=").text(r.FTs_Name).raw(" WHERE FTi_Id=").integer(r.FTi_Id).raw(";");
}
void append_delete(const TRec& r, std::string& s) {
    SqlWriter(s).raw("DELETE FROM Type WHERE FTi_Id=").integer(r.FTi_Id).raw(";");
}
void append_insert(const SPRec& r, std::string& s) {
    SqlWriter(s).raw("INSERT INTO Supplier VALUES(NULL,").text(r.FSPs_Name).raw(");");
}
void append_update(const SPRec& r, std::string& s) {
    SqlWriter(s).raw("UPDATE Supplier SET FSPs_Name=").text(r.FSPs_Name).raw(" WHERE FSPi_Id=");
    SqlWriter(s).integer(r.FSPi_Id).raw(";");
}
void append_delete(const SPRec& r, std::string& s) {
    SqlWriter(s).raw("DELETE FROM Supplier WHERE FSPi_Id=").integer(r.FSPi_Id).raw(";");
}

// ---- URec -------------------------------------------------------------------
void append_insert(const URec& r, std::string& s) {
    SqlWriter w(s);
    w.raw("INSERT INTO User VALUES(NULL,").text(r.FUs_Name).raw(",").text(r.FUs_Pas).raw(",");
    w.integer(r.FUi_Auth).raw(");");
}
void append_update(const URec& r, std::string& s) {
    SqlWriter w(s);
    w.raw("UPDATE User SET FUs_Name=").text(r.FUs_Name).raw(",FUs_Pas=").text(r.FUs_Pas);
    w.raw(",FUi_Auth=").integer(r.FUi_Auth).raw(" WHERE FUi_Id=").integer(r.FUi_Id).raw(";");
}
void append_delete(const URec& r, std::string& s) {
    SqlWriter(s).raw("DELETE FROM User WHERE FUi_Id=").integer(r.FUi_Id).raw(";");
}

// ---- ARec -------------------------------------------------------------------
void append_insert(const ARec& r, std::string& s) {
    SqlWriter(s).raw("INSERT INTO Addition VALUES(NULL,").text(r.FAs_Name).raw(", ").text(r.FAs_Value).raw(");");
}
void append_update(const ARec& r, std::string& s) {
    SqlWriter w(s);
    w.raw("UPDATE Addition SET FAs_Name=").text(r.FAs_Name).raw(",FAs_Value=").text(r.FAs_Value);
    w.raw(" WHERE FAi_Id=").integer(r.FAi_Id).raw(";");
}
void append_delete(const ARec& r, std::string& s) {
    SqlWriter(s).raw("DELETE FROM Addition WHERE FAi_Id=").integer(r.FAi_Id).raw(";");
}

// ---- VIPRec -----------------------------------------------------------------
void append_insert(const VIPRec& r, std::string& s) {
    SqlWriter w(s);
    w.raw("INSERT INTO VIP VALUES(NULL,").text(r.FVs_Code).raw(",").integer(r.FVi_Type).raw(",");
    w.text(r.FVs_Name).raw(",").integer(r.FVi_Grade).raw(",").text(r.FVs_EMail).raw(",").text(r.FVs_Phone);
    w.raw(",").text(r.FVs_Addr).raw(",").time(r.FVt_CreT).raw(",").text(r.FVs_Remark).raw(",");
    w.time(r.FVt_BirT).raw(");");
}
void append_update(const VIPRec& r, std::string& s) {
    SqlWriter w(s);
    w.raw("UPDATE VIP SET FVs_Code=").text(r.FVs_Code).raw(",FVi_Type=").integer(r.FVi_Type);
    w.raw(",FVs_Name=").text(r.FVs_Name).raw(",FVi_Grade=").integer(r.FVi_Grade);
    w.raw(",FVs_EMail=").text(r.FVs_EMail).raw(",FVs_Phone=").text(r.FVs_Phone);
    w.raw(",FVs_Addr=").text(r.FVs_Addr).raw(",FVt_CreT=").time(r.FVt_CreT);
    w.raw(",FVs_Remark=").text(r.FVs_Remark).raw(",FVt_BirT=").time(r.FVt_BirT);
    w.raw(" WHERE FVi_Id=").integer(r.FVi_Id).raw(";");
}
void append_delete(const VIPRec& r, std::string& s) {
    SqlWriter(s).raw("DELETE FROM VIP WHERE FVi_Id=").integer(r.FVi_Id).raw(";");
}
} // namespace detail

// The public writers of every record type, and the special members.
#define VORN_RECORD_WRITERS(Rec)                                                                             \
    int Rec::make_insert_sql(char* buf) const {                                                            \
        std::string s;                                                                                     \
        detail::append_insert(*this, s);                                                                   \
        return emit(s, buf);                                                                               \
    }                                                                                                      \
    int Rec::make_update_sql(char* buf) const {                                                            \
        std::string s;                                                                                     \
        detail::append_update(*this, s);                                                                   \
        return emit(s, buf);                                                                               \
    }                                                                                                      \
    int Rec::make_delete_sql(char* buf) const {                                                            \
        std::string s;                                                                                     \
        detail::append_delete(*this, s);                                                                   \
        return emit(s, buf);                                                                               \
    }

VORN_RECORD_WRITERS(SRec)
VORN_RECORD_WRITERS(TRec)
VORN_RECORD_WRITERS(SPRec)
VORN_RECORD_WRITERS(URec)
VORN_RECORD_WRITERS(ARec)
VORN_RECORD_WRITERS(VIPRec)
#undef VORN_RECORD_WRITERS

std::size_t SRec::sql_capacity() const {
    return bound(FSs_Code.size() + FSs_Name.size() + FSs_Size.size() + FSs_Remark.size(), 8, 4, 2);
}

// The type and supplier records share one shape and so their special members.
TRec::TRec() = default;
TRec::TRec(const TRec&) = default;
TRec& TRec::operator=(const TRec&) = default;
TRec::~TRec() = default;
std::size_t TRec::sql_capacity() const { return bound(FTs_Name.size(), 0, 1, 0); }

SPRec::SPRec() = default;
SPRec::SPRec(const SPRec&) = default;
SPRec& SPRec::operator=(const SPRec&) = default;
SPRec::~SPRec() = default;
std::size_t SPRec::sql_capacity() const { return bound(FSPs_Name.size(), 0, 1, 0); }

URec::URec() = default;
URec::URec(const URec&) = default;
URec& URec::operator=(const URec&) = default;
URec::~URec() = default;
std::size_t URec::sql_capacity() const { return bound(FUs_Name.size() + FUs_Pas.size(), 0, 2, 0); }

ARec::ARec() = default;
ARec::ARec(const ARec&) = default;
ARec& ARec::operator=(const ARec&) = default;
ARec::~ARec() = default;
std::size_t ARec::sql_capacity() const { return bound(FAs_Name.size() + FAs_Value.size(), 0, 1, 0); }

VIPRec::VIPRec() = default;
VIPRec::VIPRec(const VIPRec&) = default;
VIPRec& VIPRec::operator=(const VIPRec&) = default;
VIPRec::~VIPRec() = default;
std::size_t VIPRec::sql_capacity() const {
    return bound(FVs_Code.size() + FVs_Name.size() + FVs_EMail.size() + FVs_Phone.size() + FVs_Addr.size() +
                     FVs_Remark.size(),
                 0, 3, 2);
}

} // namespace vorn
