#include "schema.h"

namespace vorn::detail {

// Chinese literals are GBK bytes: 未知 and 未指定.
const char* const kSchemaText =
    "BEGIN;"
    "CREATE TABLE Store (FSi_Id INTEGER PRIMARY KEY,FSs_Code CHAR(32),FSs_Name CHAR(64),FSi_Type INTEGER,"
    "FSs_Size CHAR(16),FSd_OriP DOUBLE,FSd_RetP DOUBLE,FSd_MemP DOUBLE,FSd_GolP DOUBLE,FSd_WhoP DOUBLE,"
    "FSd_SpeP DOUBLE,FSt_StoT DATETIME,FSd_ReaP DOUBLE,FSt_SalT DATETIME,FSi_Flag INTEGER,"
    "FSi_Supplier INTEGER,FSs_Remark VARCHAR(256) );"
    "CREATE TABLE Type (FTi_Id INTEGER PRIMARY KEY,FTs_Name CHAR(32) );"
    "INSERT INTO Type VALUES(NULL, '\xce\xb4\xd6\xaa');"
    "CREATE TABLE Supplier (FSPi_Id INTEGER PRIMARY KEY,FSPs_Name VARCHAR(256) );"
    "INSERT INTO Supplier VALUES(NULL, '\xce\xb4\xd6\xb8\xb6\xa8');"
    "CREATE TABLE User (FUi_Id INTEGER PRIMARY KEY,FUs_Name CHAR(32),FUs_Pas CHAR(32),FUi_Auth INTEGER );"
    "INSERT INTO User VALUES(NULL, 'admin', 'Tq4#Lm8!Wz2^Kd7&Rv1%Hn6*Pc3=', 0);"
    "CREATE TABLE Addition (FAi_Id INTEGER PRIMARY KEY,FAs_Name CHAR(32),FAs_Value VARCHAR(256) );"
    "INSERT INTO Addition VALUES(NULL, '', '');"
    "INSERT INTO Addition VALUES(NULL, '', '');"
    "INSERT INTO Addition VALUES(NULL, '', '');"
    "INSERT INTO Addition VALUES(NULL, '', '');"
    "INSERT INTO Addition VALUES(NULL, '', '');"
    "INSERT INTO Addition VALUES(NULL, '', '');"
    "INSERT INTO Addition VALUES(NULL, '', '');"
    "INSERT INTO Addition VALUES(NULL, '', '');"
    "INSERT INTO Addition VALUES(NULL, '', '');"
    "CREATE TABLE VIP (FVi_Id INTEGER PRIMARY KEY,FVs_Code CHAR(32),FVi_Type INTEGER,FVs_Name CHAR(32),"
    "FVi_Grade INTEGER,FVs_EMail VARCHAR(32),FVs_Phone VARCHAR(32),FVs_Addr VARCHAR(256),FVt_CreT DATETIME,"
    "FVs_Remark VARCHAR(256),FVt_BirT DATETIME );"
    "COMMIT;";

const char* const kCacheText = "PRAGMA cache_size=-65536;";

// The counter looks codes up with and without the stock flag; the stock alarm
// groups the units in stock by code; the statistics sum the sold units over
// time spans, overall and per type. The partial indexes hold only the rows
// those queries read and carry every column they touch: the SQLite under the
// codec counts a column named only in an index's WHERE as not covered, so the
// flag is repeated among the indexed columns.
const char* const kIndexText =
    "CREATE INDEX IF NOT EXISTS vorn_store_code ON Store(FSs_Code,FSi_Flag);"
    "CREATE INDEX IF NOT EXISTS vorn_store_stock_code ON Store(FSs_Code,FSi_Flag,FSs_Name) WHERE FSi_Flag=0;"
    "CREATE INDEX IF NOT EXISTS vorn_store_sold_time ON Store(FSt_SalT,FSd_ReaP,FSd_OriP,FSi_Flag) "
    "WHERE FSi_Flag=1;"
    "CREATE INDEX IF NOT EXISTS vorn_store_sold_type_time ON Store(FSi_Type,FSt_SalT,FSd_ReaP,FSd_OriP,FSi_Flag) "
    "WHERE FSi_Flag=1;"
    "CREATE INDEX IF NOT EXISTS vorn_vip_code ON VIP(FVs_Code);"
    // The sales ranking groups the sold units of a span by code: with the code
    // beside the time it reads the span's entries in order, no unit looked up.
    "CREATE INDEX IF NOT EXISTS vorn_store_sold_code ON Store(FSt_SalT,FSs_Code,FSd_ReaP,FSd_OriP,FSi_Type,FSi_Flag) "
    "WHERE FSi_Flag=1;";
const char* const kServerIndexText =
    "CREATE INDEX IF NOT EXISTS vorn_store_stock_id ON Store(FSs_Code,FSi_Id) WHERE FSi_Flag=0;";
const char* const kIndexNames[6] = {"vorn_store_code",           "vorn_store_stock_code", "vorn_store_sold_time",
                                    "vorn_store_sold_type_time", "vorn_vip_code",         "vorn_store_sold_code"};

} // namespace vorn::detail
