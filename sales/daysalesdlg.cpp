#include "daysalesdlg.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidget>

#include "kit/page/appstate.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/page/shell.h"
#include "picktable.h"
#include "pricing.h"

namespace vorn::ui {

std::pair<int64_t, int64_t> CDaySalesDlg::daySpan(int64_t t) {
    const QDate day = QDateTime::fromSecsSinceEpoch(t).date();
    return {day.startOfDay().toSecsSinceEpoch(), day.addDays(1).startOfDay().toSecsSinceEpoch()};
}

QString CDaySalesDlg::methodsText(unsigned methods) {
    QStringList names;
    for (int m : {vorn::kPayCash, vorn::kPayWeChat, vorn::kPayAlipay, vorn::kPayCard, vorn::kPayOther,
                  vorn::kPayUnknown})
        if (methods & (1u << m)) names << fromGbk(vorn::pay_method_name(m));
    return names.join(QStringLiteral("、"));
}

CDaySalesDlg::CDaySalesDlg(Shell& shell, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("daySalesDlg"));
    setWindowTitle(QStringLiteral("今日销售"));
    setModal(true);

    AppState& st = shell.state();
    vorn::SaleFilter filter;
    std::tie(filter.from, filter.to) = daySpan(now());
    filter.cashier = st.currentUser.FUs_Name;
    filter.kind = vorn::kKindSale;
    failed_ = vorn::Journal(st.core).select_sales(filter, sales_, vorn::SaleOrder::Time, true) < 0;

    auto* caption = new QLabel(QStringLiteral("收银员\"%1\"今日的销售（%2笔）")
                                   .arg(fromGbk(st.currentUser.FUs_Name))
                                   .arg(sales_.size()),
                               this);
    caption->setObjectName(QStringLiteral("daySalesCaption"));

    std::vector<QStringList> rows;
    for (const vorn::SaleRecord& s : sales_)
        rows.push_back({QString::fromStdString(s.number),
                        QDateTime::fromSecsSinceEpoch(s.time).toString(QStringLiteral("HH:mm:ss")),
                        QString::number(s.units), tenthsText(s.due), methodsText(s.methods)});
    table_ = makePickTable(this, QStringLiteral("daySalesList"),
                           {{"单号", 130, false}, {"时间", 80, false}, {"件数", 56, true}, {"金额", 80, true},
                            {"付款方式", 150, false}},
                           rows, 520, 260);
    layOutPickDialog(*this, caption, table_, QStringLiteral("重打小票"), QStringLiteral("reprintButton"),
                     QStringLiteral("Enter: 重打小票    Esc: 关闭"), [this] { onPrint(); }, [this] { onCancel(); });
}

std::vector<int64_t> CDaySalesDlg::saleIds() const {
    std::vector<int64_t> ids;
    for (const vorn::SaleRecord& s : sales_)
        ids.push_back(s.id);
    return ids;
}

void CDaySalesDlg::onPrint() {
    const int r = pickedRow(*table_);
    if (r < 0 || r >= static_cast<int>(sales_.size())) return;
    chosen_ = sales_[static_cast<size_t>(r)].id;
    accept();
}

void CDaySalesDlg::onCancel() {
    chosen_ = 0;
    reject();
}

void CDaySalesDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        onPrint();
        return;
    case Qt::Key_Escape:
        onCancel();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace vorn::ui
