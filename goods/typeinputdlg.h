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

class CStoreTypeInputDlg : public CCatalogKindDlg {
    Q_OBJECT
public:
    explicit CStoreTypeInputDlg(Shell& shell, QWidget* parent = nullptr)
        : CCatalogKindDlg(shell, CatalogKind::Types, parent) {}
};

} // namespace vorn::ui
