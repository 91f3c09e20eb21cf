// The about page: a read-only text with a short description of the product,
// its version and the data folder.
#pragma once

#include "kit/page/page.h"

class QPlainTextEdit;

namespace vorn::ui {

class CAboutView : public CPage {
    Q_OBJECT
public:
    explicit CAboutView(Shell& shell, QWidget* parent = nullptr);

    QPlainTextEdit* textView() const { return text_; }
    // What the page shows: string 184, then the version and the data folder.
    static QString aboutText();

private:
    QPlainTextEdit* text_;
};

} // namespace vorn::ui
