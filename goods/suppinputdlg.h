// The supplier dialog "供货商配置".
#pragma once

#include "catalogdlg.h"

namespace vorn::ui {

class CStoreSuppInputDlg : public CCatalogDlg {
    Q_OBJECT
public:
    explicit CStoreSuppInputDlg(Shell& shell, QWidget* parent = nullptr);

protected:
    int countNamed(const char* condition) override;
    void appendInsert(std::string& sql, const std::string& name) const override;
    void appendDelete(std::string& sql, int id) const override;
};

} // namespace vorn::ui
