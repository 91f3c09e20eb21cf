#include "kit/sheet/importreport.h"

#include <QBrush>
#include <QColor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace vorn::ui {

namespace {

const QColor kSkipColour(176, 40, 30); // a line left out must not read like a mere hint
const QColor kHintColour(30, 57, 91);

QTableWidgetItem* cell(const QString& text, Qt::Alignment align) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

CImportReportDlg::CImportReportDlg(const QString& title, const QString& summary,
                                   std::vector<ImportProblem> problems, bool anythingToEnter,
                                   QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CImportReportDlg"));
    setWindowTitle(title);

    // The caller collects problems field by field; the user reads them line by line.
    std::stable_sort(problems.begin(), problems.end(),
                     [](const ImportProblem& a, const ImportProblem& b) { return a.line < b.line; });
    int skips = 0;
    for (const ImportProblem& p : problems) skips += p.skipped ? 1 : 0;
    const int hints = static_cast<int>(problems.size()) - skips;

    auto* summaryLabel = new QLabel(summary);
    summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    summaryLabel->setWordWrap(true);
    QFont big = summaryLabel->font();
    big.setBold(true);
    summaryLabel->setFont(big);

    QString counts;
    if (problems.empty()) {
        counts = QStringLiteral("检查了每一行，没有发现问题。");
    } else {
        counts = QStringLiteral("检查发现 %1 个问题").arg(problems.size());
        QStringList parts;
        if (skips) parts << QStringLiteral("%1 个问题所在的行将被跳过（不导入）").arg(skips);
        if (hints) parts << QStringLiteral("%1 个问题按提示处理后照常导入").arg(hints);
        counts += QStringLiteral("：") + parts.join(QStringLiteral("，")) + QStringLiteral("。");
    }
    auto* countLabel = new QLabel(counts);
    countLabel->setObjectName(QStringLiteral("countLabel"));
    countLabel->setWordWrap(true);

    list_ = new QTableWidget(static_cast<int>(problems.size()), 3);
    list_->setObjectName(QStringLiteral("problemList"));
    list_->setHorizontalHeaderLabels(
        {QStringLiteral("行号"), QStringLiteral("问题"), QStringLiteral("处理")});
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setWordWrap(false);
    list_->setAlternatingRowColors(true);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 8);
    QHeaderView* header = list_->horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->setSectionResizeMode(2, QHeaderView::Fixed);
    const int digitWidth = list_->fontMetrics().horizontalAdvance(QStringLiteral("0000000"));
    header->resizeSection(0, std::max(64, digitWidth));
    header->resizeSection(2, 64);
    list_->setUpdatesEnabled(false);
    for (int r = 0; r < static_cast<int>(problems.size()); ++r) {
        const ImportProblem& p = problems[static_cast<size_t>(r)];
        const QColor colour = p.skipped ? kSkipColour : kHintColour;
        QTableWidgetItem* line = cell(QString::number(p.line), Qt::AlignRight);
        QTableWidgetItem* text = cell(p.text, Qt::AlignLeft);
        text->setToolTip(p.text);
        QTableWidgetItem* kind =
            cell(p.skipped ? QStringLiteral("跳过") : QStringLiteral("提示"), Qt::AlignHCenter);
        kind->setForeground(colour);
        if (p.skipped) {
            QFont bold = kind->font();
            bold.setBold(true);
            kind->setFont(bold);
        }
        kind->setData(Qt::UserRole, p.skipped);
        list_->setItem(r, 0, line);
        list_->setItem(r, 1, text);
        list_->setItem(r, 2, kind);
    }
    list_->setUpdatesEnabled(true);
    list_->setMinimumSize(560, 240);
    list_->setVisible(!problems.empty());

    confirm_ = new QPushButton(QStringLiteral("确认导入"));
    confirm_->setObjectName(QStringLiteral("confirmButton"));
    confirm_->setEnabled(anythingToEnter);
    auto* cancel = new QPushButton(QStringLiteral("取消"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    // Enter confirms only when there is something to confirm; otherwise it closes.
    confirm_->setDefault(anythingToEnter);
    cancel->setDefault(!anythingToEnter);
    // The list is for reading: no focus frame on its first cell.
    list_->setFocusPolicy(Qt::NoFocus);
    connect(confirm_, &QPushButton::clicked, this, &CImportReportDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CImportReportDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(confirm_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(8);
    layout->addWidget(summaryLabel);
    layout->addWidget(countLabel);
    layout->addWidget(list_, 1);
    if (problems.empty()) layout->addStretch(1);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    setMinimumWidth(problems.empty() ? 420 : 620);
}

void CImportReportDlg::accept() {
    if (!confirm_->isEnabled()) return;
    QDialog::accept();
}

} // namespace vorn::ui
