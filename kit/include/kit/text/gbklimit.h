// Input limits counted in GBK bytes, as the store's columns count them (a
// Chinese character takes two). Whatever is typed or pasted, a limited field
// keeps what it can: characters GBK cannot hold are dropped (only they), the
// rest is trimmed to the limit, and the user is told why characters went
// missing with unrepresentableTextMessage() in the status bar.
#pragma once

#include <QString>
#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace vorn::ui {

class Shell;

// "输入的文字中含有无法保存的字符，请修改后重试": said whenever text GBK cannot
// hold is refused, by a field or by a command that meets such text.
QString unrepresentableTextMessage();

// How a field tells the user that it dropped characters. Empty: the Shell whose
// window holds the field (found up its parents when it happens) shows the
// message in the status bar; with no Shell above the field nobody is told.
using GbkNotice = std::function<void()>;
// Shows the message in this shell's status bar (for fields of a window the
// shell's main window does not own, and for tests).
GbkNotice statusNotice(Shell& shell);

// The rule itself, without a widget. `cursor` is where an insertion ended.
struct GbkFit {
    QString text;
    int cursor = 0;
    bool dropped = false; // characters GBK cannot hold were taken out
};
// Drops every character GBK cannot hold (a surrogate pair is one character),
// then removes characters before the cursor until the text fits maxBytes: of
// an insertion that runs past the limit, its beginning is kept.
GbkFit fitGbk(const QString& text, int cursor, int maxBytes);

void limitGbk(QLineEdit* edit, int maxBytes, GbkNotice notice = {});
void limitGbk(QComboBox* editableCombo, int maxBytes, GbkNotice notice = {});
// A multi-line edit has no validator: a change is mended right after it happened.
void limitGbk(QPlainTextEdit* edit, int maxBytes, GbkNotice notice = {});

// New edits of a dialog's fields, by object name, already limited.
QLineEdit* limitedLineEdit(const char* objectName, int maxBytes, GbkNotice notice = {});
// A note field (address, remark): a few lines high, Tab moves on.
QPlainTextEdit* limitedNoteEdit(const char* objectName, int maxBytes, GbkNotice notice = {});

} // namespace vorn::ui
