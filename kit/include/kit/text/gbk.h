// The GBK text boundary: widgets hold QString, records and SQL hold GBK bytes.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vorn::ui {

// GBK bytes of the text. Returns false (and leaves out empty) when the text holds
// a character GBK cannot represent; such text is refused, never stored as '?'.
bool toGbk(const QString& text, std::string& out);
// GBK bytes, assuming the text was checked (or is the program's own text).
std::string gbk(const QString& text);
// Decodes GBK bytes from the store.
QString fromGbk(std::string_view bytes);
// Length in GBK bytes (a Chinese character counts two); -1 if not representable.
int gbkLength(const QString& text);

} // namespace vorn::ui
