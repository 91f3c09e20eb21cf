#include "articlepricedlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "goodscells.h"
#include "goodslimits.h"
#include "kit/page/appstate.h"
#include "kit/page/busy.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/page/shell.h"
#include "kit/dialog/storefailure.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

const char* const kLabels[vorn::kPriceLevels] = {"零售价(元)", "普通会员价(元)", "金卡会员价(元)",
                                                 "批发价(元)", "特价(元)"};
const char* const kNames[vorn::kPriceLevels] = {"retP", "memP", "golP", "whoP", "speP"};

} // namespace

int64_t priceTenths(double yuan) {
    // The digits of the shown text are the tenths themselves.
    const std::string text = vorn::format_money(yuan);
    int64_t tenths = 0;
    for (char c : text)
        if (c >= '0' && c <= '9') tenths = tenths * 10 + (c - '0');
    return text[0] == '-' ? -tenths : tenths;
}

CArticlePriceDlg::CArticlePriceDlg(Shell& shell, const vorn::Article& article, QWidget* parent)
    : QDialog(parent), shell_(shell), article_(article) {
    setWindowTitle(QStringLiteral("调价"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("商品编码:"), new QLabel(fromGbk(article.code)));
    form->addRow(QStringLiteral("商品名称:"), new QLabel(fromGbk(article.name)));
    form->addRow(QStringLiteral("库存:"), new QLabel(QStringLiteral("%1件").arg(article.in_stock)));
    const double prices[vorn::kPriceLevels] = {article.retail, article.member, article.gold,
                                               article.wholesale, article.special};
    for (int p = 0; p < vorn::kPriceLevels; ++p) {
        auto* e = new QLineEdit(moneyText(prices[p]));
        e->setObjectName(QString::fromLatin1(kNames[p]));
        e->setMaxLength(kPriceBytes);
        edits_[static_cast<size_t>(p)] = e;
        shown_[static_cast<size_t>(p)] = priceTenths(prices[p]);
        form->addRow(QString::fromUtf8(kLabels[p]) + QStringLiteral(":"), e);
    }
    auto* hint = new QLabel(QStringLiteral("只有改动过的价格才会写入全部库存商品；已售商品保持原价。"));
    hint->setWordWrap(true);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(ok, &QPushButton::clicked, this, &CArticlePriceDlg::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addWidget(hint);
    outer->addWidget(buttons);
    setMinimumWidth(320);
    edits_[0]->setFocus();
    edits_[0]->selectAll();
}

void CArticlePriceDlg::save() {
    vorn::PriceChange change;
    change.code = article_.code;
    change.user = shell_.state().currentUser.FUs_Name;
    change.time = now();
    bool any = false;
    for (int p = 0; p < vorn::kPriceLevels; ++p) {
        QLineEdit* e = edits_[static_cast<size_t>(p)];
        double v = 0;
        if (!parsePrice(e->text(), v)) {
            shell_.reportFailure(priceRangeMessage(QString::fromUtf8(kLabels[p])));
            e->setFocus();
            e->selectAll();
            return;
        }
        const int64_t t = priceTenths(v);
        if (t == shown_[static_cast<size_t>(p)]) continue;
        change.tenths[static_cast<size_t>(p)] = t;
        any = true;
    }
    if (!any) {
        changeResult_ = 0;
        accept();
        return;
    }
    vorn::Core& core = shell_.state().core;
    int result = -1;
    runBusy(shell_.window(), [&] { result = vorn::Articles(core).set_prices(change); });
    changeResult_ = result;
    if (result < 0) {
        // Nothing was changed; the prices stay typed for another try.
        shell_.reportFailure(
            withStoreCause(QStringLiteral("未知异常导致商品\"调价\"失败，放弃该次\"调价\"操作")));
        return;
    }
    accept();
}

} // namespace vorn::ui
