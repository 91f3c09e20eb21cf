#include "rankingdlg.h"

#include <QDateEdit>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "kit/page/appstate.h"
#include "kit/page/busy.h"
#include "kit/page/footerstrip.h"
#include "kit/page/shell.h"
#include "kit/sheet/sheetexport.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "rankingmodel.h"

namespace vorn::ui {

namespace {

int64_t midnight(const QDate& day) {
    return QDateTime(day, QTime(0, 0)).toSecsSinceEpoch();
}

} // namespace

CSalesRankingDlg::CSalesRankingDlg(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell) {
    setObjectName(QStringLiteral("CSalesRankingDlg"));
    setWindowTitle(QStringLiteral("商品销售排行"));

    // This month so far: the question a shop owner asks most.
    const QDate today = QDateTime::fromSecsSinceEpoch(now()).date();
    start_ = new QDateEdit(QDate(today.year(), today.month(), 1));
    start_->setObjectName(QStringLiteral("startDate"));
    end_ = new QDateEdit(today);
    end_->setObjectName(QStringLiteral("endDate"));
    for (QDateEdit* e : {start_, end_}) {
        e->setCalendarPopup(true);
        e->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }

    types_ = new QListWidget;
    types_->setObjectName(QStringLiteral("types"));
    for (const vorn::TRec& t : shell_.state().types) {
        auto* item = new QListWidgetItem(fromGbk(t.FTs_Name), types_);
        item->setData(Qt::UserRole, t.FTi_Id);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(Qt::Unchecked);
    }
    types_->setFixedWidth(150);

    auto* queryButton = new QPushButton(QStringLiteral("统计"));
    queryButton->setObjectName(QStringLiteral("queryButton"));
    queryButton->setAutoDefault(false);
    connect(queryButton, &QPushButton::clicked, this, &CSalesRankingDlg::query);

    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("起始日期:")));
    side->addWidget(start_);
    side->addWidget(new QLabel(QStringLiteral("终止日期:")));
    side->addWidget(end_);
    side->addSpacing(6);
    side->addWidget(new QLabel(QStringLiteral("商品类型(不选即全部):")));
    side->addWidget(types_, 1);
    side->addWidget(queryButton);

    model_ = new RankingModel(rows_, shell_.state().types, this);
    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("rankingTable"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(22);
    table_->horizontalHeader()->setSectionsClickable(true);
    table_->horizontalHeader()->setSortIndicatorShown(true);
    // The store answers best sales first.
    table_->horizontalHeader()->setSortIndicator(RankSales, Qt::DescendingOrder);
    const auto columns = rankingColumns();
    for (int c = 0; c < static_cast<int>(columns.size()); ++c)
        table_->setColumnWidth(c, columns[static_cast<size_t>(c)].width);
    connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this, &CSalesRankingDlg::sortBy);
    footer_ = new FooterStrip(table_);
    footer_->setObjectName(QStringLiteral("rankingFooter"));
    for (int c = RankQuantity; c < RankingColumnCount; ++c)
        footer_->setAlignment(c, Qt::AlignRight | Qt::AlignVCenter);

    auto* listSide = new QVBoxLayout;
    listSide->setSpacing(0);
    listSide->addWidget(table_, 1);
    listSide->addWidget(footer_);

    auto* top = new QHBoxLayout;
    top->addLayout(side);
    top->addLayout(listSide, 1);

    auto* exportButton = new QPushButton(QStringLiteral("导出..."));
    exportButton->setObjectName(QStringLiteral("exportButton"));
    exportButton->setAutoDefault(false);
    connect(exportButton, &QPushButton::clicked, this, &CSalesRankingDlg::exportRows);
    auto* closeButton = new QPushButton(QStringLiteral("关闭"));
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAutoDefault(false);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(exportButton);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    // The smallest screen the program runs on is 1024x768.
    resize(1000, 600);
    showRows();
}

CSalesRankingDlg::~CSalesRankingDlg() = default;

void CSalesRankingDlg::setSpan(const QDate& start, const QDate& end) {
    start_->setDate(start);
    end_->setDate(end);
}

void CSalesRankingDlg::setTypes(const std::vector<int>& ids) {
    for (int i = 0; i < types_->count(); ++i) {
        QListWidgetItem* item = types_->item(i);
        const bool on = std::find(ids.begin(), ids.end(), item->data(Qt::UserRole).toInt()) != ids.end();
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
}

std::vector<int> CSalesRankingDlg::chosenTypes() const {
    std::vector<int> ids;
    for (int i = 0; i < types_->count(); ++i)
        if (types_->item(i)->checkState() == Qt::Checked) ids.push_back(types_->item(i)->data(Qt::UserRole).toInt());
    return ids;
}

void CSalesRankingDlg::query() {
    QDate start = start_->date();
    const QDate end = end_->date();
    if (start > end) {
        start = end;
        start_->setDate(start);
    }
    // Midnight of the first day up to midnight after the last, as the charts count days.
    vorn::RankingQuery q{midnight(start), midnight(end.addDays(1)), chosenTypes()};
    vorn::Core& core = shell_.state().core;
    std::vector<vorn::RankingRow> found;
    int n = -1;
    runBusy(shell_.window(), [&] { n = vorn::Ranking(core).select(q, found); });
    if (n < 0) {
        shell_.reportFailure(QStringLiteral("未知异常导致商品销售排行统计失败，放弃该次\"统计\"操作"));
        return;
    }
    rows_ = std::move(found);
    // A new query keeps the order the user chose.
    if (sortColumn_ >= 0) {
        vorn::RankingOrder order;
        if (rankingOrderOf(sortColumn_, order)) vorn::sort_ranking(rows_, order, descending_);
    }
    showRows();
    if (rows_.empty())
        shell_.showStatus(QStringLiteral("未统计到任何商品的销售"));
    else
        shell_.showStatus(QStringLiteral("成功统计%1种商品的销售排行").arg(rows_.size()));
}

void CSalesRankingDlg::sortBy(int column) {
    vorn::RankingOrder order;
    if (!rankingOrderOf(column, order)) return;
    // Figures read best first, texts from A.
    const bool figure = column >= RankQuantity;
    descending_ = column == sortColumn_ ? !descending_ : figure;
    sortColumn_ = column;
    vorn::sort_ranking(rows_, order, descending_);
    table_->horizontalHeader()->setSortIndicator(column, descending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
    showRows();
}

void CSalesRankingDlg::showRows() {
    model_->reload();
    const QStringList f = rankingFooters(vorn::sum_ranking(rows_));
    for (int c = 0; c < f.size(); ++c)
        footer_->setText(c, f[c]);
    footer_->update();
}

void CSalesRankingDlg::exportRows() {
    const std::vector<vorn::RankingRow> shown = rows_;
    const std::vector<vorn::TRec> types = shell_.state().types;
    runSheetExport({shell_, QStringLiteral("导出商品销售排行"), QStringLiteral("商品销售排行"), shown.size(),
                    [shown, types](const QString& path, const std::function<void(int)>& percent, QString* error) {
                        return writeRanking(path, shown, types, percent, error);
                    }});
}

void CSalesRankingDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        query();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vorn::ui
