#include "vipadddlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "membercells.h"
#include "memberlimits.h"
#include "memberquery.h"
#include "kit/page/appstate.h"
#include "kit/page/busy.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/text/gbklimit.h"
#include "kit/page/shell.h"
#include "kit/page/staging.h"
#include "kit/dialog/stagedlines.h"

namespace vorn::ui {

CVIPAddDlg::CVIPAddDlg(Shell& shell, QWidget* parent) : StagingDialog(shell, parent) {
    setWindowTitle(QStringLiteral("会员添加"));
    buildUi();
    list_->addItem(QStringLiteral("会员编号/类型/会员名称"));
    // A new member has no birthday until one is picked: the reminder must not
    // take the day of joining for one.
    fields_.birthday->clear();
    focusCode();
}

void CVIPAddDlg::buildUi() {
    fields_.build(statusNotice(shell_));
    fields_.catchEnter({});

    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("members"));
    list_->setMinimumWidth(300);

    auto* form = new QGridLayout;
    FieldForm rows(form);
    rows.addRows({QStringLiteral("会员编号:"), QStringLiteral("类型:"), QStringLiteral("会员名称:"),
                  QStringLiteral("生日:"), QStringLiteral("E-mail:"), QStringLiteral("联系电话:"),
                  QStringLiteral("地址:"), QStringLiteral("备注:")},
                 {fields_.code, fields_.type, fields_.name, fields_.birthday, fields_.email, fields_.phone,
                  fields_.addr, fields_.remark});
    form->setColumnMinimumWidth(1, 220);
    form->setRowStretch(rows.rows(), 1);

    const StagingButtons b = layOutStagedLines(this, {QStringLiteral("添加会员列表:"), list_, form, "stage",
                                                      [this] { stageMember(); }, [this] { takeBack(); },
                                                      [this] { save(); }});
    chainTabOrder({fields_.code, fields_.type, fields_.name, fields_.birthday, fields_.email, fields_.phone,
                   fields_.addr, fields_.remark, b.toList, b.fromList, list_, b.save, b.cancel});
}

void CVIPAddDlg::focusCode() {
    focusSelected(fields_.code);
}

bool CVIPAddDlg::codeTaken(const std::string& code) {
    // The staged list first: a code staged twice needs no query to be refused.
    if (stagedCodes_.count(code) > 0) return true;
    return shell_.state().core.get_viprec_count(memberCodeCondition(code).c_str()) > 0;
}

QString CVIPAddDlg::lineText(const vorn::VIPRec& m) const {
    return QStringLiteral("%1/%2/%3").arg(shownOrBlank(m.FVs_Code), choiceText(vipTypes(), m.FVi_Type), shownOrBlank(m.FVs_Name));
}

void CVIPAddDlg::stageMember() {
    vorn::VIPRec m;
    if (QWidget* refused = fields_.read(m, true)) {
        shell_.reportFailure(unrepresentableTextMessage());
        refused->setFocus();
        return;
    }
    if (codeTaken(m.FVs_Code)) {
        shell_.reportFailure(QStringLiteral("会员编号\"%1\"已存在，请重新输入其它").arg(fields_.code->text()));
        return;
    }
    m.FVi_Id = 0;
    m.FVi_Type = fields_.type->currentIndex() >= 0 ? fields_.type->currentIndex() : 0;
    m.FVt_BirT = fields_.birthday->hasDay() ? birthdayOf(fields_.birthday->day()) : 0;
    m.FVi_Grade = 0;
    m.FVt_CreT = 0; // the moment the batch is saved
    list_->addItem(lineText(m));
    stagedCodes_.insert(m.FVs_Code);
    staged_.push_back(std::move(m));
    focusCode();
}

void CVIPAddDlg::takeBack() {
    const int index = selectedStagedLine(list_, staged_.size());
    if (index >= 0) {
        const vorn::VIPRec& m = staged_[static_cast<size_t>(index)];
        fields_.show(m);
        // The member's own birthday, or none: a date left from the member before
        // would otherwise be staged with this one.
        fields_.birthday->setDay(localDateOf(m.FVt_BirT));
        stagedCodes_.erase(stagedCodes_.find(m.FVs_Code));
        staged_.erase(staged_.begin() + index);
        removeStagedLine(list_, index);
    }
    focusCode();
}

void CVIPAddDlg::save() {
    if (staged_.empty()) {
        insertResult_ = 0;
        accept();
        return;
    }
    if (staged_.size() > static_cast<size_t>(kMaxBatchRecords)) {
        shell_.reportFailure(QStringLiteral("一次添加会员数量太多，不能超过上限%1个").arg(kMaxBatchRecords));
        return;
    }
    // One moment for the whole batch: the members of one addition share their creation time.
    const int64_t created = now();
    for (vorn::VIPRec& m : staged_)
        m.FVt_CreT = created;
    vorn::Core& core = shell_.state().core;
    const std::vector<vorn::VIPRec>& batch = staged_;
    int result = -1;
    runBusy(shell_.window(),
            [&] { result = core.insert_viprec(batch.data(), static_cast<int>(batch.size())); });
    insertResult_ = result;
    accept();
}

} // namespace vorn::ui
