#include "journalschema.h"

namespace vorn::detail {

// Sale: FSAs_No is the number "YYYYMMDD-NNNN" and FSAi_Seq its NNNN (the day's
// sequence, which may outgrow four digits); money columns hold tenths; the
// points are NULL where unknown (recovered history), as are the original sale
// of anything but a return and the shift of a sale made outside one.
// clang-format off
const JournalTable kJournalTables[3] = {
    {"Sale",
     "CREATE TABLE IF NOT EXISTS Sale (FSAi_Id INTEGER PRIMARY KEY,FSAs_No VARCHAR(24),FSAi_Seq INTEGER,"
     "FSAt_Time TIMESTAMP,FSAs_User CHAR(32),FSAs_VIP CHAR(32),FSAi_Count INTEGER,FSAi_Due BIGINT,"
     "FSAi_Disc BIGINT,FSAi_Paid BIGINT,FSAi_Change BIGINT,FSAi_Points INTEGER,FSAi_Kind INTEGER,"
     "FSAi_Orig INTEGER,FSAi_Recov INTEGER,FSAs_Appr CHAR(32),FSAi_Shift INTEGER );"
     "CREATE UNIQUE INDEX IF NOT EXISTS vorn_sale_no ON Sale(FSAs_No);"
     "CREATE INDEX IF NOT EXISTS vorn_sale_time ON Sale(FSAt_Time);"},
    {"SaleUnit",
     "CREATE TABLE IF NOT EXISTS SaleUnit (FSAUi_Id INTEGER PRIMARY KEY,FSAUi_Sale INTEGER,FSAUi_Unit INTEGER,"
     "FSAUi_Price BIGINT );"
     "CREATE INDEX IF NOT EXISTS vorn_saleunit_sale ON SaleUnit(FSAUi_Sale);"
     "CREATE INDEX IF NOT EXISTS vorn_saleunit_unit ON SaleUnit(FSAUi_Unit);"},
    {"SalePayment",
     "CREATE TABLE IF NOT EXISTS SalePayment (FSAPi_Id INTEGER PRIMARY KEY,FSAPi_Sale INTEGER,"
     "FSAPi_Method INTEGER,FSAPi_Amount BIGINT );"
     "CREATE INDEX IF NOT EXISTS vorn_salepayment_sale ON SalePayment(FSAPi_Sale,FSAPi_Method);"},
};
// clang-format on

const char* const kJournalIndexNames[5] = {"vorn_sale_no", "vorn_sale_time", "vorn_saleunit_sale",
                                           "vorn_saleunit_unit", "vorn_salepayment_sale"};

} // namespace vorn::detail
