#include "saleoutputdlg.h"

#include <QKeyEvent>

#include "kit/dialog/vornlabel.h"
#include "pricing.h"

namespace vorn::ui {

namespace {
const QColor kDueColour(16, 78, 139);
const QColor kChangeColour(0, 100, 0);

CVornLabel* makeLabel(QWidget* parent, const char* name, int pixels, const QColor& color) {
    auto* l = new CVornLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont f = l->font();
    f.setPixelSize(pixels);
    f.setWeight(QFont::Bold);
    l->setFont(f);
    l->setTextColor(color);
    l->setBackgroundColor(Qt::white);
    l->setBorderColor(QColor(0x8d, 0xb2, 0xe3));
    return l;
}
} // namespace

CSaleOutputDlg::CSaleOutputDlg(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("saleOutputDlg"));
    due_ = makeLabel(this, "dueLabel", 20, kDueColour);
    paid_ = makeLabel(this, "paidLabel", 20, QColor(92, 92, 92));
    change_ = makeLabel(this, "changeLabel", 36, kChangeColour);
    setAmounts(0, 0, 0);
}

void CSaleOutputDlg::setAmounts(int64_t due, int64_t paid, int64_t change) {
    due_->setText(QStringLiteral("     总金额: %1").arg(tenthsText(due)));
    paid_->setText(QStringLiteral("   实付金额: %1").arg(tenthsText(paid)));
    change_->setText(QStringLiteral("    找零: %1").arg(tenthsText(change)));
    change_->setTextColor(kChangeColour);
    showingDue_ = false;
}

void CSaleOutputDlg::showDue(int64_t due) {
    setAmounts(due, 0, 0);
    change_->setText(QStringLiteral("    应收: %1").arg(tenthsText(due)));
    change_->setTextColor(kDueColour);
    showingDue_ = true;
}

QSize CSaleOutputDlg::sizeHint() const {
    return {kLeftWidth * 2, kDesignedHeight};
}

void CSaleOutputDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int h = height();
    const int half = h / 2;
    due_->setGeometry(0, 0, kLeftWidth, half);
    paid_->setGeometry(0, half + 1, kLeftWidth, h - half - 1);
    change_->setGeometry(kLeftWidth + 1, 0, std::max(width() - kLeftWidth - 1, 0), h);
}

void CSaleOutputDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept(); // the panel only shows figures
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace vorn::ui
