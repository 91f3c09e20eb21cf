#include "storeinputdlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "enterkey.h"
#include "goodsfields.h"
#include "kit/text/gbklimit.h"
#include "goodscells.h"
#include "goodslimits.h"
#include "goodsrows.h"
#include "goodsstate.h"
#include "kit/page/appstate.h"
#include "kit/text/gbk.h"
#include "kit/page/shell.h"

namespace vorn::ui {

namespace {

QLineEdit* makeEdit(const char* objectName, int maxBytes, const GbkNotice& notice,
                    const QColor& colour = QColor()) {
    QLineEdit* e = limitedLineEdit(objectName, maxBytes, notice);
    if (colour.isValid()) {
        // The application's style sheet sets a text colour for every widget, which
        // a palette cannot override; a sheet of the edit's own can.
        QPalette pal = e->palette();
        pal.setColor(QPalette::Text, colour);
        e->setPalette(pal);
        e->setStyleSheet(QStringLiteral("QLineEdit { color: %1; }").arg(colour.name()));
    }
    return e;
}

// Stock time, real price and sale time are shown, never edited: read-only (the
// style sheet greys such edits), out of the Tab order, and still selectable so
// a time can be copied.
QLineEdit* makeDisplay(const char* objectName) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(objectName));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::ClickFocus);
    return e;
}

} // namespace

CStoreInputDlg::CStoreInputDlg(Shell& shell, QWidget* owner)
    : RecordEditPanel(shell, goodsState(shell).rows, owner) {
    setObjectName(QStringLiteral("goodsEditPanel"));
    // A window of its own that should look like the program's dialogs.
    setAttribute(Qt::WA_StyledBackground);
    setWindowTitle(QStringLiteral("商品编辑"));
    buildUi();
    settle();
}

void CStoreInputDlg::buildUi() {
    // The panel is a window of its own; the main window's status bar says why
    // characters went missing from a field.
    const GbkNotice notice = statusNotice(shell_);
    fields_.code = makeEdit("code", width::room(width::kStoreCode), notice);
    fields_.name = makeEdit("name", width::room(width::kStoreName), notice);
    fields_.type = makeNameCombo("type", width::room(width::kTypeName), notice);
    fields_.size = makeEdit("size", width::room(width::kStoreSize), notice);
    // Each selling price in a colour of its own, so the panel is read at a glance.
    const QColor colours[PriceCount] = {QColor(),           QColor(34, 139, 34), QColor(210, 105, 30),
                                        QColor(255, 97, 0), QColor(160, 32, 240), QColor(0, 0, 255)};
    for (size_t i = 0; i < fields_.prices.size(); ++i)
        fields_.prices[i] = makeEdit(priceFields()[i].objectName, kPriceBytes, notice, colours[i]);
    stoT_ = makeDisplay("stoT");
    reaP_ = makeDisplay("reaP");
    salT_ = makeDisplay("salT");
    state_ = new QComboBox;
    state_->setObjectName(QStringLiteral("state"));
    state_->addItems(choiceNames(goodsStates().first(3)));
    state_->setEnabled(false);
    fields_.supplier = makeNameCombo("supplier", width::room(width::kSupplierName), notice);
    fields_.remark = new QPlainTextEdit;
    fields_.remark->setObjectName(QStringLiteral("remark"));
    fields_.remark->setTabChangesFocus(true);
    fields_.remark->setFixedHeight(72);
    limitGbk(fields_.remark, width::room(width::kStoreRemark), notice);
    interceptEnter(fields_.remark, [this] { save(); });
    std::vector<PanelField> pairs = fields_.upperRows();
    pairs.insert(pairs.end(), {{QStringLiteral("入库时间:"), stoT_},
                               {QStringLiteral("实售价(元):"), reaP_},
                               {QStringLiteral("售出时间:"), salT_},
                               {QStringLiteral("商品状态:"), state_}});
    layOutFields(pairs, {{QStringLiteral("供货商:"), fields_.supplier},
                         {QStringLiteral("备注:"), fields_.remark, Qt::AlignTop}});
}

void CStoreInputDlg::fillCombos() {
    const AppState& st = shell_.state();
    fields_.type->clear();
    fields_.supplier->clear();
    for (const vorn::TRec& t : st.types)
        fields_.type->addItem(fromGbk(t.FTs_Name));
    for (const vorn::SPRec& s : st.suppliers)
        fields_.supplier->addItem(fromGbk(s.FSPs_Name));
}

void CStoreInputDlg::opened() {
    fillCombos();
    showTemplate();
    bringUp(records_.size() > 1 ? QStringLiteral("商品编辑(注意: 当前编辑针对所有选定商品)")
                              : QStringLiteral("商品编辑"));
    fields_.code->setFocus();
    fields_.code->selectAll();
}

void CStoreInputDlg::showTemplate() {
    const vorn::SRec& t = template_;
    fields_.show(t, shell_.state());
    // Times, real price and state differ from unit to unit; with several units
    // no single value could be shown for them.
    const bool many = records_.size() > 1;
    stoT_->setText(many ? QString() : timeText(t.FSt_StoT));
    reaP_->setText(many ? QString() : moneyText(t.FSd_ReaP));
    salT_->setText(many ? QString() : timeText(t.FSt_SalT));
    state_->setCurrentIndex(t.FSi_Flag >= 0 && t.FSi_Flag <= 2 ? t.FSi_Flag : -1);
    openedOriP_ = t.FSd_OriP;
    openedRetP_ = t.FSd_RetP;
}

void CStoreInputDlg::save() {
    if (records_.empty() || !isVisible()) return;
    // A refused field keeps the panel open on it: nothing is written changed.
    if (const GoodsFields::Refusal refusal = fields_.read(template_, shell_.state());
        !refusal.message.isEmpty()) {
        shell_.reportFailure(refusal.message);
        if (auto* edit = qobject_cast<QLineEdit*>(refusal.field)) edit->selectAll();
        if (refusal.field) refusal.field->setFocus();
        return;
    }
    std::vector<vorn::SRec> edited = records_;
    for (vorn::SRec& u : edited)
        applyGoodsTemplate(u, template_);
    const bool totalsChanged =
        template_.FSd_OriP != openedOriP_ || template_.FSd_RetP != openedRetP_ || edited.size() > 1;
    writeEdited(std::move(edited), totalsChanged);
}

} // namespace vorn::ui
