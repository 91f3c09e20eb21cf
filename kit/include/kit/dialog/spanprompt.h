// Asking the user for a span of whole days with the date span dialog, behind a
// replaceable function so a page can be driven without a modal loop.
#pragma once

#include <QDate>
#include <functional>

class QWidget;

namespace vorn::ui {

// The dialog's answer: 1 a span was chosen (from/to set), 0 no span, -1 cancelled.
struct SpanAnswer {
    int outcome = -1;
    QDate from;
    QDate to;
};

using SpanPrompt = std::function<SpanAnswer(const QDate& from, const QDate& to, QWidget* parent)>;

// Opens the date span dialog on the given span (null dates: none set).
SpanAnswer askDateSpan(const QDate& from, const QDate& to, QWidget* parent);

} // namespace vorn::ui
