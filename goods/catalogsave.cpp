#include "catalogsave.h"

#include <unordered_set>

#include "vorn/sqltext.h"
#include "vorn/transaction.h"

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

// The id of the entry of that name (the newest if there are several): above
// 0, 0 when there is none, -1 when the store failed.
int idOfName(vorn::Core& core, CatalogKind kind, const std::string& name) {
    const std::string cond =
        catalogNameCondition(kind, name) + " ORDER BY " + columnsOf(kind).idColumn + " DESC LIMIT 1";
    if (kind == CatalogKind::Types) {
        vorn::TRec t;
        const int n = core.select_trec(&t, cond.c_str());
        return n < 0 ? -1 : n == 0 ? 0 : t.FTi_Id;
    }
    vorn::SPRec p;
    const int n = core.select_sprec(&p, cond.c_str());
    return n < 0 ? -1 : n == 0 ? 0 : p.FSPi_Id;
}

// Makes each name (unless it exists) inside the open transaction; its id goes
// to ids in the names' order. False when the store failed.
bool createNames(vorn::Core& core, vorn::Transaction& t, CatalogKind kind, const std::vector<std::string>& names,
                 std::vector<int>& ids) {
    ids.clear();
    for (const std::string& name : names) {
        int id = idOfName(core, kind, name);
        if (id == 0) {
            CatalogChanges add;
            add.additions = {name};
            if (t.exec(catalogStatements(kind, add).c_str()) != 0) return false;
            id = idOfName(core, kind, name);
        }
        if (id <= 0) return false;
        ids.push_back(id);
    }
    return true;
}

// A temporary id (below 0) replaced by the id its name got; false for one
// without a name.
bool resolve(int& id, const std::vector<int>& created) {
    if (id >= 0) return true;
    const size_t index = static_cast<size_t>(-1 - id);
    if (index >= created.size()) return false;
    id = created[index];
    return true;
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

int saveEntry(vorn::Core& core, const EntryNames& names, std::vector<vorn::SRec>& units,
              std::vector<int>* createdTypes, std::vector<int>* createdSuppliers) {
    std::vector<int> types, suppliers;
    vorn::Transaction t(core);
    if (!createNames(core, t, CatalogKind::Types, names.newTypes, types) ||
        !createNames(core, t, CatalogKind::Suppliers, names.newSuppliers, suppliers))
        return -1;
    std::vector<vorn::SRec> resolved = units;
    for (vorn::SRec& u : resolved)
        if (!resolve(u.FSi_Type, types) || !resolve(u.FSi_Supplier, suppliers)) return -1;
    // The batch insert joins the transaction: the names and the units commit together.
    const int n = resolved.empty() ? 0 : core.insert_srec(resolved.data(), static_cast<int>(resolved.size()));
    if (n != static_cast<int>(resolved.size()) || t.commit() != 0) return -1;
    units = std::move(resolved);
    if (createdTypes) *createdTypes = types;
    if (createdSuppliers) *createdSuppliers = suppliers;
    return n;
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
