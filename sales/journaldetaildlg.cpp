#include "journaldetaildlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "journalcolumns.h"
#include "kit/text/gbk.h"

namespace vorn::ui {

namespace {

QTableWidget* makeTable(const QString& name, const QStringList& headings, QWidget* parent) {
    auto* t = new QTableWidget(0, static_cast<int>(headings.size()), parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(headings);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setHighlightSections(false);
    return t;
}

void put(QTableWidget* t, int row, int col, const QString& text, bool number) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(number ? (Qt::AlignRight | Qt::AlignVCenter) : (Qt::AlignLeft | Qt::AlignVCenter));
    t->setItem(row, col, item);
}

} // namespace

CJournalDetailDlg::CJournalDetailDlg(const vorn::SaleDetail& detail, QWidget* parent) : QDialog(parent) {
    const vorn::SaleRecord& s = detail.sale;
    setObjectName(QStringLiteral("journalDetailDlg"));
    const QString number = journalCellText(s, JColNumber);
    setWindowTitle(QStringLiteral("销售单 %1").arg(number));

    // The heading: two columns of captions and values.
    const QString mark = saleMarkText(s);
    const QList<QPair<QString, QString>> heading = {
        {QStringLiteral("单号"), mark.isEmpty() ? number : QStringLiteral("%1（%2）").arg(number, mark)},
        {QStringLiteral("时间"), journalCellText(s, JColTime)},
        {QStringLiteral("收银员"), journalCellText(s, JColCashier)},
        {QStringLiteral("会员"), journalCellText(s, JColMember)},
        {QStringLiteral("件数"), journalCellText(s, JColUnits)},
        {QStringLiteral("积分"), s.points < 0 ? QStringLiteral("未知") : QString::number(s.points)},
        {QStringLiteral("应收"), tenthsText(s.due)},
        {QStringLiteral("优惠"), tenthsText(s.discount)},
        {QStringLiteral("实收"), tenthsText(s.paid)},
        {QStringLiteral("找零"), tenthsText(s.change)},
    };
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    for (int i = 0; i < heading.size(); ++i) {
        auto* value = new QLabel(heading[i].second, this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        const int row = i / 2, col = (i % 2) * 2;
        grid->addWidget(new QLabel(heading[i].first + QStringLiteral("："), this), row, col);
        grid->addWidget(value, row, col + 1);
        fields_.append({heading[i].first, value});
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    lines_ = makeTable(QStringLiteral("saleLines"),
                       {QStringLiteral("编码"), QStringLiteral("名称"), QStringLiteral("数量"),
                        QStringLiteral("单价"), QStringLiteral("金额")},
                       this);
    lines_->setRowCount(static_cast<int>(detail.lines.size()));
    for (int r = 0; r < static_cast<int>(detail.lines.size()); ++r) {
        const vorn::SaleLine& l = detail.lines[static_cast<size_t>(r)];
        // Units deleted from the goods since the sale leave no code or name.
        put(lines_, r, LCode, l.code.empty() ? QStringLiteral("(已删除)") : fromGbk(l.code), false);
        put(lines_, r, LName, fromGbk(l.name), false);
        put(lines_, r, LQuantity, QString::number(l.quantity), true);
        put(lines_, r, LPrice, tenthsText(l.price), true);
        put(lines_, r, LAmount, tenthsText(l.amount), true);
    }
    QHeaderView* h = lines_->horizontalHeader();
    h->resizeSection(LCode, 140);
    h->setSectionResizeMode(LName, QHeaderView::Stretch);
    for (int c : {LQuantity, LPrice, LAmount})
        h->resizeSection(c, 80);

    payments_ =
        makeTable(QStringLiteral("salePayments"), {QStringLiteral("付款方式"), QStringLiteral("金额")}, this);
    payments_->setRowCount(static_cast<int>(detail.payments.size()));
    for (int r = 0; r < static_cast<int>(detail.payments.size()); ++r) {
        const vorn::Payment& p = detail.payments[static_cast<size_t>(r)];
        put(payments_, r, 0, fromGbk(vorn::pay_method_name(p.method)), false);
        put(payments_, r, 1, tenthsText(p.amount), true);
    }
    payments_->horizontalHeader()->resizeSection(0, 140);
    payments_->horizontalHeader()->setStretchLastSection(true);
    // A sale is paid in at most a few parts: no room kept for more.
    payments_->setFixedHeight(payments_->horizontalHeader()->sizeHint().height() +
                              4 * payments_->verticalHeader()->defaultSectionSize() + 4);

    auto* buttons = new QDialogButtonBox(this);
    auto* reprint = buttons->addButton(QStringLiteral("重打小票"), QDialogButtonBox::ActionRole);
    reprint->setObjectName(QStringLiteral("reprintButton"));
    auto* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setDefault(true);
    connect(reprint, &QPushButton::clicked, this, &CJournalDetailDlg::onReprint);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(new QLabel(QStringLiteral("商品"), this));
    layout->addWidget(lines_, 1);
    layout->addWidget(new QLabel(QStringLiteral("付款"), this));
    layout->addWidget(payments_);
    layout->addWidget(buttons);
    resize(640, 520);
}

QString CJournalDetailDlg::field(const QString& caption) const {
    for (const auto& f : fields_)
        if (f.first == caption) return f.second->text();
    return {};
}

void CJournalDetailDlg::onReprint() {
    reprint_ = true;
    accept();
}

} // namespace vorn::ui
