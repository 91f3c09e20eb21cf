// The small pieces the shop's settings dialogs (小票打印机, 店铺密钥, 收银设置,
// the user dialog, the shop page) are built from, so they look alike.
#pragma once

#include <QString>
#include <initializer_list>

class QHBoxLayout;
class QLabel;
class QPushButton;

namespace vorn::ui {

// A button that leaves Enter to the dialog (its keyPressEvent or its default
// action runs whichever button has the focus).
QPushButton* makeButton(const QString& text, const char* objectName);
// A grey explanatory line, wrapped.
QLabel* hint(const QString& text, const char* objectName);
// A field's caption, right-aligned against its field.
QLabel* fieldLabel(const QString& text);
// The dialog's closing buttons at the right end of a row, in this order.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);

} // namespace vorn::ui
