// The member entry dialog "会员添加": members staged one by one in a list and
// saved together in one call.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "kit/dialog/stagingdialog.h"
#include "memberfields.h"
#include "vorn/records.h"

namespace vorn::ui {

// insertResult() counts the members written; Enter does nothing here.
class CVIPAddDlg : public StagingDialog {
    Q_OBJECT
public:
    explicit CVIPAddDlg(Shell& shell, QWidget* parent = nullptr);

    // Members staged so far (the header line not counted), in list order.
    int stagedCount() const { return static_cast<int>(staged_.size()); }
    const vorn::VIPRec& staged(int i) const { return staged_.at(static_cast<size_t>(i)); }

public slots:
    void stageMember(); // "<-"
    void takeBack();    // "->"
    void save();        // "保存"

private:
    void buildUi();
    void focusCode();
    bool codeTaken(const std::string& code);
    QString lineText(const vorn::VIPRec& member) const;

    MemberFields fields_;
    std::vector<vorn::VIPRec> staged_;               // list row r (r >= 1) is staged_[r - 1]
    std::unordered_multiset<std::string> stagedCodes_; // GBK codes of staged_, for the duplicate check
};

} // namespace vorn::ui
