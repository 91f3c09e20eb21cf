// The sales counter page (销售前台). While it exists the main window watches for
// a change of date (timer 3), and opening or closing it reruns the stock alarm and
// birthday checks, whose buttons blink only while this page is the active view.
#pragma once

#include "kit/page.h"

namespace vorn::ui {

class CSaleView : public CPage {
    Q_OBJECT
public:
    explicit CSaleView(Shell& shell, QWidget* parent = nullptr);
    ~CSaleView() override;

    void initialUpdate() override;
};

} // namespace vorn::ui
