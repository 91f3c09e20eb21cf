// The program's look: the Chinese font, the icons and the blue style sheet.
#pragma once

#include <QFont>
#include <QString>

class QApplication;

namespace vorn::ui {

// Makes the icons and the style sheet available (safe to call more than once).
void ensureResources();
// "宋体" when installed, else an installed font with simplified Chinese glyphs.
QString chineseFamily();
// The font of the about page, 18 pixels high, created once.
const QFont& aboutFont();
// The style sheet of the whole program; empty if the resources are missing.
QString styleSheet();
// Font and style sheet for the whole application.
void applyLook(QApplication& app);

} // namespace vorn::ui
