// The supplier dialog "供货商配置".
#pragma once

#include "catalogdlg.h"

namespace vorn::ui {

class CStoreSuppInputDlg : public CCatalogDlg {
    Q_OBJECT
public:
    explicit CStoreSuppInputDlg(Shell& shell, QWidget* parent = nullptr);
};

} // namespace vorn::ui
