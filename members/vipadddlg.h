// The member entry dialog "会员添加": members staged one by one in a list and
// saved together in one call.
#pragma once

#include <QDialog>
#include <string>
#include <unordered_set>
#include <vector>

#include "memberfields.h"
#include "vorn/records.h"

class QListWidget;

namespace vorn::ui {

class Shell;

class CVIPAddDlg : public QDialog {
    Q_OBJECT
public:
    explicit CVIPAddDlg(Shell& shell, QWidget* parent = nullptr);

    // After the dialog closed: the number of members written (0 none staged, -1
    // the store failed, or -1 when cancelled; tell the two apart by result()).
    int insertResult() const { return insertResult_; }
    // Members staged so far (the header line not counted), in list order.
    int stagedCount() const { return static_cast<int>(staged_.size()); }
    const vorn::VIPRec& staged(int i) const { return staged_.at(static_cast<size_t>(i)); }

public slots:
    void stageMember(); // "<-"
    void takeBack();    // "->"
    void save();        // "保存"

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildUi();
    void focusCode();
    bool codeTaken(const std::string& code);
    QString lineText(const vorn::VIPRec& member) const;

    Shell& shell_;
    MemberFields fields_;
    std::vector<vorn::VIPRec> staged_;               // list row r (r >= 1) is staged_[r - 1]
    std::unordered_multiset<std::string> stagedCodes_; // GBK codes of staged_, for the duplicate check
    int insertResult_ = -1;

    QListWidget* list_ = nullptr;
};

} // namespace vorn::ui
