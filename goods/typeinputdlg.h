// The goods type dialog "商品类型配置".
#pragma once

#include "catalogdlg.h"

namespace vorn::ui {

class CStoreTypeInputDlg : public CCatalogDlg {
    Q_OBJECT
public:
    explicit CStoreTypeInputDlg(Shell& shell, QWidget* parent = nullptr);
};

} // namespace vorn::ui
