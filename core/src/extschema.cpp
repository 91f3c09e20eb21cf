#include "extschema.h"

#include <string>

#include "engine.h"

#include "journalschema.h"
#include "onestatement.h"
#include "readers.h"
#include "vorn/transaction.h"

namespace vorn::detail {

namespace {

// Failed password checks, the latest few hundred, so an owner can see who was
// refused and when. The name is kept as typed (GBK); the place says which
// dialog refused it; the time is local time like the goods' times.
const ExtraTable kTables[] = {
    {"LoginFail", "CREATE TABLE IF NOT EXISTS LoginFail (FLFi_Id INTEGER PRIMARY KEY,FLFs_Name VARCHAR(32),"
                  "FLFt_Time TIMESTAMP,FLFs_Place VARCHAR(32) );"},
    // The sale journal (vorn/journal.h).
    {kJournalTables[0].name, kJournalTables[0].create},
    {kJournalTables[1].name, kJournalTables[1].create},
    {kJournalTables[2].name, kJournalTables[2].create},
    // Price changes of the goods by article (vorn/articles.h): one row per set
    // of old prices a change replaced, with the units that had them; money in
    // tenths of a yuan like the journal's.
    {"PriceHistory",
     "CREATE TABLE IF NOT EXISTS PriceHistory (FPHi_Id INTEGER PRIMARY KEY,FPHs_Code CHAR(32),FPHt_Time TIMESTAMP,"
     "FPHs_User CHAR(32),FPHi_Units INTEGER,FPHi_OldRet BIGINT,FPHi_OldMem BIGINT,FPHi_OldGol BIGINT,"
     "FPHi_OldWho BIGINT,FPHi_OldSpe BIGINT,FPHi_NewRet BIGINT,FPHi_NewMem BIGINT,FPHi_NewGol BIGINT,"
     "FPHi_NewWho BIGINT,FPHi_NewSpe BIGINT );"
     "CREATE INDEX IF NOT EXISTS vorn_pricehistory_code ON PriceHistory(FPHs_Code,FPHt_Time);"},
    // Shifts at the counter (vorn/shifts.h): the shift's float and counted cash
    // in tenths, its closing time NULL while it is open; the drawer's openings
    // without a sale; shop settings by key. The index on the journal's shift
    // column lets a shift's report read only its own rows.
    {"Shift",
     "CREATE TABLE IF NOT EXISTS Shift (FSHi_Id INTEGER PRIMARY KEY,FSHs_User CHAR(32),FSHt_Open TIMESTAMP,"
     "FSHt_Close TIMESTAMP,FSHi_Float BIGINT,FSHi_Counted BIGINT,FSHs_Note VARCHAR(64) );"
     "CREATE INDEX IF NOT EXISTS vorn_shift_open ON Shift(FSHt_Open);"
     "CREATE INDEX IF NOT EXISTS vorn_shift_user ON Shift(FSHs_User,FSHt_Close);"
     "CREATE INDEX IF NOT EXISTS vorn_sale_shift ON Sale(FSAi_Shift);"},
    {"DrawerOpen", "CREATE TABLE IF NOT EXISTS DrawerOpen (FDOi_Id INTEGER PRIMARY KEY,FDOi_Shift INTEGER,"
                   "FDOt_Time TIMESTAMP,FDOs_User CHAR(32) );"
                   "CREATE INDEX IF NOT EXISTS vorn_draweropen_shift ON DrawerOpen(FDOi_Shift);"},
    {"Setting",
     "CREATE TABLE IF NOT EXISTS Setting (FSEs_Key VARCHAR(32) PRIMARY KEY,FSEs_Value VARCHAR(255) );"},
    // Sales parked at the counter (vorn/heldsales.h): the sale, and one line per
    // unit with the list row it was on and its price in tenths.
    {"HeldSale",
     "CREATE TABLE IF NOT EXISTS HeldSale (FHSi_Id INTEGER PRIMARY KEY,FHSt_Time TIMESTAMP,FHSs_User CHAR(32),"
     "FHSi_VIP INTEGER,FHSs_VIP CHAR(32),FHSs_VName CHAR(32),FHSi_Count INTEGER,FHSi_Due BIGINT,"
     "FHSs_Appr CHAR(32) );"},
    {"HeldSaleLine",
     "CREATE TABLE IF NOT EXISTS HeldSaleLine (FHLi_Id INTEGER PRIMARY KEY,FHLi_Sale INTEGER,FHLi_Row INTEGER,"
     "FHLi_Unit INTEGER,FHLs_Code CHAR(32),FHLi_Price BIGINT );"
     "CREATE INDEX IF NOT EXISTS vorn_heldsaleline_sale ON HeldSaleLine(FHLi_Sale);"},
    // Stock-takes (vorn/stocktake.h): the count, who started it, its scope
    // (empty for all goods, else the type ids between commas), its state (0 open,
    // 1 confirmed, 2 abandoned) and when it was confirmed; per code the units
    // counted and, once confirmed, the book stock and the difference at cost in
    // tenths.
    {"StockTake",
     "CREATE TABLE IF NOT EXISTS StockTake (FSTi_Id INTEGER PRIMARY KEY,FSTs_User CHAR(32),FSTt_Start TIMESTAMP,"
     "FSTs_Scope VARCHAR(255),FSTi_State INTEGER,FSTt_Done TIMESTAMP,FSTi_Zero INTEGER );"},
    {"StockTakeLine",
     "CREATE TABLE IF NOT EXISTS StockTakeLine (FSTLi_Id INTEGER PRIMARY KEY,FSTLi_Take INTEGER,"
     "FSTLs_Code CHAR(32),FSTLi_Book INTEGER,FSTLi_Counted INTEGER,FSTLi_Cost BIGINT );"
     "CREATE UNIQUE INDEX IF NOT EXISTS vorn_stocktakeline_code ON StockTakeLine(FSTLi_Take,FSTLs_Code);"},
    // Per-code stock alarm limits (vorn/alarmlimits.h): a code listed here is
    // low below its own limit instead of the shop's one.
    {"AlarmLimit", "CREATE TABLE IF NOT EXISTS AlarmLimit (FALs_Code CHAR(32) PRIMARY KEY,FALi_Limit INTEGER );"},
};

// -1 when the store cannot be read (a wrong key, a file that is no store).
int table_count(Engine* db, const char* name) { return db->has_table(name); }

} // namespace

const std::span<const ExtraTable> kExtraTables(kTables);

int ensure_extra_tables(Core& core, Engine* db) {
    if (db == nullptr || db->read_only()) return SQLITE_OK;
    // The User table stands for the six: without it this is no store of ours
    // (yet), and writing a table into it would turn an empty file into a store.
    if (table_count(db, "User") != 1) return SQLITE_OK;
    int first_failure = SQLITE_OK;
    for (const ExtraTable& t : kExtraTables) {
        // Looked up first, so that opening a store that has them all writes nothing.
        if (table_count(db, t.name) != 0) continue;
        // A table never stays without its indexes.
        Transaction write(core);
        int rc = write.exec(t.create);
        if (rc == SQLITE_OK) rc = write.commit();
        if (rc != SQLITE_OK && first_failure == SQLITE_OK) first_failure = rc;
    }
    return first_failure;
}

} // namespace vorn::detail
