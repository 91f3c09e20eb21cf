// The goods type dialog "商品类型配置" and the supplier dialog "供货商配置":
// one catalog dialog (catalogdlg.h) that takes its words, its name limit and
// its entries from its kind.
#pragma once

#include "catalogdlg.h"

namespace vorn::ui {

class CCatalogKindDlg : public CCatalogDlg {
    Q_OBJECT
public:
    CCatalogKindDlg(Shell& shell, CatalogKind kind, QWidget* parent = nullptr);
};

// The dialog of one kind, constructed as the commands construct it.
template <CatalogKind K> class CCatalogOf : public CCatalogKindDlg {
public:
    explicit CCatalogOf(Shell& shell, QWidget* parent = nullptr) : CCatalogKindDlg(shell, K, parent) {}
};

using CStoreTypeInputDlg = CCatalogOf<CatalogKind::Types>;
using CStoreSuppInputDlg = CCatalogOf<CatalogKind::Suppliers>;

} // namespace vorn::ui
