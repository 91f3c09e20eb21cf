#include "counterrulesdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogparts.h"
#include "kit/dialog/enterkey.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"

namespace vorn::ui {

namespace {

QGridLayout* groupGrid(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    return grid;
}

bool sameRules(const vorn::ShopRules& a, const vorn::ShopRules& b) {
    return a.usual_float == b.usual_float && a.lowest_rate == b.lowest_rate &&
           a.clerk_special == b.clerk_special && a.after_sale == b.after_sale &&
           a.merge_rows == b.merge_rows && a.sell_short == b.sell_short;
}

// Digits with at most one decimal; the whole and the tenth, or false.
bool readTenths(const QString& text, int64_t& tenths) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{0,9})(?:\\.([0-9]?))?$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(2).isEmpty())) return false;
    const int64_t whole = m.captured(1).isEmpty() ? 0 : m.captured(1).toLongLong();
    const int64_t tenth = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
    tenths = whole * 10 + tenth;
    return true;
}

} // namespace

bool parseFloatYuan(const QString& text, int64_t& tenths) {
    int64_t t = 0;
    if (!readTenths(text, t) || t > kMaxFloatTenths) return false;
    tenths = t;
    return true;
}

QString floatText(int64_t tenths) {
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

bool parseLowestRate(const QString& text, int& percent) {
    if (text.trimmed().isEmpty()) {
        percent = 0;
        return true;
    }
    // 1折 to 10折 in tenths of a 折, which are percent of the retail price.
    int64_t t = 0;
    if (!readTenths(text, t) || t < 10 || t > 100) return false;
    percent = static_cast<int>(t);
    return true;
}

QString lowestRateText(int percent) {
    if (percent <= 0) return QString();
    return percent % 10 == 0 ? QString::number(percent / 10)
                             : QStringLiteral("%1.%2").arg(percent / 10).arg(percent % 10);
}

CCounterRulesDlg::CCounterRulesDlg(Shell& shell, const vorn::ShopRules& rules, QWidget* parent)
    : QDialog(parent), shell_(shell), before_(rules) {
    setObjectName(QStringLiteral("counterRulesDlg"));
    setWindowTitle(QStringLiteral("收银设置"));

    float_ = new QLineEdit;
    float_->setObjectName(QStringLiteral("usualFloat"));
    float_->setMaxLength(12);
    float_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    float_->setFixedWidth(120);
    auto* cash = new QGroupBox(QStringLiteral("钱箱"));
    auto* cashGrid = groupGrid(cash);
    cashGrid->addWidget(fieldLabel(QStringLiteral("备用金:")), 0, 0);
    cashGrid->addWidget(float_, 0, 1);
    cashGrid->addWidget(new QLabel(QStringLiteral("元")), 0, 2);
    cashGrid->addWidget(hint(QStringLiteral("每班开班时钱箱中的零钱；开班、交班时可另行填写"), "floatHint"),
                        1, 1, 1, 3);
    cashGrid->setColumnStretch(3, 1);

    rate_ = new QLineEdit;
    rate_->setObjectName(QStringLiteral("lowestRate"));
    rate_->setMaxLength(8);
    rate_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rate_->setFixedWidth(120);
    rate_->setPlaceholderText(QStringLiteral("不限"));
    special_ = new QCheckBox(QStringLiteral("营业员可用特价/批发价"));
    special_->setObjectName(QStringLiteral("clerkSpecial"));
    auto* clerk = new QGroupBox(QStringLiteral("营业员权限"));
    auto* clerkGrid = groupGrid(clerk);
    clerkGrid->addWidget(fieldLabel(QStringLiteral("营业员最低折扣:")), 0, 0);
    clerkGrid->addWidget(rate_, 0, 1);
    clerkGrid->addWidget(new QLabel(QStringLiteral("折")), 0, 2);
    clerkGrid->addWidget(special_, 1, 1, 1, 3);
    clerkGrid->addWidget(
        hint(QStringLiteral("例如填8表示营业员最多打8折，空白为不限。营业员折扣低于最低折扣或使用未允许的"
                            "价格时，须由管理员或店主输入用户名和密码授权；管理员和店主不受限制。"),
             "clerkHint"),
        2, 1, 1, 3);
    clerkGrid->setColumnStretch(3, 1);

    afterSale_ = new QComboBox;
    afterSale_->setObjectName(QStringLiteral("afterSale"));
    afterSale_->addItem(QStringLiteral("询问是否打印小票"), vorn::kAfterSaleAsk);
    afterSale_->addItem(QStringLiteral("自动打印小票"), vorn::kAfterSalePrint);
    afterSale_->addItem(QStringLiteral("不打印小票"), vorn::kAfterSaleQuiet);
    merge_ = new QCheckBox(QStringLiteral("同一商品合并为一行"));
    merge_->setObjectName(QStringLiteral("mergeRows"));
    merge_->setToolTip(QStringLiteral("再次扫描最后一行的商品时增加该行的数量，而不是另起一行"));
    sellShort_ = new QCheckBox(QStringLiteral("库存不足时允许销售"));
    sellShort_->setObjectName(QStringLiteral("sellShort"));
    auto* habits = new QGroupBox(QStringLiteral("收银习惯"));
    auto* habitGrid = groupGrid(habits);
    habitGrid->addWidget(fieldLabel(QStringLiteral("销售完成后:")), 0, 0);
    habitGrid->addWidget(afterSale_, 0, 1, 1, 2);
    habitGrid->addWidget(merge_, 1, 1, 1, 3);
    habitGrid->addWidget(sellShort_, 2, 1, 1, 3);
    habitGrid->addWidget(
        hint(QStringLiteral("账面库存不够时，缺少的件数按该商品最近一次入库的价格在收银台补录，"
                            "备注为收银台补录，并在同一笔销售中售出；盘点时可核对账面与实物。"
                            "不勾选时，库存不足的商品不能销售。"),
             "sellShortHint"),
        3, 1, 1, 3);
    habitGrid->setColumnStretch(3, 1);

    auto* saveButton = makeButton(QStringLiteral("保存"), "save");
    auto* cancelButton = makeButton(QStringLiteral("取消"), "cancel");
    connect(saveButton, &QPushButton::clicked, this, &CCounterRulesDlg::save);
    connect(cancelButton, &QPushButton::clicked, this, &CCounterRulesDlg::reject);
    QHBoxLayout* bottom = buttonRow({saveButton, cancelButton});

    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(12);
    outer->addWidget(cash);
    outer->addWidget(clerk);
    outer->addWidget(habits);
    outer->addWidget(hint(QStringLiteral("设置保存在店铺数据中，对下一笔销售生效。"), "fileHint"));
    outer->addLayout(bottom);
    // The three groups' field labels share one width, so their fields line up.
    int labelWidth = 0;
    const QList<QLabel*> labels = findChildren<QLabel*>(QStringLiteral("fieldLabel"));
    for (QLabel* l : labels)
        labelWidth = std::max(labelWidth, l->sizeHint().width());
    for (QLabel* l : labels)
        l->setMinimumWidth(labelWidth);

    setMinimumWidth(520);

    // Enter saves from any field (the drop-down's own list keeps its Enter).
    interceptEnter(this, [this] { save(); });
    setRules(rules);
    float_->setFocus();
}

void CCounterRulesDlg::setRules(const vorn::ShopRules& r) {
    float_->setText(floatText(r.usual_float));
    rate_->setText(lowestRateText(r.lowest_rate));
    special_->setChecked(r.clerk_special);
    afterSale_->setCurrentIndex(std::max(0, afterSale_->findData(r.after_sale)));
    merge_->setChecked(r.merge_rows);
    sellShort_->setChecked(r.sell_short);
}

bool CCounterRulesDlg::formRules(vorn::ShopRules& out, QString& problem, QWidget*& field) const {
    vorn::ShopRules r;
    if (!parseFloatYuan(float_->text(), r.usual_float)) {
        problem = QStringLiteral("备用金应为0到%1元之间的金额，最多一位小数").arg(floatText(kMaxFloatTenths));
        field = float_;
        return false;
    }
    if (!parseLowestRate(rate_->text(), r.lowest_rate)) {
        problem = QStringLiteral("营业员最低折扣应为1到10之间的折数，最多一位小数(如8或8.5)；不限时请留空");
        field = rate_;
        return false;
    }
    r.clerk_special = special_->isChecked();
    r.after_sale = afterSale_->currentData().toInt();
    r.merge_rows = merge_->isChecked();
    r.sell_short = sellShort_->isChecked();
    out = r;
    return true;
}

void CCounterRulesDlg::save() {
    vorn::ShopRules r;
    QString problem;
    QWidget* field = nullptr;
    if (!formRules(r, problem, field)) {
        shell_.reportFailure(problem);
        if (auto* edit = qobject_cast<QLineEdit*>(field)) {
            edit->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
        }
        return;
    }
    if (sameRules(r, before_))
        outcome_ = Outcome::Unchanged;
    else
        outcome_ = vorn::Shifts(shell_.state().core).set_rules(r) == 1 ? Outcome::Saved : Outcome::Failed;
    accept();
}

} // namespace vorn::ui
