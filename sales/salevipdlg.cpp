#include "salevipdlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "kit/dialog/enterkey.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"
#include "kit/text/gbk.h"
#include "kit/text/gbklimit.h"
#include "salecounter.h"
#include "vorn/widths.h"

namespace vorn::ui {

CSaleVIPDlg::CSaleVIPDlg(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell) {
    setObjectName(QStringLiteral("saleVipDlg"));
    setWindowTitle(QStringLiteral("会员"));
    setModal(true);

    auto* label = new QLabel(QStringLiteral("会员编号:"), this);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("memberCodeEdit"));
    edit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit_->setMinimumWidth(220);
    limitGbk(edit_, width::room(width::kVipCode));
    QFont big = edit_->font();
    big.setPixelSize(16);
    edit_->setFont(big);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    for (QPushButton* b : {ok, cancel})
        b->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CSaleVIPDlg::onOk);
    connect(cancel, &QPushButton::clicked, this, &CSaleVIPDlg::onCancel);

    auto* field = new QHBoxLayout;
    field->setSpacing(10);
    field->addWidget(label);
    field->addWidget(edit_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 20, 24, 16);
    outer->setSpacing(16);
    outer->addLayout(field);
    outer->addLayout(buttons);

    edit_->setFocus();
    // Enter looks the code up from any field; Escape closes as any dialog does.
    interceptEnter(this, [this] { onOk(); });
}

void CSaleVIPDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    edit_->setFocus(Qt::OtherFocusReason);
    edit_->selectAll();
}

void CSaleVIPDlg::onOk() {
    const QString typed = edit_->text();
    vorn::Core& core = shell_.state().core;
    std::string code;
    // A code GBK cannot hold belongs to no member.
    if (toGbk(typed, code)) {
        if (core.get_viprec_count(memberCondition(code).c_str()) > 0) {
            vorn::VIPRec found;
            if (core.select_viprec(&found, firstMemberCondition(code).c_str()) == 1) {
                member_ = found;
                accept();
                return;
            }
        }
    }
    shell_.reportFailure(QStringLiteral("不存在编号为\"%1\"的会员，请输入正确的会员编号").arg(typed));
    edit_->setFocus(Qt::OtherFocusReason);
    edit_->selectAll();
}

void CSaleVIPDlg::onCancel() {
    reject();
}

} // namespace vorn::ui
