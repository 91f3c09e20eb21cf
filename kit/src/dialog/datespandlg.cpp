#include "kit/dialog/datespandlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "kit/dialog/calendarpair.h"

namespace vorn::ui {

namespace {

QPushButton* makeButton(const QString& caption, const char* name, int id, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setProperty("vornId", id);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CDateSpanDlg::CDateSpanDlg(const QDate& start, const QDate& end, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CDateSpanDlg"));
    setWindowTitle(QStringLiteral("日期选择"));

    calendars_ = new CalendarPair(this);
    calendars_->setObjectName(QStringLiteral("calendars"));
    calendars_->setSpan(start, end);

    clearAllButton_ = makeButton(QStringLiteral("清空所有日期"), "clearAllButton", 1025, this);
    okButton_ = makeButton(QStringLiteral("确定"), "okButton", 1018, this);
    cancelButton_ = makeButton(QStringLiteral("取消"), "cancelButton", 1019, this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clearAllButton_);
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(calendars_);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Start on "确定" rather than in a calendar, whose focus frame would read
    // as a chosen day once that calendar is cleared.
    okButton_->setFocus();

    connect(clearAllButton_, &QPushButton::clicked, this, &CDateSpanDlg::onClearAll);
    connect(okButton_, &QPushButton::clicked, this, &CDateSpanDlg::onOk);
    connect(cancelButton_, &QPushButton::clicked, this, &CDateSpanDlg::onCancel);

    // Enter and Escape belong to the dialog even while a calendar has the focus
    // (the calendar would take Enter for itself).
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void CDateSpanDlg::onClearAll() { calendars_->clearAll(); }

void CDateSpanDlg::onOk() {
    QDate from, to;
    answer_ = calendars_->readSpan(from, to);
    if (answer_ == 1) {
        start_ = from;
        end_ = to;
    } else {
        start_ = QDate();
        end_ = QDate();
    }
    QDialog::done(QDialog::Accepted);
}

void CDateSpanDlg::onCancel() {
    answer_ = -1;
    QDialog::done(QDialog::Rejected);
}

void CDateSpanDlg::accept() { onOk(); }

void CDateSpanDlg::reject() { onCancel(); }

bool CDateSpanDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier) return QDialog::eventFilter(watched, event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            onOk();
            return true;
        case Qt::Key_Escape:
            onCancel();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vorn::ui
