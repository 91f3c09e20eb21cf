// The SQL the server engine sends: statements split, transaction control
// recognised, SQLite's dialect translated without touching quoted text, and
// the store's own schema texts translated into nothing the server refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "pgsql.h"
#include "schema.h"

using namespace vorn::detail;

namespace {

// GBK text whose trail bytes are a backslash (0x95 0x5C) and a bar (0x81 0x7C),
// followed by what would be SQL outside quotes.
const std::string kGbk = "\x95\x5c\x81\x7c\xce\xb4\xd6\xaa";

struct Case {
    std::string in, out;
};

void expect_all(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(pg::translate(c.in), c.out) << "from: " << c.in;
}

TEST(PgSqlTranslate, TransactionsAndPragmas) {
    expect_all({
        {"BEGIN IMMEDIATE", "BEGIN"},
        {"begin exclusive;", "begin;"},
        {"BEGIN DEFERRED TRANSACTION", "BEGIN"},
        {"BEGIN TRANSACTION", "BEGIN"},
        {"END", "COMMIT"},
        {"end transaction", "COMMIT transaction"},
        {"COMMIT", "COMMIT"},
        {"ROLLBACK TO a", "ROLLBACK TO a"},
        {"SAVEPOINT a", "SAVEPOINT a"},
        {"PRAGMA cache_size=-65536;", ""},
        {"pragma quick_check", ""},
        {"", ""},
    });
}

TEST(PgSqlTranslate, FunctionsAndOperators) {
    expect_all({
        {"SELECT COUNT() FROM Store WHERE FSi_Flag=0", "SELECT COUNT(*) FROM Store WHERE FSi_Flag=0"},
        {"SELECT count( ) FROM VIP", "SELECT count(* ) FROM VIP"},
        {"SELECT COUNT(*) FROM VIP", "SELECT COUNT(*) FROM VIP"},
        {"SELECT IFNULL(MAX(FSi_Id),0) FROM Store", "SELECT COALESCE(MAX(FSi_Id),0) FROM Store"},
        {"SELECT MAX(FSi_Id,3),min(1,FSi_Type) FROM T", "SELECT GREATEST(FSi_Id,3),LEAST(1,FSi_Type) FROM T"},
        {"SELECT MAX(FSi_Id),MIN(f(1,2)) FROM Store", "SELECT MAX(FSi_Id),MIN(f(1,2)) FROM Store"},
        {"SELECT GROUP_CONCAT(FSs_Code) FROM Store",
         "SELECT STRING_AGG(CAST(FSs_Code AS TEXT),',') FROM Store"},
        {"SELECT GROUP_CONCAT(FSi_Id,'|') FROM Store",
         "SELECT STRING_AGG(CAST(FSi_Id AS TEXT),'|') FROM Store"},
        {"SELECT INSTR(FSs_Name,'a') FROM T", "SELECT STRPOS(FSs_Name,'a') FROM T"},
        {"SELECT CAST(x AS REAL),CAST(y AS double),CAST( z  AS INTEGER),CAST(f(a,b) AS int)",
         "SELECT CAST(x AS DOUBLE PRECISION),CAST(y AS DOUBLE PRECISION),vorn_int( z),vorn_int(f(a,b))"},
        {"SELECT CAST(y AS DOUBLE PRECISION)", "SELECT CAST(y AS DOUBLE PRECISION)"},
        {"SELECT 1 AS real", "SELECT 1 AS real"},
        {"SELECT * FROM T WHERE FVs_Code LIKE 'B%'", "SELECT * FROM T WHERE FVs_Code ILIKE 'B%' ESCAPE ''"},
        {"SELECT 1 WHERE a NOT LIKE '%x\\_%' ESCAPE '\\'", "SELECT 1 WHERE a NOT ILIKE '%x\\_%' ESCAPE '\\'"},
        {"SELECT 1 WHERE a LIKE b||'%'", "SELECT 1 WHERE a ILIKE b||'%'"},
        {"SELECT * FROM T LIMIT -1", "SELECT * FROM T LIMIT ALL"},
        {"SELECT * FROM T LIMIT 10, 20", "SELECT * FROM T LIMIT 20 OFFSET 10"},
        {"SELECT * FROM T LIMIT 5", "SELECT * FROM T LIMIT 5"},
        {"SELECT 1 WHERE a==2", "SELECT 1 WHERE a=2"},
        {"INSERT INTO SaleUnit (FSAUi_Sale,FSAUi_Unit,FSAUi_Price) VALUES (?,?,?)",
         "INSERT INTO SaleUnit (FSAUi_Sale,FSAUi_Unit,FSAUi_Price) VALUES ($1,$2,$3)"},
        {"SELECT ?2, ?, '?'", "SELECT $2, $3, '?'"},
        {"SELECT datetime(FSt_StoT,'+1 hour')", "SELECT strftime('%Y-%m-%d %H:%M:%S',FSt_StoT,'+1 hour')"},
        {"SELECT DATE(FSt_StoT), time(x), date()",
         "SELECT strftime('%Y-%m-%d',FSt_StoT), strftime('%H:%M:%S',x), strftime('%Y-%m-%d','now')"},
        {"SELECT CAST(STRFTIME('%m',FVt_BirT) AS INTEGER)=5", "SELECT vorn_int(STRFTIME('%m',FVt_BirT))=5"},
        {"SELECT TOTAL(FSd_ReaP),julianday(x) FROM Store", "SELECT TOTAL(FSd_ReaP),julianday(x) FROM Store"},
    });
}

TEST(PgSqlTranslate, NewIdsUpsertsAndTheUserTable) {
    expect_all({
        {"INSERT INTO Type VALUES(NULL, '" + kGbk + "')", "INSERT INTO Type VALUES(DEFAULT, '" + kGbk + "')"},
        {"INSERT INTO Type VALUES(NULL,'a'),( NULL ,'b');",
         "INSERT INTO Type VALUES(DEFAULT,'a'),( DEFAULT ,'b');"},
        {"INSERT INTO Sale (FSAi_Points,FSAs_No) VALUES (NULL,'x')",
         "INSERT INTO Sale (FSAi_Points,FSAs_No) VALUES (NULL,'x')"},
        {"INSERT INTO T VALUES('NULL', NULL)", "INSERT INTO T VALUES('NULL', NULL)"},
        {"INSERT INTO T VALUES(NULL+1, 2)", "INSERT INTO T VALUES(NULL+1, 2)"},
        {"INSERT INTO User VALUES(NULL,'admin','x',0)", "INSERT INTO \"User\" VALUES(DEFAULT,'admin','x',0)"},
        {"UPDATE User SET FUs_Name='User' WHERE FUi_Id=1",
         "UPDATE \"User\" SET FUs_Name='User' WHERE FUi_Id=1"},
        {"select * from user", "select * from \"User\" ORDER BY FUi_Id"},
        {"SELECT * FROM \"User\" WHERE FUi_Id>1", "SELECT * FROM \"User\" WHERE FUi_Id>1 ORDER BY FUi_Id"},
        {"SELECT FSAs_User FROM T", "SELECT FSAs_User FROM T"},
        {"INSERT OR IGNORE INTO AlarmLimit (FALs_Code,FALi_Limit) VALUES('A',7);",
         "INSERT INTO AlarmLimit (FALs_Code,FALi_Limit) VALUES('A',7) ON CONFLICT DO NOTHING;"},
        {"INSERT OR IGNORE INTO Type VALUES(NULL,'a')",
         "INSERT INTO Type VALUES(DEFAULT,'a') ON CONFLICT DO NOTHING"},
        {"INSERT OR REPLACE INTO Setting (FSEs_Key,FSEs_Value) VALUES('k','9')",
         "INSERT INTO Setting (FSEs_Key,FSEs_Value) VALUES('k','9') ON CONFLICT (FSEs_Key) DO UPDATE SET "
         "FSEs_Value=EXCLUDED.FSEs_Value"},
        {"REPLACE INTO T (a,b,c) VALUES(1,2,3)",
         "INSERT INTO T (a,b,c) VALUES(1,2,3) ON CONFLICT (a) DO UPDATE SET b=EXCLUDED.b,c=EXCLUDED.c"},
        {"INSERT OR REPLACE INTO K (a) VALUES(1)", "INSERT INTO K (a) VALUES(1) ON CONFLICT (a) DO NOTHING"},
        // Without its columns the key is unknown: sent as it is, for the server to refuse.
        {"INSERT OR REPLACE INTO Setting VALUES('k','9')", "INSERT OR REPLACE INTO Setting VALUES('k','9')"},
    });
}

TEST(PgSqlTranslate, QuotedTextAndCommentsStayAsTheyAre) {
    const std::string text = "'" + kGbk + " COUNT() User NULL; -- LIKE IFNULL( it''s " + kGbk + "'";
    expect_all({
        {"INSERT INTO Addition VALUES(NULL," + text + ",'')",
         "INSERT INTO Addition VALUES(DEFAULT," + text + ",'')"},
        {"UPDATE Store SET FSs_Remark=" + text + " WHERE FSi_Id=3",
         "UPDATE Store SET FSs_Remark=" + text + " WHERE FSi_Id=3"},
        {"SELECT \"COUNT()\",\"User\" FROM T", "SELECT \"COUNT()\",\"User\" FROM T"},
        {"SELECT COUNT() -- COUNT() User\nFROM Store", "SELECT COUNT(*) -- COUNT() User\nFROM Store"},
        {"SELECT /* LIKE User */ 1 FROM T", "SELECT /* LIKE User */ 1 FROM T"},
        {"SELECT X'4C494B45'", "SELECT X'4C494B45'"},
        // An unclosed quote runs to the end: nothing after it is touched.
        {"SELECT 'a LIKE b", "SELECT 'a LIKE b"},
    });
}

TEST(PgSqlTranslate, ConditionsTheServerReadsDifferently) {
    expect_all({
        {"SELECT * FROM Store WHERE 1  ORDER BY FSi_Id ASC",
         "SELECT * FROM Store WHERE TRUE  ORDER BY FSi_Id ASC"},
        {"SELECT * FROM T WHERE 0", "SELECT * FROM T WHERE FALSE"},
        // A lock clause after the order is left where it is.
        {"SELECT FSi_Id FROM Store WHERE FSi_Flag=0 ORDER BY FSi_Id FOR UPDATE",
         "SELECT FSi_Id FROM Store WHERE FSi_Flag=0 ORDER BY FSi_Id FOR UPDATE"},
        {"SELECT * FROM T WHERE 1=1", "SELECT * FROM T WHERE 1=1"},
        {"SELECT * FROM Store WHERE FSi_Flag ORDER BY FSi_Id",
         "SELECT * FROM Store WHERE (FSi_Flag<>0) ORDER BY FSi_Id"},
        {"SELECT 1 WHERE a=1 AND NOT s.FSi_Flag", "SELECT 1 WHERE a=1 AND NOT (s.FSi_Flag<>0)"},
        {"SELECT 1 WHERE FSi_Flag IN (0,1) AND FSs_Name", "SELECT 1 WHERE FSi_Flag IN (0,1) AND FSs_Name"},
        {"SELECT 1 WHERE FSi_Type BETWEEN 1 AND 5 ORDER BY FSi_Id",
         "SELECT 1 WHERE FSi_Type BETWEEN 1 AND 5 ORDER BY FSi_Id"},
        {"SELECT 1 WHERE FSi_Type BETWEEN 1 AND 5 AND 1", "SELECT 1 WHERE FSi_Type BETWEEN 1 AND 5 AND TRUE"},
        // A number compared with a text column is compared as text, as SQLite does.
        {"SELECT FSEs_Key FROM Setting WHERE FSEs_Key=0;",
         "SELECT FSEs_Key FROM Setting WHERE FSEs_Key='0';"},
        {"SELECT 1 WHERE 0=l.FALs_Code OR FSs_Code<>-5", "SELECT 1 WHERE '0'=l.FALs_Code OR FSs_Code<>'-5'"},
        {"SELECT 1 WHERE FSt_SalT>=20240101", "SELECT 1 WHERE FSt_SalT>='20240101'"},
        {"SELECT 1 WHERE FSi_Id=0 AND FSd_ReaP>1.5", "SELECT 1 WHERE FSi_Id=0 AND FSd_ReaP>1.5"},
        {"SELECT 1 WHERE FSs_Code=5+1", "SELECT 1 WHERE FSs_Code=5+1"},
    });
}

TEST(PgSqlTranslate, NullsSortAsInTheFile) {
    expect_all({
        {"SELECT * FROM T ORDER BY FSt_SalT", "SELECT * FROM T ORDER BY FSt_SalT NULLS FIRST"},
        {"SELECT * FROM Store ORDER BY FSt_SalT DESC,FSi_Id DESC LIMIT 3",
         "SELECT * FROM Store ORDER BY FSt_SalT DESC NULLS LAST,FSi_Id DESC LIMIT 3"},
        {"SELECT * FROM Sale ORDER BY SUBSTR(FSAs_No,1,8) DESC,FSAi_Seq DESC,FSAi_Id DESC",
         "SELECT * FROM Sale ORDER BY SUBSTR(FSAs_No,1,8) DESC NULLS LAST,FSAi_Seq DESC NULLS LAST,FSAi_Id "
         "DESC"},
        {"SELECT 1 ORDER BY p.FSPs_Name,s.FSi_Supplier ASC,a.c",
         "SELECT 1 ORDER BY convert_to(p.FSPs_Name,'GBK') NULLS FIRST,s.FSi_Supplier ASC NULLS FIRST,a.c "
         "NULLS FIRST"},
        // Text in the file's order, its GBK bytes.
        {"SELECT * FROM Store ORDER BY FSs_Name DESC,FSi_Id",
         "SELECT * FROM Store ORDER BY convert_to(FSs_Name,'GBK') DESC NULLS LAST,FSi_Id"},
        {"SELECT 1 ORDER BY a NULLS LAST", "SELECT 1 ORDER BY a NULLS LAST"},
        {"SELECT * FROM (SELECT x FROM t ORDER BY x LIMIT 2) AS q ORDER BY s.FVi_Id",
         "SELECT * FROM (SELECT x FROM t ORDER BY x NULLS FIRST LIMIT 2) AS q ORDER BY s.FVi_Id"},
    });
}

TEST(PgSqlTranslate, GroupsAndSubqueries) {
    expect_all({
        {"SELECT FSs_Code,FSs_Name,COUNT() FROM Store WHERE FSi_Flag=0 GROUP BY FSs_Code HAVING COUNT()<5",
         "SELECT FSs_Code,vorn_gbk_min(FSs_Name) AS FSs_Name,COUNT(*) FROM Store WHERE FSi_Flag=0 GROUP BY "
         "FSs_Code HAVING "
         "COUNT(*)<5"},
        {"SELECT s.FSs_Code AS c,s.FSs_Name n,SUM(x) FROM Store s GROUP BY s.FSs_Code",
         "SELECT s.FSs_Code AS c,vorn_gbk_min(s.FSs_Name) n,SUM(x) FROM Store s GROUP BY s.FSs_Code"},
        {"SELECT FSi_Type,COUNT(*) FROM Store GROUP BY FSs_Code",
         "SELECT MIN(FSi_Type) AS FSi_Type,COUNT(*) FROM Store GROUP BY FSs_Code"},
        {"SELECT FSs_Name,COUNT(*) FROM Store",
         "SELECT vorn_gbk_min(FSs_Name) AS FSs_Name,COUNT(*) FROM Store"},
        {"SELECT FSs_Name,MAX(a,b) FROM T", "SELECT FSs_Name,GREATEST(a,b) FROM T"},
        {"SELECT FSAPi_Method,SUM(FSAPi_Amount) FROM SalePayment GROUP BY FSAPi_Method",
         "SELECT FSAPi_Method,SUM(FSAPi_Amount) FROM SalePayment GROUP BY FSAPi_Method"},
        {"SELECT COUNT() FROM (SELECT COUNT() FROM Store GROUP BY FSs_Code HAVING COUNT()<5)",
         "SELECT COUNT(*) FROM (SELECT COUNT(*) FROM Store GROUP BY FSs_Code HAVING COUNT(*)<5) AS "
         "vorn_sub1"},
        {"SELECT a.c FROM (SELECT FSs_Code AS c FROM Store) a JOIN (SELECT 1) WHERE 1",
         "SELECT a.c FROM (SELECT FSs_Code AS c FROM Store) a JOIN (SELECT 1) AS vorn_sub1 WHERE TRUE"},
        {"SELECT COUNT(*) FROM (SELECT 1) x", "SELECT COUNT(*) FROM (SELECT 1) x"},
        // One row of aggregates has no order to keep; a grouped order names what the groups have.
        {"SELECT COUNT() FROM Store WHERE FSs_Code='A1' AND FSi_Flag=0 ORDER BY FSi_Id DESC",
         "SELECT COUNT(*) FROM Store WHERE FSs_Code='A1' AND FSi_Flag=0"},
        {"SELECT TOTAL(FSd_ReaP) FROM Store WHERE FSi_Flag=1 ORDER BY FSt_SalT, FSi_Id LIMIT 1",
         "SELECT TOTAL(FSd_ReaP) FROM Store WHERE FSi_Flag=1 LIMIT 1"},
        {"SELECT FSs_Code,COUNT(*) AS n FROM Store GROUP BY FSs_Code ORDER BY n "
         "DESC,FSi_Type,FSs_Name,FSs_Code",
         "SELECT FSs_Code,COUNT(*) AS n FROM Store GROUP BY FSs_Code ORDER BY n DESC NULLS "
         "LAST,MIN(FSi_Type) NULLS "
         "FIRST,convert_to(vorn_gbk_min(FSs_Name),'GBK') NULLS FIRST,convert_to(FSs_Code,'GBK') NULLS FIRST"},
        {"SELECT FSs_Name,COUNT(*) FROM Store GROUP BY FSi_Type ORDER BY FSs_Name",
         "SELECT vorn_gbk_min(FSs_Name) AS FSs_Name,COUNT(*) FROM Store GROUP BY FSi_Type ORDER BY "
         "convert_to(vorn_gbk_min(FSs_Name),'GBK') NULLS FIRST"},
        {"SELECT * FROM Store WHERE FSi_Id=(SELECT MAX(FSi_Id) FROM Store) ORDER BY FSi_Id",
         "SELECT * FROM Store WHERE FSi_Id=(SELECT MAX(FSi_Id) FROM Store) ORDER BY FSi_Id"},
    });
}

// Rows of one of the store's tables come in the order of their ids, as the file gives them.
TEST(PgSqlTranslate, OneTableReadsInTheOrderOfItsIds) {
    expect_all({
        {"SELECT * FROM Store", "SELECT * FROM Store ORDER BY FSi_Id"},
        {"SELECT * FROM Store WHERE FSi_Flag=0 LIMIT 5;",
         "SELECT * FROM Store WHERE FSi_Flag=0 ORDER BY FSi_Id LIMIT 5;"},
        {"SELECT * FROM Store WHERE +FSi_Flag=1 AND NOT EXISTS (SELECT 1 FROM SaleUnit WHERE "
         "FSAUi_Unit=FSi_Id)",
         "SELECT * FROM Store WHERE +FSi_Flag=1 AND NOT EXISTS (SELECT 1 FROM SaleUnit WHERE "
         "FSAUi_Unit=FSi_Id) ORDER BY FSi_Id"},
        {"SELECT * FROM Store s WHERE s.FSi_Flag=1 FOR UPDATE",
         "SELECT * FROM Store s WHERE s.FSi_Flag=1 ORDER BY FSi_Id FOR UPDATE"},
        // A statement that names its columns asks for its own order.
        {"SELECT FSs_Code FROM Store WHERE FSi_Flag=1", "SELECT FSs_Code FROM Store WHERE FSi_Flag=1"},
        {"SELECT * FROM VIP WHERE FVi_Type=1 ORDER BY FVt_CreT DESC LIMIT 2",
         "SELECT * FROM VIP WHERE FVi_Type=1 ORDER BY FVt_CreT DESC NULLS LAST,FVi_Id LIMIT 2"},
        {"SELECT * FROM LoginFail ORDER BY FLFi_Id DESC LIMIT 20",
         "SELECT * FROM LoginFail ORDER BY FLFi_Id DESC LIMIT 20"},
        {"SELECT FSEs_Key FROM Setting", "SELECT FSEs_Key FROM Setting"},
        {"SELECT COUNT(*) FROM Store", "SELECT COUNT(*) FROM Store"},
        {"SELECT DISTINCT FSs_Code FROM Store", "SELECT DISTINCT FSs_Code FROM Store"},
        {"SELECT FSs_Code FROM Store GROUP BY FSs_Code", "SELECT FSs_Code FROM Store GROUP BY FSs_Code"},
        {"SELECT FSAUi_Unit FROM SaleUnit JOIN Sale ON FSAi_Id=FSAUi_Sale",
         "SELECT FSAUi_Unit FROM SaleUnit JOIN Sale ON FSAi_Id=FSAUi_Sale"},
        {"SELECT * FROM Store, VIP", "SELECT * FROM Store, VIP"},
    });
}

TEST(PgSqlTranslate, TablesAndIndexes) {
    expect_all({
        {"CREATE TABLE Type (FTi_Id INTEGER PRIMARY KEY,FTs_Name CHAR(32) );",
         "CREATE TABLE Type (FTi_Id BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,FTs_Name TEXT "
         "COLLATE \"C\" );"},
        {"CREATE TABLE User (FUi_Id INTEGER PRIMARY KEY,FUs_Pas CHAR(32),FUi_Auth INTEGER )",
         "CREATE TABLE \"User\" (FUi_Id BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,FUs_Pas TEXT "
         "COLLATE "
         "\"C\",FUi_Auth BIGINT )"},
        {"CREATE TABLE IF NOT EXISTS t (a INTEGER PRIMARY KEY AUTOINCREMENT,b REAL,c FLOAT,d DOUBLE,e DOUBLE "
         "PRECISION,f INT NOT NULL,g DATETIME,h TIMESTAMP,i VARCHAR(255) DEFAULT '',j BIGINT,k TEXT COLLATE "
         "NOCASE,l VARCHAR(32) PRIMARY KEY,UNIQUE(b,c)) WITHOUT ROWID",
         "CREATE TABLE IF NOT EXISTS t (a BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,b DOUBLE "
         "PRECISION,c "
         "DOUBLE PRECISION,d DOUBLE PRECISION,e DOUBLE PRECISION,f BIGINT NOT NULL,g TEXT COLLATE \"C\",h "
         "TEXT "
         "COLLATE \"C\",i TEXT COLLATE \"C\" DEFAULT '',j BIGINT,k TEXT COLLATE NOCASE,l TEXT COLLATE \"C\" "
         "PRIMARY KEY,UNIQUE(b,c))"},
        {"CREATE INDEX IF NOT EXISTS vorn_store_stock_code ON Store(FSs_Code,FSi_Flag,FSs_Name) WHERE "
         "FSi_Flag=0",
         "CREATE INDEX IF NOT EXISTS vorn_store_stock_code ON Store(FSs_Code NULLS FIRST,FSi_Flag NULLS "
         "FIRST,FSs_Name NULLS FIRST) WHERE FSi_Flag=0"},
        {"CREATE UNIQUE INDEX i ON User(FUi_Id,FUs_Name DESC)",
         "CREATE UNIQUE INDEX i ON \"User\"(FUi_Id,FUs_Name DESC NULLS LAST)"},
    });
}

// The tests' triggers, which make a write fail, as the server has them.
TEST(PgSqlTranslate, TriggersBecomeFunctions) {
    expect_all({
        {"CREATE TRIGGER forced BEFORE INSERT ON SalePayment BEGIN SELECT RAISE(ABORT,'x'); END",
         "CREATE OR REPLACE FUNCTION vorn_trigger_forced() RETURNS trigger LANGUAGE plpgsql AS "
         "$vorn$\nBEGIN\n"
         "RAISE EXCEPTION '%', 'x';\nRETURN NEW;\nEND\n$vorn$;\nCREATE TRIGGER forced BEFORE INSERT ON "
         "SalePayment "
         "FOR EACH ROW EXECUTE FUNCTION vorn_trigger_forced()"},
        {"CREATE TRIGGER stop AFTER UPDATE OF FUs_Name ON User WHEN NEW.FUi_Auth BEGIN UPDATE User SET "
         "FUs_Pas='' WHERE FUi_Id=NEW.FUi_Id; SELECT RAISE(IGNORE); END",
         "CREATE OR REPLACE FUNCTION vorn_trigger_stop() RETURNS trigger LANGUAGE plpgsql AS $vorn$\nBEGIN\n"
         "UPDATE \"User\" SET FUs_Pas='' WHERE FUi_Id=NEW.FUi_Id;\nRETURN NULL;\nRETURN NULL;\nEND\n$vorn$;\n"
         "CREATE TRIGGER stop AFTER UPDATE OF FUs_Name ON \"User\" FOR EACH ROW WHEN (NEW.FUi_Auth) EXECUTE "
         "FUNCTION vorn_trigger_stop()"},
        {"CREATE TRIGGER d BEFORE DELETE ON VIP BEGIN DELETE FROM Store; END",
         "CREATE OR REPLACE FUNCTION vorn_trigger_d() RETURNS trigger LANGUAGE plpgsql AS "
         "$vorn$\nBEGIN\nDELETE FROM "
         "Store;\nRETURN OLD;\nEND\n$vorn$;\nCREATE TRIGGER d BEFORE DELETE ON VIP FOR EACH ROW EXECUTE "
         "FUNCTION "
         "vorn_trigger_d()"},
        {"DROP TRIGGER Forced",
         "DO $vorn$ DECLARE r record; BEGIN FOR r IN SELECT c.relname FROM pg_catalog.pg_trigger t JOIN "
         "pg_catalog.pg_class c ON c.oid = t.tgrelid WHERE t.tgname = 'forced' AND NOT t.tgisinternal LOOP "
         "EXECUTE "
         "format('DROP TRIGGER %I ON %I', 'forced', r.relname); END LOOP; END $vorn$"},
        // Shapes it does not know go as they are.
        {"CREATE TRIGGER x BEFORE INSERT ON T BEGIN SELECT RAISE(ABORT,'a','b'); END",
         "CREATE TRIGGER x BEFORE INSERT ON T BEGIN SELECT RAISE(ABORT,'a','b'); END"},
        {"CREATE TRIGGER x BEFORE INSERT BEGIN SELECT 1; END",
         "CREATE TRIGGER x BEFORE INSERT BEGIN SELECT 1; END"},
    });
}

// Broken text goes through without reading past its end; the server says what is wrong.
TEST(PgSqlTranslate, UnfinishedTextIsLeftToTheServer) {
    expect_all({
        {"SELECT (SELECT a FROM T ORDER BY b", "SELECT (SELECT a FROM T ORDER BY b NULLS FIRST"},
        {"SELECT COUNT(", "SELECT COUNT("},
        {")))", ")))"},
        {"INSERT INTO", "INSERT INTO"},
        {"INSERT OR REPLACE INTO T (", "INSERT OR REPLACE INTO T ("},
        {"CREATE TABLE t (a INTEGER", "CREATE TABLE t (a INTEGER"},
        {"CREATE TRIGGER", "CREATE TRIGGER"},
        {"CREATE TRIGGER x BEFORE INSERT ON T BEGIN SELECT RAISE(ABORT); END",
         "CREATE TRIGGER x BEFORE INSERT ON T BEGIN SELECT RAISE(ABORT); END"},
        {"SELECT * FROM", "SELECT * FROM"},
        {"LIMIT", "LIMIT"},
        {"SELECT 1 WHERE", "SELECT 1 WHERE"},
        {"SELECT \"User", "SELECT \"User"},
        {"SELECT 1 /* LIKE", "SELECT 1 /* LIKE"},
    });
}

// Program statements that mean the same on the server go as they are, byte for byte.
TEST(PgSqlTranslate, StatementsNothingAppliesToComeBackUnchanged) {
    const std::vector<std::string> same = {
        "UPDATE Store SET FSs_Code='" + kGbk + "',FSi_Type=3,FSd_OriP=1.5,FSt_SalT=NULL WHERE FSi_Id=42;",
        "DELETE FROM LoginFail WHERE FLFi_Id<=(SELECT MAX(FLFi_Id) FROM LoginFail)-200",
        "SELECT COUNT(*),COALESCE(SUM(FSAi_Count),0) FROM Sale WHERE FSAt_Time>='2024-05-01 00:00:00'",
        "SELECT FSs_Code FROM Store WHERE FSi_Flag=1 AND FSi_Type+0 IN (1,2)",
        "SELECT * FROM Store WHERE FSi_Flag=0 AND FSs_Code='A' ORDER BY FSi_Id LIMIT 3",
        "SAVEPOINT vorn_lastval",
        "RELEASE SAVEPOINT vorn_lastval",
    };
    for (const std::string& s : same)
        EXPECT_EQ(pg::translate(s), s);
}

TEST(PgSqlSplit, StatementsSplitOutsideQuotesAndComments) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"BEGIN;CREATE TABLE a (x);COMMIT;", {"BEGIN", "CREATE TABLE a (x)", "COMMIT"}},
        {"  ; ;\n", {}},
        {"", {}},
        {"SELECT 'a;b';  SELECT \"c;d\"", {"SELECT 'a;b'", "SELECT \"c;d\""}},
        {"SELECT 'it''s;';SELECT 3", {"SELECT 'it''s;'", "SELECT 3"}},
        {"SELECT 1 -- x;y\n; SELECT /* ; */ 2", {"SELECT 1 -- x;y", "SELECT /* ; */ 2"}},
        {"-- only a comment;\n", {}},
        {"/* c */ ;SELECT 1", {"SELECT 1"}},
        {"INSERT INTO T VALUES('" + kGbk + ";');SELECT 2",
         {"INSERT INTO T VALUES('" + kGbk + ";')", "SELECT 2"}},
        {"CREATE FUNCTION f() RETURNS int AS $$ SELECT 1; $$ LANGUAGE sql; SELECT $1",
         {"CREATE FUNCTION f() RETURNS int AS $$ SELECT 1; $$ LANGUAGE sql", "SELECT $1"}},
        {"DO $body$ BEGIN PERFORM 1; END $body$;", {"DO $body$ BEGIN PERFORM 1; END $body$"}},
        {"SELECT 'abc;", {"SELECT 'abc;"}},
        {"CREATE TRIGGER t AFTER INSERT ON T BEGIN UPDATE T SET a=1; SELECT RAISE(ABORT,'x;'); END;DROP "
         "TRIGGER t",
         {"CREATE TRIGGER t AFTER INSERT ON T BEGIN UPDATE T SET a=1; SELECT RAISE(ABORT,'x;'); END",
          "DROP TRIGGER t"}},
        {"SELECT 'BEGIN'; SELECT 1 AS trigger; BEGIN; SELECT 2",
         {"SELECT 'BEGIN'", "SELECT 1 AS trigger", "BEGIN", "SELECT 2"}},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(pg::split_statements(in), out) << "from: " << in;
}

TEST(PgSqlSplit, TransactionControl) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"BEGIN", true},
        {"begin immediate", true},
        {"BEGIN DEFERRED TRANSACTION", true},
        {"COMMIT", true},
        {"commit transaction", true},
        {"END", true},
        {"END TRANSACTION", true},
        {"ROLLBACK", true},
        {"ROLLBACK TRANSACTION", true},
        {"/* x */ COMMIT", true},
        {"ROLLBACK TO a", false},
        {"ROLLBACK TRANSACTION TO SAVEPOINT a", false},
        {"SAVEPOINT a", false},
        {"RELEASE a", false},
        {"RELEASE SAVEPOINT a", false},
        {"SELECT 1", false},
        {"BEGINNING", false},
        {"", false},
        {"-- BEGIN\nSELECT 1", false},
    };
    for (const auto& [in, control] : cases)
        EXPECT_EQ(pg::is_transaction_control(in), control) << in;
}

// ---- The store's own schema texts -----------------------------------------------

// The source tree: beside this file when the compiler named it absolutely,
// else the one the build folder of this test program was configured from.
std::filesystem::path source_root() {
    const std::filesystem::path here(__FILE__);
    if (here.is_absolute() && std::filesystem::exists(here))
        return here.parent_path().parent_path().parent_path();
    std::error_code ec;
    for (std::filesystem::path d = std::filesystem::read_symlink("/proc/self/exe", ec);
         !ec && d.has_relative_path(); d = d.parent_path()) {
        std::ifstream cache(d / "CMakeCache.txt");
        const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
        for (std::string line; std::getline(cache, line);)
            if (line.rfind(key, 0) == 0) return line.substr(key.size());
    }
    return {};
}

// The SQL texts of a source file of the store: each run of adjacent string
// literals that makes a CREATE statement, escapes resolved.
std::vector<std::string> create_texts(const std::string& file) {
    const std::filesystem::path path = source_root() / "core/src" / file;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string src = ss.str();
    std::vector<std::string> out;
    std::string run;
    bool in_run = false;
    for (std::size_t i = 0; i < src.size(); ++i) {
        const char c = src[i];
        if (c == '"') {
            for (++i; i < src.size() && src[i] != '"'; ++i) {
                if (src[i] != '\\') {
                    run += src[i];
                } else if (src[i + 1] == 'x') {
                    run += static_cast<char>(std::stoi(src.substr(i + 2, 2), nullptr, 16));
                    i += 3;
                } else {
                    run += src[++i];
                }
            }
            in_run = true;
        } else if (c == '/' && i + 1 < src.size() && src[i + 1] == '/') {
            i = src.find('\n', i);
        } else if (c != ' ' && c != '\n' && c != '\t' && c != '\r') {
            if (in_run && run.find("CREATE ") != std::string::npos) out.push_back(run);
            run.clear();
            in_run = false;
        }
    }
    return out;
}

// What SQLite takes and the server refuses or reads otherwise, outside quotes.
void expect_server_words(const std::string& statement, const std::string& translated) {
    static const std::regex quoted("'[^']*'|\"[^\"]*\"");
    static const std::regex sqlite_only(
        "\\b(AUTOINCREMENT|DATETIME|TIMESTAMP|INTEGER|REAL|PRAGMA|IMMEDIATE|IFNULL|WITHOUT|User)\\b|"
        "CHAR\\(|\\bDOUBLE\\b(?! PRECISION)|\\bVALUES\\s*\\(\\s*NULL\\b|COUNT\\(\\s*\\)|[^I]LIKE",
        std::regex::icase);
    const std::string outside = std::regex_replace(translated, quoted, "''");
    std::smatch m;
    EXPECT_FALSE(std::regex_search(outside, m, sqlite_only))
        << "\"" << m.str() << "\" left in: " << translated << "\nfrom: " << statement;
}

TEST(PgSqlSchema, EveryStoreTextTranslatesToServerWords) {
    std::vector<std::string> texts = {kSchemaText, kIndexText};
    for (const char* file : {"extschema.cpp", "journalschema.cpp"}) {
        const std::vector<std::string> found = create_texts(file);
        EXPECT_GE(found.size(), 3u) << file;
        texts.insert(texts.end(), found.begin(), found.end());
    }
    int creates = 0;
    for (const std::string& text : texts) {
        for (const std::string& s : pg::split_statements(text)) {
            if (pg::is_transaction_control(s)) continue;
            const std::string t = pg::translate(s);
            ASSERT_FALSE(t.empty()) << s;
            expect_server_words(s, t);
            if (s.rfind("CREATE TABLE", 0) == 0) {
                ++creates;
                // The file's row id numbers new rows; a text key does not.
                EXPECT_EQ(s.find("INTEGER PRIMARY KEY") != std::string::npos,
                          t.find("GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY") != std::string::npos)
                    << t;
            }
        }
    }
    // The six, the journal's three and the rest of the extra tables.
    EXPECT_GE(creates, 6 + 3 + 8);
}

TEST(PgSqlSchema, ServerSchemaHasTheTablesAndDefaultRowsWithoutTransaction) {
    const std::string schema = pg::server_schema(kSchemaText);
    const std::vector<std::string> statements = pg::split_statements(schema);
    const std::vector<std::string> source = pg::split_statements(kSchemaText);
    ASSERT_EQ(statements.size() + 2, source.size()); // all but BEGIN and COMMIT
    int tables = 0, rows = 0;
    for (const std::string& s : statements) {
        EXPECT_FALSE(pg::is_transaction_control(s)) << s;
        tables += s.rfind("CREATE TABLE ", 0) == 0;
        if (s.rfind("INSERT INTO ", 0) == 0) {
            ++rows;
            EXPECT_NE(s.find("VALUES(DEFAULT,"), std::string::npos) << s;
        }
    }
    EXPECT_EQ(tables, 6);
    EXPECT_EQ(rows, 12); // a type, a supplier, the administrator, nine additions
    EXPECT_NE(schema.find("CREATE TABLE \"User\" ("), std::string::npos);
    // The default type's name, GBK as written.
    EXPECT_NE(schema.find("'\xce\xb4\xd6\xaa'"), std::string::npos);
    EXPECT_EQ(pg::server_schema(nullptr), "");
}

TEST(PgSqlSchema, ServerFunctionsAreRerunnable) {
    const std::string f = pg::kServerFunctions;
    const std::vector<std::string> statements = pg::split_statements(f);
    ASSERT_FALSE(statements.empty());
    for (const std::string& s : statements) {
        const bool rerunnable =
            s.find("CREATE OR REPLACE ") != std::string::npos ||
            (s.find("DO $$") != std::string::npos && s.find("IF NOT EXISTS (") != std::string::npos);
        EXPECT_TRUE(rerunnable) << s;
    }
    for (const char* name :
         {"FUNCTION strftime(", "AGGREGATE total(", "FUNCTION round(", "VIEW sqlite_master",
          "FUNCTION julianday(", "FUNCTION vorn_int(x text)", "FUNCTION vorn_int(x double precision)",
          "AGGREGATE vorn_gbk_min(text)", "FUNCTION vorn_sync_ids()"})
        EXPECT_NE(f.find(name), std::string::npos) << name;
}

} // namespace
