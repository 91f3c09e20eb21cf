#include "salebirtalarmdlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "birthdaywindow.h"
#include "kit/appstate.h"
#include "kit/clock.h"
#include "kit/gbk.h"
#include "kit/msgbox.h"
#include "kit/shell.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

constexpr int kLimitChars = 2;

struct BirthdayColumn {
    const char* caption;
    int width;
    Qt::Alignment alignment;
};
constexpr BirthdayColumn kColumns[] = {
    {"会员编号", 128, Qt::AlignLeft | Qt::AlignVCenter},
    {"会员名称", 128, Qt::AlignLeft | Qt::AlignVCenter},
    {"生日", 128, Qt::AlignCenter},
};

// The whole text as one integer (blanks around it allowed), as the edit's
// integer entry has always read it; anything else, or a number past int, is none.
bool readInteger(const QString& text, int& value) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok) value = v;
    return ok;
}

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

CSaleBirtAlarmDlg::CSaleBirtAlarmDlg(Shell& shell, int count, int limit, const std::string& condition,
                                     QWidget* parent)
    : QDialog(parent), shell_(shell), limit_(limit) {
    setObjectName(QStringLiteral("saleBirtAlarmDlg"));
    setWindowTitle(QStringLiteral("会员生日提醒"));

    limitEdit_ = new QLineEdit;
    limitEdit_->setObjectName(QStringLiteral("limit"));
    limitEdit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QString shown = QString::number(limit);
    // Two characters from the keyboard; a longer lead read from the store is
    // still shown whole, not cut to a different number.
    limitEdit_->setMaxLength(std::max<int>(kLimitChars, static_cast<int>(shown.size())));
    limitEdit_->setText(shown);
    limitEdit_->setFixedWidth(48);

    saveButton_ = new QPushButton(QStringLiteral("保存"));
    saveButton_->setObjectName(QStringLiteral("save"));
    // Enter saves through keyPressEvent, whichever control has the focus.
    saveButton_->setAutoDefault(false);
    connect(saveButton_, &QPushButton::clicked, this, &CSaleBirtAlarmDlg::save);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("当会员生日少于")));
    top->addWidget(limitEdit_);
    top->addWidget(new QLabel(QStringLiteral("天时提醒")));
    top->addStretch();
    top->addWidget(saveButton_);

    list_ = new QTableWidget(0, 3);
    list_->setObjectName(QStringLiteral("birthdayList"));
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

    if (count > 0 && !condition.empty()) loadRows(condition);
    focusLimit();
}

void CSaleBirtAlarmDlg::loadRows(const std::string& condition) {
    vorn::Core& core = shell_.state().core;
    // The count of the last check is only a hint: the array must hold every row
    // the query returns now.
    const int n = core.get_viprec_count(condition.c_str());
    if (n <= 0) return;
    std::vector<vorn::VIPRec> rows(static_cast<size_t>(n));
    const int got = core.select_viprec(rows.data(), condition.c_str());
    // After a failure the rows filled so far are shown; a filled row has its id.
    size_t shown = 0;
    if (got >= 0) {
        shown = std::min(rows.size(), static_cast<size_t>(got));
    } else {
        while (shown < rows.size() && rows[shown].FVi_Id != 0)
            ++shown;
    }
    const int64_t today = now();
    list_->setRowCount(static_cast<int>(shown));
    for (size_t i = 0; i < shown; ++i) {
        const vorn::VIPRec& m = rows[i];
        const bool bold = isBirthdayToday(m.FVt_BirT, today);
        const int r = static_cast<int>(i);
        list_->setItem(r, 0, cell(fromGbk(m.FVs_Code), kColumns[0].alignment, bold));
        list_->setItem(r, 1, cell(fromGbk(m.FVs_Name), kColumns[1].alignment, bold));
        list_->setItem(
            r, 2, cell(QString::fromStdString(vorn::format_date(m.FVt_BirT)), kColumns[2].alignment, bold));
    }
}

void CSaleBirtAlarmDlg::focusLimit() {
    limitEdit_->setFocus();
    limitEdit_->selectAll();
}

void CSaleBirtAlarmDlg::save() {
    int value = 0;
    if (!readInteger(limitEdit_->text(), value)) {
        errorBox(this, QStringLiteral("请输入一个整数"));
        focusLimit();
        return;
    }
    if (value < 0 || value > kMaxLimit) {
        shell_.reportFailure(QStringLiteral("会员生日提前\"0至25\"天提醒"));
        focusLimit();
        return;
    }
    shell_.state().core.set_birt_alarm_limit(value);
    limit_ = value;
    accept();
}

void CSaleBirtAlarmDlg::keyPressEvent(QKeyEvent* event) {
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
