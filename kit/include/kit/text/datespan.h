// A search's date span: whole days, local dates; both null = no span.
#pragma once

#include <QDate>

namespace vorn::ui {

struct DateSpan {
    QDate from;
    QDate to;
    bool isSet() const { return from.isValid() && to.isValid(); }
};

} // namespace vorn::ui
