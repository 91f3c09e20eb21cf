// Which chart the page shows where, and what its ribbon commands may do: the
// page number (0 the overview, 1 to 4 one chart over the whole page) and the
// commands' enabling and pressed states, kept apart from the widgets.
#pragma once

#include <QRect>
#include <array>

namespace vorn::ui {

// The chart (0 to 3 for charts 1 to 4) that page 1 to 4 shows. The pages go
// round the overview in reading order, so page 3 is chart 4 (bottom left) and
// page 4 is chart 3 (bottom right).
int chartOfPage(int page);

struct ChartPlace {
    QRect rect;
    bool visible = false;
};

// Where charts 1 to 4 go on a page of w by h: the overview in integer halves,
// or one chart over the whole page.
std::array<ChartPlace, 4> chartPlaces(int page, int w, int h);

// The page after a page command (123, 128, 167, 125); other ids keep it.
int pageAfter(int command, int page);

// Enabled and pressed states of the statistics commands, given the mode (0 by
// year, 1 custom), whether charts were generated and the page number.
bool statCommandEnabled(int command, int mode, bool hasCharts, int page);
bool statCommandChecked(int command, int mode, int page);

} // namespace vorn::ui
