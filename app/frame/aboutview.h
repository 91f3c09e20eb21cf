// The about page: a read-only text with a short description of the product.
#pragma once

#include "kit/page.h"

class QPlainTextEdit;

namespace vorn::ui {

class CAboutView : public CPage {
    Q_OBJECT
public:
    explicit CAboutView(Shell& shell, QWidget* parent = nullptr);

    QPlainTextEdit* textView() const { return text_; }

private:
    QPlainTextEdit* text_;
};

} // namespace vorn::ui
