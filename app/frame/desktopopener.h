// Handing an address or a file to the desktop, and knowing whether it was taken.
// A desktop without a browser or help viewer still "starts" the opener, which
// then gives up ("no method available"): that is no success, and the caller
// then shows what it can in the program's own browser.
#pragma once

#include <QUrl>
#include <functional>

namespace vorn::ui {

// True only when a program of the desktop took the address.
using DesktopOpener = std::function<bool(const QUrl& url)>;
bool openOnDesktop(const QUrl& url);
// Tests put their own opener in; empty: the desktop's again.
void setDesktopOpener(DesktopOpener opener);

} // namespace vorn::ui
