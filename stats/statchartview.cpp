#include "statchartview.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QTextDocument>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "kit/dialog/housecolours.h"

namespace vorn::ui {

namespace {

// The amount axis: zero always in sight (profit may go below it), a little room
// above the highest value for its label, round numbers at the ticks.
QValueAxis* amountAxis(const ChartLook& look, bool minorGrid) {
    double lo = 0, hi = 0;
    for (const ChartSeries& s : look.series)
        for (const ChartPoint& p : s.points) {
            lo = std::min(lo, p.value);
            hi = std::max(hi, p.value);
        }
    // A span without sales still gets whole numbers at distinct ticks, and
    // labels wide enough that the axis keeps room for its title.
    if (hi - lo < 10.0) hi = lo + 10.0;
    const double room = (hi - lo) * 0.08;
    if (hi > 0) hi += room;
    if (lo < 0) lo -= room;
    auto* axis = new QValueAxis;
    axis->setRange(lo, hi);
    axis->applyNiceNumbers();
    axis->setLabelFormat(QStringLiteral("%.0f"));
    axis->setTitleText(look.yTitle);
    axis->setTitleVisible(true);
    if (minorGrid) {
        axis->setMinorTickCount(1);
        axis->setMinorGridLineVisible(true);
    }
    return axis;
}

// The office chart colours, distinct side by side; the light theme's shades of
// one blue cannot tell ten goods types apart.
const QColor kPalette[10] = {QColor(0x4f, 0x81, 0xbd), QColor(0xc0, 0x50, 0x4d), QColor(0x9b, 0xbb, 0x59),
                             QColor(0x80, 0x64, 0xa2), QColor(0x4b, 0xac, 0xc6), QColor(0xf7, 0x96, 0x46),
                             QColor(0x2c, 0x4d, 0x75), QColor(0x77, 0x2c, 0x2a), QColor(0x5f, 0x75, 0x30),
                             QColor(0x4d, 0x3b, 0x62)};

QColor paletteColour(size_t i) {
    return kPalette[i % std::size(kPalette)];
}

QFont titleFont(const QFont& base) {
    QFont f = base;
    f.setPointSizeF(11);
    f.setBold(true);
    return f;
}

} // namespace

StatChartView::StatChartView(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::NoFrame);
    // The strip around each chart card: the window's pale blue.
    setBackgroundBrush(QColor(0xdb, 0xe6, 0xf4));
    newChart();
}

void StatChartView::newChart() {
    auto* c = new QChart;
    c->setTheme(QChart::ChartThemeLight);
    c->setAnimationOptions(QChart::NoAnimation);
    c->setBackgroundRoundness(0);
    c->setTitleFont(titleFont(font()));
    c->legend()->setVisible(true);
    c->legend()->setAlignment(Qt::AlignBottom);
    connect(c, &QChart::plotAreaChanged, this, [this] { relayoutLabels(); });
    QChart* old = chart();
    setChart(c);
    // The old chart takes its series, axes and our labels with it, at once.
    valueLabels_.clear();
    dayAxis_ = nullptr;
    dayLabelStep_ = 0;
    dayLabelRetreat_ = 0;
    dayLabelChartSize_ = QSizeF();
    delete old;
}

void StatChartView::showLook(const ChartLook& look) {
    newChart();
    look_ = look;
    chart()->setTitle(look_.title);
    bool any = false;
    for (const ChartSeries& s : look_.series)
        any = any || !s.points.empty();
    if (any) {
        switch (look_.kind) {
        case ChartKind::Lines:
            drawLines();
            break;
        case ChartKind::Bars:
            drawBars();
            break;
        case ChartKind::Pie:
            drawPie();
            break;
        }
    }
    settle();
}

void StatChartView::settle() {
    // New day labels change the axis, which asks for one more layout pass; a
    // label the axis cut asks for fewer or shorter ones and another pass.
    for (int i = 0; i < 8; ++i) {
        QCoreApplication::sendPostedEvents(chart(), QEvent::LayoutRequest);
        if (chart()->layout()) chart()->layout()->activate();
        relayoutLabels();
        if (!dayAxis_ || !dayAxis_->labelsTruncated()) break;
        dayLabelsCut();
    }
}

void StatChartView::drawLines() {
    QChart* c = chart();
    c->legend()->setAlignment(Qt::AlignBottom);
    auto* months = new QValueAxis;
    // Half a month of air on either side keeps the first and last labels inside.
    months->setRange(0.5, 12.5);
    months->setTickType(QValueAxis::TicksDynamic);
    months->setTickAnchor(1);
    months->setTickInterval(1);
    months->setLabelFormat(QStringLiteral("%d"));
    months->setTitleText(look_.xTitle);
    months->setTitleVisible(true);
    QValueAxis* amounts = amountAxis(look_, false);
    c->addAxis(months, Qt::AlignBottom);
    c->addAxis(amounts, Qt::AlignLeft);
    for (size_t i = 0; i < look_.series.size(); ++i) {
        const ChartSeries& s = look_.series[i];
        auto* line = new QLineSeries;
        line->setName(s.name);
        line->setPointsVisible(true);
        for (const ChartPoint& p : s.points)
            line->append(p.x, p.value);
        c->addSeries(line);
        // After joining the chart, whose theme would set its own pen.
        QPen pen(paletteColour(i), 2);
        line->setPen(pen);
        line->setBrush(paletteColour(i));
        line->attachAxis(months);
        line->attachAxis(amounts);
    }
}

void StatChartView::drawBars() {
    QChart* c = chart();
    const ChartSeries& s = look_.series.front();
    auto* set = new QBarSet(QString());
    for (const ChartPoint& p : s.points)
        set->append(p.value);
    set->setColor(paletteColour(0));
    set->setBorderColor(paletteColour(0).darker(115));
    auto* bars = new QBarSeries;
    bars->append(set);
    bars->setLabelsVisible(false);
    bars->setBarWidth(0.75);
    c->addSeries(bars);

    dayAxis_ = new QCategoryAxis;
    dayAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    dayAxis_->setLabelsAngle(270);
    dayAxis_->setShadesVisible(false);
    dayAxis_->setGridLineVisible(false);
    dayAxis_->setTitleText(look_.xTitle);
    dayAxis_->setTitleVisible(true);
    QValueAxis* amounts = amountAxis(look_, true);
    c->addAxis(dayAxis_, Qt::AlignBottom);
    c->addAxis(amounts, Qt::AlignLeft);
    // Only after the chart's layout pass is it known whether a label was cut;
    // the labels are redone once that pass is over.
    connect(dayAxis_, &QAbstractAxis::labelsTruncatedChanged, this, [this](bool cut) {
        if (cut)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (dayAxis_ && dayAxis_->labelsTruncated()) dayLabelsCut();
                },
                Qt::QueuedConnection);
    });
    bars->attachAxis(dayAxis_);
    bars->attachAxis(amounts);
    labelDays();
    // One unnamed series leaves the legend nothing to tell apart; an empty
    // legend would only keep a strip of the chart's height for itself.
    c->legend()->setVisible(false);
}

void StatChartView::drawPie() {
    QChart* c = chart();
    c->legend()->setAlignment(Qt::AlignRight);
    auto* pie = new QPieSeries;
    pie->setPieSize(0.62);
    const ChartSeries& s = look_.series.front();
    for (const ChartPoint& p : s.points) {
        // A slice cannot be smaller than nothing: a loss keeps its legend entry
        // and its place in the order but draws no wedge and no label.
        auto* slice = pie->append(p.label, std::max(0.0, p.value));
        slice->setLabelVisible(p.value > 0 && !p.label.isEmpty());
        slice->setLabelArmLengthFactor(0.12);
        slice->setExploded(p.special);
        slice->setExplodeDistanceFactor(0.1);
    }
    c->addSeries(pie);
    // After joining the chart, whose theme would colour the slices its own way.
    const QList<QPieSlice*> slices = pie->slices();
    for (qsizetype i = 0; i < slices.size(); ++i) {
        slices[i]->setBrush(paletteColour(static_cast<size_t>(i)));
        slices[i]->setBorderColor(Qt::white);
        slices[i]->setBorderWidth(1);
        slices[i]->setLabelColor(houseTextColour());
    }
    // The slices carry the values; the legend names what they stand for.
    const QList<QLegendMarker*> markers = c->legend()->markers(pie);
    for (qsizetype i = 0; i < markers.size() && static_cast<size_t>(i) < s.points.size(); ++i) {
        const QString& legend = s.points[static_cast<size_t>(i)].legend;
        // An empty text would give the marker back the slice's own label.
        markers[i]->setLabel(legend.isEmpty() ? QStringLiteral(" ") : legend);
    }
}

void StatChartView::relayoutLabels() {
    if (relabelling_) return;
    relabelling_ = true;
    labelDays();
    placeValueLabels();
    placePieLabels();
    relabelling_ = false;
}

namespace {

// The box Qt Charts reckons for a label (its text item with the charts' text
// margin), upright: as wide as the text is high, and as high as it is wide.
QSizeF uprightLabelBox(const QFont& font, const QString& text) {
    QGraphicsTextItem probe;
    probe.document()->setDocumentMargin(0.5);
    probe.setFont(font);
    probe.setHtml(text);
    const QRectF box = probe.boundingRect();
    return QSizeF(box.height(), box.width());
}

// Qt Charts' spacing around an axis label, and the share of a chart's height
// its bottom axis may take at most.
constexpr double kLabelPadding = 4;
constexpr double kTitlePadding = 2;
constexpr double kAxisShare = 0.4;
constexpr int kMostRetreats = 6;

} // namespace

void StatChartView::labelDays() {
    if (!dayAxis_ || look_.series.empty()) return;
    const int days = static_cast<int>(look_.series.front().points.size());
    if (days <= 0) return;
    // Cut labels taught us something about this size only.
    if (chart()->size() != dayLabelChartSize_) {
        dayLabelChartSize_ = chart()->size();
        dayLabelRetreat_ = 0;
    }
    const QFont font = dayAxis_->labelsFont();
    const QString longFormat = QStringLiteral("yyyy-MM-dd");
    const QString shortFormat = QStringLiteral("MM-dd");
    // The year as well where the axis may grow tall enough for it: Qt Charts
    // gives a bottom axis at most 40% of the chart's layout height.
    const QSizeF longBox = uprightLabelBox(font, look_.firstDay.toString(longFormat));
    const QSizeF shortBox = uprightLabelBox(font, look_.firstDay.toString(shortFormat));
    const QMarginsF margins = chart()->margins();
    const double titleHeight =
        chart()->title().isEmpty() ? 0 : QFontMetricsF(chart()->titleFont()).height() + 8;
    const double layoutHeight = chart()->size().height() - margins.top() - margins.bottom() - titleHeight;
    const double axisTitle = QFontMetricsF(dayAxis_->titleFont()).height() + 2 * kTitlePadding + 1;
    int retreat = dayLabelRetreat_;
    // (With some room to spare: at the border the two charts of a page,
    // a few pixels apart in height, would differ.)
    bool longLabels = kLabelPadding + longBox.height() + axisTitle + 12 <= kAxisShare * layoutHeight;
    if (longLabels && retreat > 0) {
        longLabels = false;
        --retreat;
    }
    const QSizeF box = longLabels ? longBox : shortBox;
    // Qt Charts gives each label the axis width shared among all of them and
    // the start, less its padding on both sides, and cuts what is wider. The
    // plot's width stands for the axis's, which is a little wider.
    const double slot = box.width() + 2 * kLabelPadding + 2;
    const int fit = std::max(1, static_cast<int>(chart()->plotArea().width() / slot) - 1);
    int step = (days + fit - 1) / fit;
    // Whole weeks once a week's labels no longer fit, so the labels fall on one weekday.
    if (step > 1 && step < 7 && days > 7 * fit / 2) step = 7;
    step = std::max(step, 1) << std::min(retreat, 10);
    if (step == dayLabelStep_ && longLabels == dayLabelsLong_) return;
    dayLabelStep_ = step;
    dayLabelsLong_ = longLabels;
    for (const QString& label : dayAxis_->categoriesLabels())
        dayAxis_->remove(label);
    dayAxis_->setStartValue(-0.5);
    const QString& format = longLabels ? longFormat : shortFormat;
    for (int i = 0; i < days; i += step)
        dayAxis_->append(look_.firstDay.addDays(i).toString(format), i);
    dayAxis_->setRange(-0.5, days - 0.5);
}

void StatChartView::dayLabelsCut() {
    if (!dayAxis_ || dayLabelRetreat_ >= kMostRetreats) return;
    ++dayLabelRetreat_;
    labelDays();
}

void StatChartView::placeValueLabels() {
    for (QGraphicsSimpleTextItem* item : valueLabels_)
        delete item;
    valueLabels_.clear();
    if (look_.kind != ChartKind::Lines) return;
    QChart* c = chart();
    const QRectF plot = c->plotArea();
    if (plot.width() < 10 || plot.height() < 10) return;
    QFont f = font();
    f.setPointSizeF(8);
    const QFontMetricsF fm(f);
    const QList<QAbstractSeries*> series = c->series();
    // Lines that come close would pile their numbers on each other: the first
    // label to claim a place keeps it, later ones that would cover it are left out.
    std::vector<QRectF> taken;
    for (qsizetype si = 0; si < series.size() && static_cast<size_t>(si) < look_.series.size(); ++si) {
        auto* line = qobject_cast<QLineSeries*>(series[si]);
        if (!line) continue;
        for (const ChartPoint& p : look_.series[static_cast<size_t>(si)].points) {
            if (p.label.isEmpty()) continue;
            const QPointF at = c->mapToPosition(QPointF(p.x, p.value), line);
            const QSizeF size(fm.horizontalAdvance(p.label), fm.height());
            // Above the point, or below it when that place is taken or out of the plot.
            const QRectF above(at.x() - size.width() / 2, at.y() - size.height() - 3, size.width(),
                               size.height());
            const QRectF below = above.translated(0, size.height() + 7);
            bool placed = false;
            QRectF r;
            for (QRectF candidate : {above, below}) {
                if (candidate.left() < plot.left()) candidate.moveLeft(plot.left());
                if (candidate.right() > plot.right()) candidate.moveRight(plot.right());
                if (candidate.top() < plot.top() || candidate.bottom() > plot.bottom()) continue;
                const QRectF padded = candidate.adjusted(-2, -1, 2, 1);
                if (std::any_of(taken.begin(), taken.end(),
                                [&](const QRectF& t) { return t.intersects(padded); }))
                    continue;
                r = candidate;
                placed = true;
                break;
            }
            if (!placed) continue;
            taken.push_back(r);
            auto* item = new QGraphicsSimpleTextItem(p.label, c);
            item->setFont(f);
            item->setBrush(line->color().darker(140));
            item->setPos(r.topLeft());
            item->setZValue(20);
            valueLabels_.push_back(item);
        }
    }
}

void StatChartView::placePieLabels() {
    if (look_.kind != ChartKind::Pie || chart()->series().isEmpty()) return;
    auto* pie = qobject_cast<QPieSeries*>(chart()->series().first());
    if (!pie || pie->sum() <= 0) return;
    const QRectF plot = chart()->plotArea();
    const double radius = std::min(plot.width(), plot.height()) / 2 * pie->pieSize();
    const QPointF centre(plot.left() + plot.width() * pie->horizontalPosition(),
                         plot.top() + plot.height() * pie->verticalPosition());
    // Narrow neighbouring slices would stack their numbers: the larger slices
    // keep theirs, a smaller one whose label would cover a kept one shows none
    // (its legend entry stays).
    QList<QPieSlice*> order = pie->slices();
    std::stable_sort(order.begin(), order.end(),
                     [](const QPieSlice* a, const QPieSlice* b) { return a->value() > b->value(); });
    std::vector<QRectF> taken;
    for (QPieSlice* slice : order) {
        bool show = slice->value() > 0 && !slice->label().isEmpty();
        if (show) {
            // Where the slice's arm ends and its label sits, as the chart draws it.
            const double mid = (slice->startAngle() + slice->angleSpan() / 2) * std::numbers::pi / 180.0;
            const QPointF dir(std::sin(mid), -std::cos(mid));
            const QPointF c =
                slice->isExploded() ? centre + dir * radius * slice->explodeDistanceFactor() : centre;
            const QPointF end = c + dir * radius * (1 + slice->labelArmLengthFactor());
            const QFontMetricsF fm(slice->labelFont());
            const double w = fm.horizontalAdvance(slice->label()) + 4;
            const double h = fm.height();
            const QRectF r(dir.x() >= 0 ? end.x() : end.x() - w, end.y() - h, w, h);
            show = std::none_of(taken.begin(), taken.end(), [&](const QRectF& t) { return t.intersects(r); });
            if (show) taken.push_back(r);
        }
        if (slice->isLabelVisible() != show) slice->setLabelVisible(show);
    }
}

int StatChartView::shownValueLabels() const {
    return static_cast<int>(valueLabels_.size());
}

QStringList StatChartView::dayAxisLabels() const {
    return dayAxis_ ? dayAxis_->categoriesLabels() : QStringList();
}

} // namespace vorn::ui
