// Asking the user for the creation-time span with the date span dialog, behind
// a replaceable function so the page can be driven without a modal loop.
#pragma once

#include <QDate>
#include <functional>

class QWidget;

namespace vorn::ui {

// The dialog's answer: 1 a span was chosen (from/to set), 0 no span, -1 cancelled.
struct MemberSpanAnswer {
    int outcome = -1;
    QDate from;
    QDate to;
};

using MemberSpanPrompt = std::function<MemberSpanAnswer(const QDate& from, const QDate& to, QWidget* parent)>;

// Opens the date span dialog on the given span (null dates: none set).
MemberSpanAnswer askMemberSpan(const QDate& from, const QDate& to, QWidget* parent);

} // namespace vorn::ui
