// One statistics chart on the page: draws a ChartLook with Qt Charts. Lines
// carry their values as labels of one decimal; bars stand on a day axis whose
// labels are turned upright and thinned to what the width holds; pie slices
// flagged special are pulled out.
#pragma once

#include <QChartView>
#include <vector>

#include "statseries.h"

class QGraphicsSimpleTextItem;
class QCategoryAxis;

namespace vorn::ui {

class StatChartView : public QChartView {
    Q_OBJECT
public:
    explicit StatChartView(QWidget* parent = nullptr);

    // Replaces whatever the chart showed (series, axes, title) by look.
    void showLook(const ChartLook& look);
    const ChartLook& look() const { return look_; }
    // Brings the chart's layout and our labels up to its present size now
    // rather than at the next event, so a picture taken at once is complete.
    void settle();

    // The value labels currently drawn (those that would overlap another are left out).
    int shownValueLabels() const;
    // The texts of the day axis labels now shown.
    QStringList dayAxisLabels() const;
    // The axis of the daily bars; null for other charts.
    QCategoryAxis* dayAxis() const { return dayAxis_; }

private:
    // A fresh chart for every drawing: a chart's removed axes and series leave
    // their drawings behind until the event loop deletes them.
    void newChart();
    void drawLines();
    void drawBars();
    void drawPie();
    // Work that depends on the plot area's size: value label places, day labels.
    void relayoutLabels();
    void placeValueLabels();
    void placePieLabels();
    void labelDays();
    // Qt Charts cut a label that overruns the room it reckons for it: when it
    // did, the next labelling takes fewer or shorter labels.
    void dayLabelsCut();

    ChartLook look_;
    std::vector<QGraphicsSimpleTextItem*> valueLabels_;
    QCategoryAxis* dayAxis_ = nullptr;
    int dayLabelStep_ = 0;
    bool dayLabelsLong_ = false;
    // How many times the labels were cut at the chart's present size, and that size.
    int dayLabelRetreat_ = 0;
    QSizeF dayLabelChartSize_;
    bool relabelling_ = false;
};

} // namespace vorn::ui
