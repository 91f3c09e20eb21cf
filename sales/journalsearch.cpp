#include "journalsearch.h"

#include <QDateTime>

#include "kit/text/gbk.h"

namespace vorn::ui {

namespace {

const int kMethods[] = {vorn::kPayCash, vorn::kPayWeChat, vorn::kPayAlipay, vorn::kPayCard, vorn::kPayOther};

bool bytesOf(const QString& text, std::string& out) {
    return toGbk(text.trimmed(), out);
}

int64_t dayStart(const QDate& day) {
    return QDateTime(day, QTime(0, 0)).toSecsSinceEpoch();
}

} // namespace

QStringList journalMethodChoices() {
    QStringList choices{QStringLiteral("全部")};
    for (int m : kMethods)
        choices << fromGbk(vorn::pay_method_name(m));
    return choices;
}

int methodOfChoice(const QString& text) {
    for (int m : kMethods)
        if (text.trimmed() == fromGbk(vorn::pay_method_name(m))) return m;
    return -1;
}

bool buildSaleFilter(const JournalSearch& in, vorn::SaleFilter& out) {
    vorn::SaleFilter f;
    if (!bytesOf(in.number, f.number) || !bytesOf(in.cashier, f.cashier) || !bytesOf(in.member, f.member) ||
        !bytesOf(in.goods, f.goods_code))
        return false;
    f.method = methodOfChoice(in.method);
    if (in.from.isValid() || in.to.isValid()) {
        // The dialog gives both; a half-set span is read as its one day.
        const QDate first = in.from.isValid() ? in.from : in.to;
        const QDate last = in.to.isValid() ? in.to : in.from;
        f.from = dayStart(first);
        f.to = dayStart(last.addDays(1));
    }
    out = std::move(f);
    return true;
}

} // namespace vorn::ui
