#include "vipinputdlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "membercells.h"
#include "memberlimits.h"
#include "memberrows.h"
#include "memberstate.h"
#include "kit/page/appstate.h"
#include "kit/text/gbklimit.h"
#include "kit/text/integertext.h"
#include "kit/page/shell.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

CVIPInputDlg::CVIPInputDlg(Shell& shell, QWidget* owner)
    : RecordEditPanel(shell, memberState(shell).rows, owner) {
    setObjectName(QStringLiteral("memberEditPanel"));
    setWindowTitle(QStringLiteral("会员编辑"));
    buildUi();
    settle();
}

void CVIPInputDlg::buildUi() {
    fields_.build(statusNotice(shell_));
    // The code is shown, never edited: read-only and out of the Tab order, yet
    // still selectable so it can be copied.
    fields_.code->setReadOnly(true);
    fields_.code->setFocusPolicy(Qt::ClickFocus);
    fields_.catchEnter([this] { save(); });
    points_ = new QLineEdit;
    points_->setObjectName(QStringLiteral("points"));
    points_->setMaxLength(kMemberPointsChars);
    created_ = new QLineEdit;
    created_->setObjectName(QStringLiteral("created"));
    created_->setReadOnly(true);
    created_->setFocusPolicy(Qt::ClickFocus);
    QPushButton* saveButton = layOutFields(
        {
            {"会员编号:", fields_.code},  {"类型:", fields_.type},   {"会员名称:", fields_.name},
            {"生日:", fields_.birthday},  {"积分:", points_},        {"E-mail:", fields_.email},
            {"联系电话:", fields_.phone}, {"创建时间:", created_},
        },
        {{"地址:", fields_.addr, Qt::AlignTop}, {"备注:", fields_.remark, Qt::AlignTop}});

    const QList<QWidget*> order = {fields_.type,  fields_.name,  fields_.birthday, points_,
                                   fields_.email, fields_.phone, fields_.addr,     fields_.remark,
                                   saveButton};
    for (qsizetype k = 1; k < order.size(); ++k)
        setTabOrder(order[k - 1], order[k]);
}

void CVIPInputDlg::opened() {
    showTemplate();
    bringUp(records_.size() > 1 ? QStringLiteral("会员编辑(注意: 当前编辑针对所有选定会员)")
                                : QStringLiteral("会员编辑"));
    fields_.code->selectAll();
    // The code is shown only; typing starts at the name.
    fields_.name->setFocus();
    fields_.name->selectAll();
}

void CVIPInputDlg::showTemplate() {
    const vorn::VIPRec& t = template_;
    fields_.show(t);
    // An unset birthday (0) shows none.
    fields_.birthday->setDay(localDateOf(t.FVt_BirT));
    points_->setText(QString::number(t.FVi_Grade));
    created_->setText(QString::fromStdString(vorn::format_time(t.FVt_CreT)));
    // As the controls hold them, within their limits and range.
    shown_.type = fields_.type->currentIndex();
    shown_.name = fields_.name->text();
    shown_.email = fields_.email->text();
    shown_.phone = fields_.phone->text();
    shown_.addr = fields_.addr->toPlainText();
    shown_.remark = fields_.remark->toPlainText();
    shown_.points = points_->text();
    shown_.birthday = fields_.birthday->day();
}

unsigned CVIPInputDlg::changedFields() const {
    unsigned changed = 0;
    if (fields_.type->currentIndex() != shown_.type) changed |= MeType;
    if (fields_.name->text() != shown_.name) changed |= MeName;
    if (fields_.birthday->day() != shown_.birthday) changed |= MeBirthday;
    if (points_->text() != shown_.points) changed |= MePoints;
    if (fields_.email->text() != shown_.email) changed |= MeEMail;
    if (fields_.phone->text() != shown_.phone) changed |= MePhone;
    if (fields_.addr->toPlainText() != shown_.addr) changed |= MeAddr;
    if (fields_.remark->toPlainText() != shown_.remark) changed |= MeRemark;
    return changed;
}

QWidget* CVIPInputDlg::readTemplate() {
    vorn::VIPRec t = template_;
    if (QWidget* refused = fields_.read(t, false)) {
        shell_.reportFailure(unrepresentableTextMessage());
        return refused;
    }
    const unsigned changed = changedFields();
    if (changed & MeBirthday) {
        // A changed day keeps the stored time of day; a new one is one second
        // past midnight; none is 0.
        const QDate day = fields_.birthday->day();
        if (!day.isValid())
            t.FVt_BirT = 0;
        else
            t.FVt_BirT = t.FVt_BirT == 0 ? birthdayOf(day) : atTimeOfDay(day, t.FVt_BirT);
    }
    if (changed & MePoints) {
        t.FVi_Grade = readInteger(points_->text()).value;
        if (t.FVi_Grade > kMaxMemberPoints) {
            shell_.reportFailure(QStringLiteral("会员积分不能超过上限%1").arg(kMaxMemberPoints));
            points_->selectAll();
            return points_;
        }
    }
    template_ = std::move(t);
    changed_ = changed;
    return nullptr;
}

void CVIPInputDlg::save() {
    if (records_.empty() || !isVisible()) return;
    // A refused field keeps the panel open on it: nothing is written.
    if (QWidget* refused = readTemplate()) {
        refused->setFocus();
        return;
    }
    // Of several members each keeps what the user did not change: making three
    // members gold card must not give them the first one's name and points.
    std::vector<vorn::VIPRec> edited = records_;
    for (vorn::VIPRec& m : edited)
        applyMemberTemplate(m, template_, changed_);
    writeEdited(std::move(edited), false);
}

} // namespace vorn::ui
