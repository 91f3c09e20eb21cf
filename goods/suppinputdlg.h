// The supplier dialog "供货商配置": the catalog dialog of the supplier kind.
#pragma once

#include "typeinputdlg.h"

namespace vorn::ui {

class CStoreSuppInputDlg : public CCatalogKindDlg {
    Q_OBJECT
public:
    explicit CStoreSuppInputDlg(Shell& shell, QWidget* parent = nullptr)
        : CCatalogKindDlg(shell, CatalogKind::Suppliers, parent) {}
};

} // namespace vorn::ui
