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

namespace vorn::ui {

namespace {

QString orBlank(const std::string& gbkText) {
    return gbkText.empty() ? QStringLiteral("(空)") : fromGbk(gbkText);
}

} // namespace

CVIPAddDlg::CVIPAddDlg(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell) {
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
    int row = 0;
    auto addRow = [&](const char* label, QWidget* w, Qt::Alignment labelAlign = Qt::AlignVCenter) {
        form->addWidget(new QLabel(QString::fromUtf8(label)), row, 0, Qt::AlignRight | labelAlign);
        form->addWidget(w, row, 1);
        ++row;
    };
    addRow("会员编号:", fields_.code);
    addRow("类型:", fields_.type);
    addRow("会员名称:", fields_.name);
    addRow("生日:", fields_.birthday);
    addRow("E-mail:", fields_.email);
    addRow("联系电话:", fields_.phone);
    addRow("地址:", fields_.addr, Qt::AlignTop);
    addRow("备注:", fields_.remark, Qt::AlignTop);
    form->setColumnMinimumWidth(1, 220);
    form->setRowStretch(row, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("添加会员列表:")));
    left->addWidget(list_);
    StagingSides sides;
    sides.list = left;
    sides.entry = form;
    sides.toListName = "stage";
    const StagingButtons b = layOutStaging(this, sides);
    connect(b.toList, &QPushButton::clicked, this, &CVIPAddDlg::stageMember);
    connect(b.fromList, &QPushButton::clicked, this, &CVIPAddDlg::takeBack);
    connect(b.save, &QPushButton::clicked, this, &CVIPAddDlg::save);

    const QList<QWidget*> order = {fields_.code,  fields_.type,   fields_.name, fields_.birthday,
                                   fields_.email, fields_.phone,  fields_.addr, fields_.remark,
                                   b.toList,      b.fromList,     list_,        b.save,
                                   b.cancel};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void CVIPAddDlg::focusCode() {
    fields_.code->setFocus();
    fields_.code->selectAll();
}

bool CVIPAddDlg::codeTaken(const std::string& code) {
    // The staged list first: a code staged twice needs no query to be refused.
    if (stagedCodes_.count(code) > 0) return true;
    return shell_.state().core.get_viprec_count(memberCodeCondition(code).c_str()) > 0;
}

QString CVIPAddDlg::lineText(const vorn::VIPRec& m) const {
    return QStringLiteral("%1/%2/%3").arg(orBlank(m.FVs_Code), vipTypeText(m.FVi_Type), orBlank(m.FVs_Name));
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
    QListWidgetItem* item = list_->currentItem();
    const int row = item && item->isSelected() ? list_->row(item) : -1;
    if (row >= 1 && static_cast<size_t>(row) <= staged_.size()) {
        const vorn::VIPRec& m = staged_[static_cast<size_t>(row - 1)];
        fields_.show(m);
        // The member's own birthday, or none: a date left from the member before
        // would otherwise be staged with this one.
        fields_.birthday->setDay(localDateOf(m.FVt_BirT));
        stagedCodes_.erase(stagedCodes_.find(m.FVs_Code));
        staged_.erase(staged_.begin() + (row - 1));
        delete list_->takeItem(row);
        // The list would select the next line by itself; a second "->" must not
        // take back a member nobody chose.
        list_->setCurrentRow(-1);
        list_->clearSelection();
    }
    focusCode();
}

void CVIPAddDlg::save() {
    if (staged_.empty()) {
        insertResult_ = 0;
        accept();
        return;
    }
    if (staged_.size() > static_cast<size_t>(kMaxBatchMembers)) {
        shell_.reportFailure(QStringLiteral("一次添加会员数量太多，不能超过上限%1个").arg(kMaxBatchMembers));
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

void CVIPAddDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vorn::ui
