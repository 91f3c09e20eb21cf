// The member page (会员管理): the list of the members a search found and the
// commands of its ribbon tab.
#pragma once

#include <QString>
#include <functional>

#include "kit/page/recordpage.h"
#include "memberspan.h"
#include "membermodel.h"

namespace vorn::ui {

class CVIPInputDlg;

class CVIPView : public RecordListPage<vorn::VIPRec> {
    Q_OBJECT
public:
    explicit CVIPView(Shell& shell, QWidget* parent = nullptr);

    MemberModel* model() const { return model_; }
    CVIPInputDlg* panel() const;

private:
    bool buildCondition(std::string& out) override;
    std::string orderFor(int section, bool ascending) const override;
    SpanDates spanDates(int id) override;
    void addRecords() override;
    void importRecords() override;
    void exportRecords() override;
    void openPanel(const std::vector<int>& rows) override;
    vorn::Core& store() override;

    MemberModel* model_ = nullptr;
};

} // namespace vorn::ui
