// The member page asks for its creation-time span with kit's prompt.
#pragma once

#include "kit/dialog/spanprompt.h"

namespace vorn::ui {

using MemberSpanAnswer = SpanAnswer;
using MemberSpanPrompt = SpanPrompt;

} // namespace vorn::ui
