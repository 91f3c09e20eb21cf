// Input limits counted in GBK bytes, as the store's columns count them (a
// Chinese character takes two). Characters that GBK cannot hold are refused as
// they are typed or pasted.
#pragma once

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace vorn::ui {

void limitGbk(QLineEdit* edit, int maxBytes);
void limitGbk(QComboBox* editableCombo, int maxBytes);
// A multi-line edit has no validator: a change past the limit is undone.
void limitGbk(QPlainTextEdit* edit, int maxBytes);

} // namespace vorn::ui
