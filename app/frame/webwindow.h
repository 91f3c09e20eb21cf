// A window of the program's own with its embedded browser, for pages the
// desktop cannot open itself (no browser or help viewer installed): the
// user's guide, the maker's pages of the web buttons.
#pragma once

#include <QWidget>

namespace vorn::ui {

class CInternetView;
class Shell;

class CWebWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own (not a child inside `parent`), closed with it.
    CWebWindow(Shell& shell, QWidget* parent);

    // Shows the address with `title`; false where the program has no browser
    // of its own (the window then stays hidden).
    bool showPage(const QString& address, const QString& title);
    CInternetView* view() const { return view_; }

private:
    CInternetView* view_;
};

} // namespace vorn::ui
