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

// Goods entry with names new to the catalog: a type or supplier typed in the
// entry dialog that the user chose to create. Units name a new entry by a
// temporary id below 0: -1 for newTypes[0] (or newSuppliers[0]), -2 for the
// second, and so on.
struct EntryNames {
    std::vector<std::string> newTypes;     // GBK names, to be created
    std::vector<std::string> newSuppliers; // GBK names, to be created
};

// The temporary id of the i-th new name (0-based): -1, -2, ...
inline int temporaryId(size_t index) {
    return -1 - static_cast<int>(index);
}

// Creates the new names and inserts the units in one transaction, the units'
// temporary ids replaced by the ids the names got: the names and the units
// are stored together or, when anything fails, neither. A name that exists by
// the time of the save (made meanwhile elsewhere) is taken as it is, not made
// twice. Returns the number of units inserted, or -1 when the store refused
// (nothing written) or a unit names a temporary id that has no name. The ids
// given to the new names go to createdTypes / createdSuppliers (may be null).
int saveEntry(vorn::Core& core, const EntryNames& names, std::vector<vorn::SRec>& units,
              std::vector<int>* createdTypes = nullptr, std::vector<int>* createdSuppliers = nullptr);

} // namespace vorn::ui
