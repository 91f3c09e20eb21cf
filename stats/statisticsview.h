// The page of the tab 销售统计 (sales statistics): four charts of sales and
// profit, by year or by a custom span of days and goods types, the commands
// that set their conditions, build them and page through them, and export of
// what is shown as a PNG picture or a PDF document.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "kit/dialog/dialogrunner.h"
#include "kit/page/page.h"

class QDialog;
class QToolButton;

namespace vorn::ui {

class StatChartView;

class CStatisticsView : public CPage {
    Q_OBJECT
public:
    explicit CStatisticsView(Shell& shell, QWidget* parent = nullptr);

    bool onCommand(int id) override;
    bool isCommandEnabled(int id) const override;
    bool isCommandChecked(int id) const override;

    // "生成图表": sums the periods of the current mode under the busy window,
    // then draws the four charts.
    void generate();

    // 0 the overview, 1 to 4 one chart over the whole page.
    int page() const { return page_; }
    bool hasCharts() const { return hasCharts_; }
    // Chart n, 1 to 4 (1 top left, 2 top right, 3 bottom right, 4 bottom left).
    StatChartView* chart(int n) const;
    QToolButton* exportButton() const { return exportButton_; }

    // Writes what the page shows: a PDF document when path ends in ".pdf", else
    // a PNG picture. False when the file could not be written.
    bool exportCharts(const QString& path);
    // Asks for a file name and exports there, with the status message.
    void exportShown();
    // The charts now shown in page order (chart 1, 2, 4, 3 in the overview).
    std::vector<const StatChartView*> shownCharts() const;
    // "导出数据": asks for a spreadsheet file and writes the figures behind the
    // charts now shown, with the status message.
    void exportFigures();

    // How a modal dialog of the page is run (tests answer it without a loop).
    void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
    // Asks where to export; an empty answer cancels.
    using FileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutCharts();
    void chooseYears();
    void chooseCustom();
    void showChartMenu(StatChartView* view, const QPoint& pos);
    void renderShown(QPainter& painter);

    std::array<StatChartView*, 4> charts_{};
    QToolButton* exportButton_ = nullptr;
    int page_ = 0;
    bool hasCharts_ = false;
    DialogRunner runDialog_;
    FileChooser chooseFile_;
};

} // namespace vorn::ui
