#include "kit/remind/reminderdlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "kit/page/appstate.h"
#include "kit/dialog/msgbox.h"
#include "kit/text/integertext.h"
#include "kit/page/recordlist.h"
#include "kit/page/shell.h"
#include "kit/dialog/storefailure.h"

namespace vorn::ui {

namespace {

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment, bool bold) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (bold) {
        QFont f = item->font();
        f.setBold(true);
        item->setFont(f);
    }
    return item;
}

} // namespace

CReminderDlg::CReminderDlg(Shell& shell, ReminderView view, int count, int limit, QWidget* parent)
    : QDialog(parent), shell_(shell), view_(std::move(view)), limit_(limit) {
    setObjectName(view_.objectName);
    setWindowTitle(view_.title);

    limitEdit_ = new QLineEdit;
    limitEdit_->setObjectName(QStringLiteral("limit"));
    limitEdit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QString shown = QString::number(limit);
    limitEdit_->setMaxLength(std::max<int>(view_.limitChars, static_cast<int>(shown.size())));
    limitEdit_->setText(shown);
    limitEdit_->setFixedWidth(view_.editWidth);

    saveButton_ = new QPushButton(QStringLiteral("保存"));
    saveButton_->setObjectName(QStringLiteral("save"));
    // Enter saves through keyPressEvent, whichever control has the focus.
    saveButton_->setAutoDefault(false);
    connect(saveButton_, &QPushButton::clicked, this, &CReminderDlg::save);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(view_.before));
    top->addWidget(limitEdit_);
    top->addWidget(new QLabel(view_.after));
    top->addStretch();
    top->addWidget(saveButton_);

    const int columns = static_cast<int>(view_.columns.size());
    list_ = new QTableWidget(0, columns);
    list_->setObjectName(view_.listName);
    if (!view_.gridLines) {
        list_->setItemDelegate(new ColumnLineDelegate(list_));
        list_->setShowGrid(false);
    }
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setWordWrap(false);
    list_->setSortingEnabled(false);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 8);
    QHeaderView* header = list_->horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    int width = 0;
    for (int c = 0; c < columns; ++c) {
        const ReminderColumn& col = view_.columns[static_cast<size_t>(c)];
        auto* h = new QTableWidgetItem(col.caption);
        h->setTextAlignment(col.alignment);
        list_->setHorizontalHeaderItem(c, h);
        header->setSectionResizeMode(c, QHeaderView::Fixed);
        header->resizeSection(c, col.width);
        width += col.width;
    }
    // Room for every column and a scroll bar, so nothing is cut.
    list_->setMinimumSize(width + list_->frameWidth() * 2 + 20, 260);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_);
    if (view_.addControls) {
        auto* below = new QHBoxLayout;
        layout->addLayout(below);
        view_.addControls(*this, below);
    }

    if (count > 0) loadRows();
    focusLimit();
}

void CReminderDlg::loadRows() {
    if (!view_.rows) return;
    const std::vector<ReminderRow> rows = view_.rows(shell_.state().core, limit_);
    const int columns = list_->columnCount();
    list_->setRowCount(static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const int r = static_cast<int>(i);
        for (int c = 0; c < columns && c < rows[i].cells.size(); ++c)
            list_->setItem(r, c,
                           cell(rows[i].cells[c], view_.columns[static_cast<size_t>(c)].alignment, rows[i].bold));
    }
}

void CReminderDlg::reload() {
    const int row = list_->currentRow();
    list_->setRowCount(0);
    loadRows();
    if (row >= 0 && row < list_->rowCount()) list_->setCurrentCell(row, 0);
}

void CReminderDlg::focusLimit() {
    limitEdit_->setFocus();
    limitEdit_->selectAll();
}

void CReminderDlg::save() {
    // The limit edit holds an integer and nothing else, unlike the fields that
    // read the number at the start of what was typed.
    const TypedInteger typed = readInteger(limitEdit_->text());
    const int value = typed.value;
    if (!typed.whole) {
        errorBox(this, QStringLiteral("请输入一个整数"));
        focusLimit();
        return;
    }
    const QString refused = view_.refusal ? view_.refusal(value) : QString();
    if (!refused.isEmpty()) {
        shell_.reportFailure(refused);
        focusLimit();
        return;
    }
    if (view_.store && !view_.store(shell_.state().core, value)) {
        shell_.reportFailure(withStoreCause(view_.storeFailure));
        focusLimit();
        return;
    }
    limit_ = value;
    accept();
}

void CReminderDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        save();
        return;
    case Qt::Key_Escape:
        // Esc does not close this dialog; the caption's close button does.
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace vorn::ui
