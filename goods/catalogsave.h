// Writing what the goods type or supplier dialog collected: the additions and
// removals in one transaction, the goods of a removed entry moved to entry 1
// (the fallback "未知" or "未指定") in the same transaction. No widgets here,
// so the dialog, a test or a benchmark call it alike.
#pragma once

#include <string>
#include <vector>

#include "vorn/core.h"
#include "vorn/records.h"

namespace vorn::ui {

enum class CatalogKind { Types, Suppliers };

struct CatalogChanges {
    std::vector<std::string> additions; // GBK names, in the order added
    std::vector<int> removals;          // ids of existing entries, in the order removed
    int count() const { return static_cast<int>(additions.size() + removals.size()); }
};

// The condition that finds an entry by its exact name (GBK), for the duplicate
// check: "FTs_Name='<name>'" or "FSPs_Name='<name>'", the name quoted.
std::string catalogNameCondition(CatalogKind kind, const std::string& name);

// The statements of the changes: an insert per addition, then a delete per
// removal, then per removal the update that moves its goods to entry 1. Names
// are quoted with vorn::sql_escape. Empty for no changes.
std::string catalogStatements(CatalogKind kind, const CatalogChanges& changes);

// Writes the changes in one transaction: all of them or, when any statement
// fails, none. Returns the number of changes written (0 for none: the store is
// not touched), or -1 when the store refused them or a removal names entry 1
// (or no entry at all: an id below 1); nothing is written then.
int saveCatalog(vorn::Core& core, CatalogKind kind, const CatalogChanges& changes);

// After a successful save, the loaded goods rows whose type (or supplier) was
// removed show entry 1 at once, as the store now holds them. Returns how many
// rows changed.
int moveGoodsToFallback(std::vector<vorn::SRec>& rows, CatalogKind kind, const std::vector<int>& removed);

} // namespace vorn::ui
