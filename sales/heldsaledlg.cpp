#include "heldsaledlg.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "kit/text/gbk.h"
#include "picktable.h"
#include "pricing.h"

namespace vorn::ui {

CHeldSalesDlg::CHeldSalesDlg(std::vector<vorn::HeldSale> sales, QWidget* parent)
    : QDialog(parent), sales_(std::move(sales)) {
    setObjectName(QStringLiteral("heldSalesDlg"));
    setWindowTitle(QStringLiteral("取单"));
    setModal(true);

    auto* caption = new QLabel(QStringLiteral("挂起的销售（%1笔）").arg(sales_.size()), this);
    caption->setObjectName(QStringLiteral("heldSalesCaption"));

    const QDate today = QDate::currentDate();
    std::vector<QStringList> rows;
    for (const vorn::HeldSale& s : sales_) {
        const QDateTime when = QDateTime::fromSecsSinceEpoch(s.time);
        // A sale parked on an earlier day says which day.
        const QString time = when.toString(when.date() == today ? QStringLiteral("HH:mm:ss")
                                                                : QStringLiteral("yyyy-MM-dd HH:mm"));
        const QString member = s.member_code.empty()
                                   ? QString()
                                   : QStringLiteral("%1 %2").arg(fromGbk(s.member_name), fromGbk(s.member_code));
        rows.push_back({time, QString::number(s.units), tenthsText(s.due), member, fromGbk(s.cashier)});
    }
    table_ = makePickTable(this, QStringLiteral("heldSalesList"),
                           {{"挂单时间", 140, false}, {"件数", 56, true}, {"金额", 80, true}, {"会员", 170, false},
                            {"收银员", 90, false}},
                           rows, 560, 240);
    layOutPickDialog(*this, caption, table_, QStringLiteral("取单"), QStringLiteral("recallButton"),
                     QStringLiteral("Enter: 取单    ↑↓: 选择    Esc: 关闭"), [this] { onRecall(); },
                     [this] { onCancel(); });
}

void CHeldSalesDlg::onRecall() {
    const int r = pickedRow(*table_);
    if (r < 0 || r >= static_cast<int>(sales_.size())) return;
    chosen_ = sales_[static_cast<size_t>(r)].id;
    accept();
}

void CHeldSalesDlg::onCancel() {
    chosen_ = 0;
    reject();
}

void CHeldSalesDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        onRecall();
        return;
    case Qt::Key_Escape:
        onCancel();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

// ---- Leaving with goods in the list ---------------------------------------------

CLeaveSaleDlg::CLeaveSaleDlg(int units, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("leaveSaleDlg"));
    setWindowTitle(QStringLiteral("销售未结算"));
    setModal(true);
    auto* text = new QLabel(
        QStringLiteral("购物列表中还有%1件商品尚未结算。\n挂单后可随时用\"取单\"(F5)取回。").arg(units), this);
    text->setObjectName(QStringLiteral("leaveText"));

    static const char* const captions[] = {"留在此页 (Esc)", "挂单 (Enter)", "清空"};
    static const char* const names[] = {"stayButton", "parkButton", "dropButton"};
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (int c : {Park, Drop, Stay}) {
        buttons_[c] = new QPushButton(QString::fromUtf8(captions[c]), this);
        buttons_[c]->setObjectName(QString::fromLatin1(names[c]));
        buttons_[c]->setAutoDefault(false);
        connect(buttons_[c], &QPushButton::clicked, this, [this, c] { choose(c); });
        row->addWidget(buttons_[c]);
    }
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(18, 16, 18, 14);
    outer->setSpacing(14);
    outer->addWidget(text);
    outer->addLayout(row);
    buttons_[Park]->setFocus();
}

QPushButton* CLeaveSaleDlg::button(Choice c) const { return buttons_[c]; }

void CLeaveSaleDlg::choose(int c) {
    choice_ = static_cast<Choice>(c);
    if (choice_ == Stay)
        reject();
    else
        accept();
}

void CLeaveSaleDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter keeps the sale: parking loses nothing.
        choose(Park);
        return;
    case Qt::Key_Escape:
        choose(Stay);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace vorn::ui
