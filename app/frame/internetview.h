// The page of the five web tabs: the maker's web pages in an embedded browser.
// All five tabs share one view; changing between them only navigates it.
#pragma once

#include "kit/page/page.h"

class QLabel;
class QStackedLayout;

namespace vorn::ui {

class CInternetView : public CPage {
    Q_OBJECT
public:
    explicit CInternetView(Shell& shell, QWidget* parent = nullptr);

    // Shows the address; an empty address leaves the page blank.
    void navigate(const QString& address);
    QString address() const { return address_; }
    // True when pages are shown in an embedded browser (else as their address).
    static bool hasBrowser();
    // Tests turn the browser off so that no browser process starts; the page then
    // shows the address as without a browser.
    static void useBrowser(bool on);

private:
    QString address_;
    QStackedLayout* stack_ = nullptr;
    QLabel* label_ = nullptr;
    QWidget* browser_ = nullptr; // created on the first real address
};

} // namespace vorn::ui
