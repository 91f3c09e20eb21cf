// The house colours as the style sheet sets them, for the few things that paint
// themselves (footers, chart labels) and so are out of the sheet's reach.
#pragma once

#include <QColor>

namespace vorn::ui {

// The text colour of the sheet's `QWidget { color: ... }` rule; the palette's
// text colour if the sheet cannot be read.
QColor houseTextColour();

// The colour of the named property in the sheet's rule that starts with
// `selector` (as "QWidget {"); invalid when the rule or property is missing.
QColor styleSheetColour(const QString& sheet, const QString& selector, const QString& property);

} // namespace vorn::ui
