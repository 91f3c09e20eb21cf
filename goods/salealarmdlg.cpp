#include "salealarmdlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "kit/appstate.h"
#include "kit/gbk.h"
#include "kit/msgbox.h"
#include "kit/shell.h"

namespace vorn::ui {

namespace {

constexpr int kLimitChars = 12;

struct AlarmColumn {
    const char* caption;
    int width;
    Qt::Alignment alignment;
};
constexpr AlarmColumn kColumns[] = {
    {"商品编码", 128, Qt::AlignLeft | Qt::AlignVCenter},
    {"商品名称", 192, Qt::AlignLeft | Qt::AlignVCenter},
    {"数量", 64, Qt::AlignRight | Qt::AlignVCenter},
};

// Solid vertical lines between the columns, none between the rows.
class ColumnLines : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(p, option, index);
        p->save();
        p->setPen(option.palette.color(QPalette::Mid));
        p->drawLine(option.rect.topRight(), option.rect.bottomRight());
        p->restore();
    }
};

// The whole text as one integer (blanks around it allowed), as the edit's
// integer entry has always read it; anything else, or a number past int, is none.
bool readInteger(const QString& text, int& value) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok) value = v;
    return ok;
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

CSaleAlarmDlg::CSaleAlarmDlg(Shell& shell, int count, int limit, QWidget* parent)
    : QDialog(parent), shell_(shell), limit_(limit) {
    setObjectName(QStringLiteral("saleAlarmDlg"));
    setWindowTitle(QStringLiteral("库存报警"));

    limitEdit_ = new QLineEdit;
    limitEdit_->setObjectName(QStringLiteral("limit"));
    limitEdit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QString shown = QString::number(limit);
    // The edit takes twelve characters from the keyboard; a stored limit is
    // shown whole even so.
    limitEdit_->setMaxLength(std::max<int>(kLimitChars, static_cast<int>(shown.size())));
    limitEdit_->setText(shown);
    limitEdit_->setFixedWidth(96);

    saveButton_ = new QPushButton(QStringLiteral("保存"));
    saveButton_->setObjectName(QStringLiteral("save"));
    // Enter saves through keyPressEvent, whichever control has the focus.
    saveButton_->setAutoDefault(false);
    connect(saveButton_, &QPushButton::clicked, this, &CSaleAlarmDlg::save);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("当商品库存数量低于")));
    top->addWidget(limitEdit_);
    top->addWidget(new QLabel(QStringLiteral("时报警")));
    top->addStretch();
    top->addWidget(saveButton_);

    list_ = new QTableWidget(0, 3);
    list_->setObjectName(QStringLiteral("alarmList"));
    list_->setItemDelegate(new ColumnLines(list_));
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setShowGrid(false);
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
    for (int c = 0; c < 3; ++c) {
        auto* h = new QTableWidgetItem(QString::fromUtf8(kColumns[c].caption));
        h->setTextAlignment(kColumns[c].alignment);
        list_->setHorizontalHeaderItem(c, h);
        header->setSectionResizeMode(c, QHeaderView::Fixed);
        header->resizeSection(c, kColumns[c].width);
        width += kColumns[c].width;
    }
    // Room for all three columns and a scroll bar, so nothing is cut.
    list_->setMinimumSize(width + list_->frameWidth() * 2 + 20, 260);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_);

    if (count > 0) loadRows();
    focusLimit();
}

void CSaleAlarmDlg::loadRows() {
    vorn::Core& core = shell_.state().core;
    // The count of the last check is only a hint: the array must hold every row
    // the query returns now.
    const int n = core.get_srec_alarm_count(limit_);
    if (n <= 0) return;
    std::vector<vorn::SRec> rows(static_cast<size_t>(n));
    const int got = core.select_srec_alarm(rows.data(), limit_);
    // After a failure the rows filled so far are shown; every filled row carries
    // its count, so an empty count marks where the filling stopped.
    size_t shown = 0;
    if (got >= 0) {
        shown = std::min(rows.size(), static_cast<size_t>(got));
    } else {
        while (shown < rows.size() && !rows[shown].FSs_Remark.empty())
            ++shown;
    }
    list_->setRowCount(static_cast<int>(shown));
    for (size_t i = 0; i < shown; ++i) {
        const int r = static_cast<int>(i);
        list_->setItem(r, 0, cell(fromGbk(rows[i].FSs_Code), kColumns[0].alignment));
        list_->setItem(r, 1, cell(fromGbk(rows[i].FSs_Name), kColumns[1].alignment));
        list_->setItem(r, 2, cell(fromGbk(rows[i].FSs_Remark), kColumns[2].alignment));
    }
}

void CSaleAlarmDlg::focusLimit() {
    limitEdit_->setFocus();
    limitEdit_->selectAll();
}

void CSaleAlarmDlg::save() {
    int value = 0;
    if (!readInteger(limitEdit_->text(), value)) {
        errorBox(this, QStringLiteral("请输入一个整数"));
        focusLimit();
        return;
    }
    shell_.state().core.set_alarm_limit(value);
    limit_ = value;
    accept();
}

void CSaleAlarmDlg::keyPressEvent(QKeyEvent* event) {
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
