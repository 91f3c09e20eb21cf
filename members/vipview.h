// The member page (会员管理): the list of the members a search found and the
// commands of its ribbon tab.
#pragma once

#include "kit/page/recordpage.h"
#include "vorn/records.h"

namespace vorn::ui {

class CVIPInputDlg;

class CVIPView : public RecordListPage<vorn::VIPRec> {
    Q_OBJECT
public:
    explicit CVIPView(Shell& shell, QWidget* parent = nullptr);

    CVIPInputDlg* panel() const;

private:
    bool buildCondition(std::string& out) override;
    void addRecords() override;
};

} // namespace vorn::ui
