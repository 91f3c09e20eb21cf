#include "catalogsave.h"

#include <unordered_set>

#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

struct Columns {
    const char* table;       // the catalog's table
    const char* idColumn;    // its id
    const char* nameColumn;  // its name
    const char* goodsColumn; // Store's column naming an entry
};

const Columns& columnsOf(CatalogKind kind) {
    static const Columns types{"Type", "FTi_Id", "FTs_Name", "FSi_Type"};
    static const Columns suppliers{"Supplier", "FSPi_Id", "FSPs_Name", "FSi_Supplier"};
    return kind == CatalogKind::Types ? types : suppliers;
}

} // namespace

std::string catalogNameCondition(CatalogKind kind, const std::string& name) {
    return std::string(columnsOf(kind).nameColumn) + "='" + vorn::sql_escape(name) + "'";
}

std::string catalogStatements(CatalogKind kind, const CatalogChanges& changes) {
    const Columns& c = columnsOf(kind);
    std::string sql;
    for (const std::string& name : changes.additions) {
        // The same text the record's own insert statement writes: a new id, the name.
        sql += "INSERT INTO ";
        sql += c.table;
        sql += " VALUES(NULL,'" + vorn::sql_escape(name) + "');";
    }
    for (int id : changes.removals) {
        sql += "DELETE FROM ";
        sql += c.table;
        sql += " WHERE ";
        sql += c.idColumn;
        sql += "=" + std::to_string(id) + ";";
    }
    for (int id : changes.removals) {
        sql += "UPDATE Store SET ";
        sql += c.goodsColumn;
        sql += "=1 WHERE ";
        sql += c.goodsColumn;
        sql += "=" + std::to_string(id) + ";";
    }
    return sql;
}

int saveCatalog(vorn::Core& core, CatalogKind kind, const CatalogChanges& changes) {
    if (changes.count() == 0) return 0;
    // Entry 1 receives the goods of the others; it never goes itself.
    for (int id : changes.removals)
        if (id <= 1) return -1;
    return core.exec_in_transaction(catalogStatements(kind, changes)) == 0 ? changes.count() : -1;
}

int moveGoodsToFallback(std::vector<vorn::SRec>& rows, CatalogKind kind, const std::vector<int>& removed) {
    if (removed.empty()) return 0;
    const std::unordered_set<int> gone(removed.begin(), removed.end());
    int vorn::SRec::*field = kind == CatalogKind::Types ? &vorn::SRec::FSi_Type : &vorn::SRec::FSi_Supplier;
    int moved = 0;
    for (vorn::SRec& r : rows) {
        if (gone.count(r.*field) == 0) continue;
        r.*field = 1;
        ++moved;
    }
    return moved;
}

} // namespace vorn::ui
