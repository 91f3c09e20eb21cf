#include "frame/internetview.h"

#include <QLabel>
#include <QStackedLayout>
#include <QUrl>

#include "kit/page/shell.h"

#ifdef VORN_HAVE_WEBENGINE
#include <QWebEnginePage>
#include <QWebEngineView>
#endif

namespace vorn::ui {

#ifdef VORN_HAVE_WEBENGINE
namespace {
// Pages with script errors must not bother the cashier: their messages are dropped.
class SilentPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
};
} // namespace
#endif

namespace {
bool browserWanted = true;
}

bool CInternetView::hasBrowser() {
#ifdef VORN_HAVE_WEBENGINE
    return browserWanted;
#else
    (void)browserWanted;
    return false;
#endif
}

void CInternetView::useBrowser(bool on) {
    browserWanted = on;
}

CInternetView::CInternetView(Shell& shell, QWidget* parent) : CPage(shell, parent) {
    setObjectName(QStringLiteral("internetView"));
    setAttribute(Qt::WA_StyledBackground);
    stack_ = new QStackedLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("internetAddress"));
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignCenter);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    stack_->addWidget(label_);
}

void CInternetView::navigate(const QString& address) {
    address_ = address;
    label_->setText(address);
#ifdef VORN_HAVE_WEBENGINE
    // The browser starts only for a real address: an empty one shows a blank page.
    if (!browser_ && !address.isEmpty() && hasBrowser()) {
        auto* view = new QWebEngineView(this);
        view->setPage(new SilentPage(view));
        connect(view->page(), &QWebEnginePage::linkHovered, this,
                [this](const QString& url) { shell().showStatus(url); });
        browser_ = view;
        stack_->addWidget(view);
    }
    if (auto* view = static_cast<QWebEngineView*>(browser_)) {
        view->setUrl(address.isEmpty() ? QUrl(QStringLiteral("about:blank")) : QUrl::fromUserInput(address));
        stack_->setCurrentWidget(view);
    }
#endif
}

} // namespace vorn::ui
