#include "statisticsview.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QToolButton>

#include "kit/page/appstate.h"
#include "kit/page/busy.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/sheet/sheetwriter.h"
#include "kit/page/shell.h"
#include "res/commandids.h"
#include "res/strings.h"
#include "rankingdlg.h"
#include "statcdtdlg.h"
#include "statchartview.h"
#include "statfigures.h"
#include "statpages.h"
#include "statquery.h"
#include "statseries.h"
#include "statstate.h"
#include "statyeardlg.h"

namespace vorn::ui {

namespace {

const QString kMadeText = QStringLiteral("生成销售数据统计图表");

QString incompleteText(int failed) {
    return QStringLiteral("未知异常导致%1个时段的销售数据读取失败，生成的销售数据统计图表不完整").arg(failed);
}

const QString kPngFilter = QStringLiteral("PNG图片 (*.png)");
const QString kPdfFilter = QStringLiteral("PDF文档 (*.pdf)");

QString askExportFile(QWidget* parent, const QString& suggested) {
    QString filter = kPngFilter;
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("导出图表"), suggested,
                                                kPngFilter + QStringLiteral(";;") + kPdfFilter, &filter);
    // A bare name takes the kind the user picked in the dialog.
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += filter == kPdfFilter ? QStringLiteral(".pdf") : QStringLiteral(".png");
    return path;
}

} // namespace

CStatisticsView::CStatisticsView(Shell& shell, QWidget* parent)
    : CPage(shell, parent), runDialog_([](QDialog& d) { return d.exec(); }), chooseFile_(askExportFile) {
    setObjectName(QStringLiteral("statisticsView"));
    // No background of its own: the charts cover the whole page.
    for (int i = 0; i < 4; ++i) {
        auto* view = new StatChartView(this);
        view->setObjectName(QStringLiteral("chart%1").arg(i + 1));
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& pos) { showChartMenu(view, pos); });
        charts_[static_cast<size_t>(i)] = view;
    }

    // Shop owners print these and send them on: the way out sits on the charts.
    exportButton_ = new QToolButton(this);
    exportButton_->setObjectName(QStringLiteral("exportButton"));
    exportButton_->setText(QStringLiteral("导出图表"));
    exportButton_->setToolTip(QStringLiteral("把当前显示的图表保存为PNG图片或PDF文档"));
    exportButton_->setIcon(QIcon(QStringLiteral(":/icons/print.svg")));
    exportButton_->setIconSize(QSize(16, 16));
    exportButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    exportButton_->setAutoRaise(true);
    exportButton_->setFocusPolicy(Qt::NoFocus);
    exportButton_->adjustSize();
    exportButton_->hide();
    connect(exportButton_, &QToolButton::clicked, this, &CStatisticsView::exportShown);
    layoutCharts();
}

StatChartView* CStatisticsView::chart(int n) const {
    return n >= 1 && n <= 4 ? charts_[static_cast<size_t>(n - 1)] : nullptr;
}

bool CStatisticsView::isCommandEnabled(int id) const {
    return statCommandEnabled(id, shell().state().extension<StatState>().mode, hasCharts_, page_);
}

bool CStatisticsView::isCommandChecked(int id) const {
    return statCommandChecked(id, shell().state().extension<StatState>().mode, page_);
}

bool CStatisticsView::onCommand(int id) {
    switch (id) {
    case cmd::StatByYear:
    case cmd::StatByCustom:
        // Only the next "生成图表" looks at the mode; the charts stay as they are.
        shell().state().extension<StatState>().mode = id - cmd::StatByYear;
        return true;
    case cmd::SetYears:
        chooseYears();
        return true;
    case cmd::SetCustom:
        chooseCustom();
        return true;
    case cmd::MakeCharts:
        generate();
        return true;
    case cmd::SalesRanking: {
        CSalesRankingDlg dlg(shell(), shell().window());
        runDialog_(dlg);
        return true;
    }
    case cmd::ExportFigures:
        if (isCommandEnabled(id)) exportFigures();
        return true;
    case cmd::ZoomChart:
    case cmd::NextChart:
    case cmd::PrevChart:
    case cmd::AllCharts:
        if (!isCommandEnabled(id)) return true;
        page_ = pageAfter(id, page_);
        layoutCharts();
        return true;
    default:
        return false;
    }
}

// ---- Conditions ------------------------------------------------------------------

void CStatisticsView::chooseYears() {
    StatState& ss = shell().state().extension<StatState>();
    CStatYearDlg dlg(shell(), ss.years, currentLocalYear(), shell().window());
    runDialog_(dlg);
}

void CStatisticsView::chooseCustom() {
    AppState& st = shell().state();
    StatState& ss = st.extension<StatState>();
    CStatCdtDlg dlg(shell(), ss.spanStart, ss.spanEnd, ss.types, st.types, shell().window());
    runDialog_(dlg);
    if (dlg.answer() == 1) {
        ss.spanStart = dlg.start();
        ss.spanEnd = dlg.end();
    } else if (dlg.answer() == 0) {
        ss.spanStart = QDate();
        ss.spanEnd = QDate();
    }
}

// ---- Generation ------------------------------------------------------------------

void CStatisticsView::generate() {
    AppState& st = shell().state();
    // Everything the job needs is copied first; it runs beside the GUI thread
    // and touches nothing but the store and its own results.
    const StatState ss = st.extension<StatState>();
    StatPlan plan;
    if (ss.mode == 0)
        plan = yearPlan(ss.years);
    else if (ss.hasSpan())
        plan = customPlan(ss.spanStart, ss.spanEnd, ss.types);
    StatTotals totals;
    vorn::Core& core = st.core;
    runBusyWithProgress(shell().window(), [&plan, &totals, &core](BusyProgress& progress) {
        totals = runPlan(core, plan, [&progress](int percent) { progress.set(percent); });
    });

    ChartSet set;
    if (ss.mode == 0)
        set = yearCharts(ss.years, totals.periods, currentLocalYear());
    else if (ss.hasSpan())
        set = customCharts(ss.spanStart, ss.spanEnd, ss.types, st.types, totals.periods);
    else
        set = emptyCustomCharts();
    hasCharts_ = true;
    for (size_t i = 0; i < 4; ++i)
        charts_[i]->showLook(set[i]);
    layoutCharts();

    if (totals.failed > 0)
        shell().reportFailure(incompleteText(totals.failed));
    else
        shell().showStatus(kMadeText);
    shell().updateCommands();
}

// ---- Layout ------------------------------------------------------------------------

void CStatisticsView::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    layoutCharts();
}

void CStatisticsView::layoutCharts() {
    const std::array<ChartPlace, 4> places = chartPlaces(page_, width(), height());
    for (size_t i = 0; i < 4; ++i) {
        charts_[i]->setGeometry(places[i].rect);
        charts_[i]->setVisible(places[i].visible);
        if (places[i].visible) charts_[i]->settle();
    }
    exportButton_->setVisible(hasCharts_);
    exportButton_->move(width() - exportButton_->width() - 6, 6);
    exportButton_->raise();
}

// ---- Export ------------------------------------------------------------------------

void CStatisticsView::showChartMenu(StatChartView* view, const QPoint& pos) {
    QMenu menu(this);
    QAction* save = menu.addAction(QIcon(QStringLiteral(":/icons/print.svg")), QStringLiteral("导出图表..."));
    save->setEnabled(hasCharts_);
    connect(save, &QAction::triggered, this, &CStatisticsView::exportShown);
    menu.exec(view->mapToGlobal(pos));
}

void CStatisticsView::renderShown(QPainter& painter) {
    for (StatChartView* view : charts_) {
        if (view->isHidden()) continue;
        // The scene itself, so a PDF gets lines and text rather than a picture.
        static_cast<QGraphicsView*>(view)->render(&painter, QRectF(view->geometry()), QRect(),
                                                  Qt::IgnoreAspectRatio);
    }
}

bool CStatisticsView::exportCharts(const QString& path) {
    const QSize size = this->size();
    if (size.isEmpty()) return false;
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QPdfWriter pdf(path);
        pdf.setTitle(kMadeText);
        pdf.setCreator(appTitle());
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        pdf.setResolution(300);
        QPainter painter;
        if (!painter.begin(&pdf)) return false;
        const QRect area = painter.viewport();
        // A line above the charts says whose shop and when, for the paper copy.
        QFont head = font();
        head.setPointSizeF(11);
        painter.setFont(head);
        const int headHeight = QFontMetrics(head, &pdf).height() * 2;
        const QString shop = fromGbk(shell().state().core.get_shop_name());
        const QString when = QDateTime::fromSecsSinceEpoch(now()).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        painter.drawText(QRect(area.left(), area.top(), area.width(), headHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         shop.isEmpty() ? kMadeText : shop + QStringLiteral("  ") + kMadeText);
        painter.drawText(QRect(area.left(), area.top(), area.width(), headHeight), Qt::AlignRight | Qt::AlignVCenter,
                         when);
        const double scale = std::min(static_cast<double>(area.width()) / size.width(),
                                      static_cast<double>(area.height() - headHeight) / size.height());
        painter.translate(area.left() + (area.width() - size.width() * scale) / 2, area.top() + headHeight);
        painter.scale(scale, scale);
        renderShown(painter);
        return painter.end();
    }
    // Twice the screen's pixels, sharp enough to print.
    QImage image(size * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        renderShown(painter);
    }
    return image.save(path, "PNG");
}

void CStatisticsView::exportShown() {
    if (!hasCharts_) return;
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested =
        QDir(dir.isEmpty() ? QDir::homePath() : dir)
            .filePath(QStringLiteral("销售统计图表-%1.png")
                          .arg(QDateTime::fromSecsSinceEpoch(now()).toString(QStringLiteral("yyyyMMdd"))));
    QString path = chooseFile_ ? chooseFile_(shell().window(), suggested) : QString();
    if (path.isEmpty()) {
        shell().showStatus(QStringLiteral("放弃该次图表\"导出\"操作"));
        return;
    }
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) &&
        !path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    if (exportCharts(path))
        shell().showStatus(QStringLiteral("成功导出销售数据统计图表到\"%1\"").arg(QDir::toNativeSeparators(path)));
    else
        shell().reportFailure(QStringLiteral("未知异常导致图表\"导出\"失败，放弃该次\"导出\"操作"));
}

std::vector<const StatChartView*> CStatisticsView::shownCharts() const {
    std::vector<const StatChartView*> shown;
    if (page_ == 0) {
        for (int p = 1; p <= 4; ++p)
            shown.push_back(charts_[static_cast<size_t>(chartOfPage(p))]);
    } else {
        shown.push_back(charts_[static_cast<size_t>(chartOfPage(page_))]);
    }
    return shown;
}

void CStatisticsView::exportFigures() {
    if (!hasCharts_) return;
    std::vector<FigureTable> tables;
    for (const StatChartView* view : shownCharts())
        tables.push_back(figureTable(view->look()));
    const QString day = QDateTime::fromSecsSinceEpoch(now()).toString(QStringLiteral("yyyyMMdd"));
    const QString path = askExportPath(shell().window(), caption(cmd::ExportFigures),
                                       QStringLiteral("销售统计数据-%1.xlsx").arg(day));
    if (path.isEmpty()) {
        shell().showStatus(QStringLiteral("放弃该次数据\"导出\"操作"));
        return;
    }
    QString error;
    if (writeFigures(path, tables, &error)) {
        shell().showStatus(QStringLiteral("成功导出%1个图表的销售统计数据到\"%2\"")
                               .arg(tables.size())
                               .arg(QDir::toNativeSeparators(path)));
    } else {
        // The writer's reason (a folder that is gone, a full disk) helps the
        // user more than the pattern alone.
        const QString why = error.isEmpty() ? QString() : QStringLiteral("（%1）").arg(error);
        shell().reportFailure(QStringLiteral("未知异常导致销售统计数据\"导出\"失败%1，放弃该次\"导出\"操作").arg(why));
    }
}

} // namespace vorn::ui
