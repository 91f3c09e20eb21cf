#include "saleinputdlg.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "kit/text/gbklimit.h"
#include "salecounter.h"
#include "vorn/widths.h"

namespace vorn::ui {

namespace {
constexpr int kQuantityChars = 3;
const char* const kMarkProperty = "notOne";

// What the quantity edit may hold: digits only, three at most (empty while
// being typed).
bool quantityText(const QString& text) {
    if (text.size() > kQuantityChars) return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

bool modifierOnly(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
        return true;
    default:
        return false;
    }
}

QFont pixelFont(const QFont& base, int pixels, bool bold = false) {
    QFont f = base;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}
} // namespace

CSaleInputDlg::CSaleInputDlg(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("saleInputDlg"));
    setAttribute(Qt::WA_StyledBackground);

    auto* codeLabel = new QLabel(QStringLiteral("商品编码:"), this);
    code_ = new QLineEdit(this);
    code_->setObjectName(QStringLiteral("codeEdit"));
    limitGbk(code_, width::room(width::kStoreCode));

    auto* quantityLabel = new QLabel(QStringLiteral("数量:"), this);
    quantity_ = new QLineEdit(QStringLiteral("1"), this);
    quantity_->setObjectName(QStringLiteral("quantityEdit"));
    quantity_->setMaxLength(kQuantityChars);
    quantity_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Pasted or dropped text too: digits only.
    quantity_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), quantity_));
    // A quantity other than 1 carries over to the next line: it is drawn so the
    // cashier sees it.
    connect(quantity_, &QLineEdit::textChanged, this, &CSaleInputDlg::markQuantity);

    up_ = new QToolButton(this);
    up_->setObjectName(QStringLiteral("quantityUp"));
    up_->setArrowType(Qt::UpArrow);
    down_ = new QToolButton(this);
    down_->setObjectName(QStringLiteral("quantityDown"));
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(20, 17);
    }
    connect(up_, &QToolButton::clicked, this, [this] { stepQuantity(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepQuantity(-1); });

    add_ = new QPushButton(QStringLiteral("加入购物列表"), this);
    add_->setObjectName(QStringLiteral("addButton"));
    remove_ = new QPushButton(QStringLiteral("删除选中项目"), this);
    remove_->setObjectName(QStringLiteral("removeButton"));
    checkout_ = new QPushButton(QStringLiteral("销售结算"), this);
    checkout_->setObjectName(QStringLiteral("checkoutButton"));
    connect(add_, &QPushButton::clicked, this, &CSaleInputDlg::addRequested);
    connect(remove_, &QPushButton::clicked, this, &CSaleInputDlg::removeRequested);
    connect(checkout_, &QPushButton::clicked, this, &CSaleInputDlg::checkoutRequested);

    // Figures a cashier reads from a step away: large type in the inputs.
    const QFont inputFont = pixelFont(font(), 18, true);
    const QFont labelFont = pixelFont(font(), 16);
    codeLabel->setFont(labelFont);
    quantityLabel->setFont(labelFont);
    code_->setFont(inputFont);
    quantity_->setFont(inputFont);
    code_->setMinimumWidth(240);
    quantity_->setFixedWidth(64);
    for (QPushButton* b : {add_, remove_, checkout_}) {
        b->setFont(pixelFont(font(), 20));
        b->setAutoDefault(false);
        // A click must not take the focus from the code edit, where the scanner types.
        b->setFocusPolicy(Qt::TabFocus);
    }
    code_->setMinimumHeight(36);
    quantity_->setMinimumHeight(36);

    auto* spin = new QVBoxLayout;
    spin->setContentsMargins(0, 0, 0, 0);
    spin->setSpacing(0);
    spin->addWidget(up_);
    spin->addWidget(down_);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(8);
    row->addWidget(codeLabel);
    row->addWidget(code_, 3);
    row->addSpacing(14);
    row->addWidget(quantityLabel);
    row->addWidget(quantity_);
    row->addLayout(spin);
    row->addSpacing(14);
    row->addStretch(1);
    row->addWidget(add_);
    row->addWidget(remove_);
    row->addWidget(checkout_);

    setTabOrder(code_, quantity_);
    setTabOrder(quantity_, add_);
    setTabOrder(add_, remove_);
    setTabOrder(remove_, checkout_);
    for (QWidget* w : {static_cast<QWidget*>(code_), static_cast<QWidget*>(quantity_),
                       static_cast<QWidget*>(add_), static_cast<QWidget*>(remove_),
                       static_cast<QWidget*>(checkout_)})
        w->installEventFilter(this);
}

QSize CSaleInputDlg::sizeHint() const {
    return {QWidget::sizeHint().width(), kDesignedHeight};
}

void CSaleInputDlg::focusCode() {
    code_->setFocus(Qt::OtherFocusReason);
    code_->selectAll();
}

void CSaleInputDlg::focusQuantity() {
    quantity_->setFocus(Qt::OtherFocusReason);
    quantity_->selectAll();
    startQuantityRun();
}

void CSaleInputDlg::forwardToCode(const QKeyEvent& key) {
    focusCode();
    QKeyEvent copy(key.type(), key.key(), key.modifiers(), key.text(), key.isAutoRepeat(), key.count());
    QCoreApplication::sendEvent(code_, &copy);
}

void CSaleInputDlg::resetQuantity() {
    quantity_->setText(QStringLiteral("1"));
    startQuantityRun();
}

bool CSaleInputDlg::quantityMarked() const {
    return quantity_->property(kMarkProperty).toBool();
}

void CSaleInputDlg::markQuantity() {
    const bool mark = parseQuantity(quantity_->text()) != 1;
    if (quantityMarked() == mark) return;
    quantity_->setProperty(kMarkProperty, mark);
    // The style sheet reads the property only when the widget is polished anew.
    quantity_->style()->unpolish(quantity_);
    quantity_->style()->polish(quantity_);
    quantity_->update();
}

void CSaleInputDlg::startQuantityRun() {
    runStart_.reset();
    runTyped_.clear();
}

void CSaleInputDlg::stepQuantity(int delta) {
    const int now = std::clamp(parseQuantity(quantity_->text()), kMinQuantity, kMaxQuantity);
    quantity_->setText(QString::number(std::clamp(now + delta, kMinQuantity, kMaxQuantity)));
    quantity_->selectAll();
    startQuantityRun();
}

bool CSaleInputDlg::filterQuantityKey(QKeyEvent* key) {
    // The arrow keys work the up-down control, as on its edit.
    if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
        stepQuantity(key->key() == Qt::Key_Up ? 1 : -1);
        return true;
    }
    const QString text = key->text();
    const bool typed = !text.isEmpty() && text.at(0).isPrint() &&
                       !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!typed) {
        // Backspace, the cursor keys, cut and paste: the cashier edits by hand,
        // and what was typed so far stays a quantity.
        if (!modifierOnly(key->key())) startQuantityRun();
        return false;
    }
    if (!runStart_) runStart_ = quantity_->text();
    QString next = quantity_->text();
    if (quantity_->hasSelectedText())
        next.replace(quantity_->selectionStart(), quantity_->selectedText().size(), text);
    else
        next.insert(quantity_->cursorPosition(), text);
    if (quantityText(next)) {
        runTyped_ += text;
        return false;
    }
    // No quantity: a code typed into the wrong edit. It moves, whole, to the code.
    const QString code = runTyped_ + text;
    quantity_->setText(*runStart_);
    startQuantityRun();
    code_->setFocus(Qt::OtherFocusReason);
    code_->setText(code);
    return true;
}

bool CSaleInputDlg::handleKey(QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (key->modifiers() & Qt::ControlModifier)
            emit checkoutRequested();
        else
            emit addRequested();
        return true;
    case Qt::Key_Escape:
        return true; // nothing to cancel at the counter
    default:
        return false;
    }
}

bool CSaleInputDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (handleKey(key)) return true;
        if (watched == quantity_ && filterQuantityKey(key)) return true;
    } else if (event->type() == QEvent::FocusIn && watched == quantity_) {
        startQuantityRun();
    }
    return QWidget::eventFilter(watched, event);
}

void CSaleInputDlg::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event)) QWidget::keyPressEvent(event);
}

} // namespace vorn::ui
