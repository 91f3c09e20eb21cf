// The result of the latest failed store call, for Core::last_error().
#pragma once

namespace vorn::detail {

// Keeps rc when it is a failure; success leaves the last failure as it was.
// Returns rc, so a call site can pass its result through.
int note_result(int rc);
// Forgets the last failure, after a write that committed.
void clear_last_error();

} // namespace vorn::detail
