// Members in from a CSV file: choose, map the columns, check every line, enter.
#pragma once

namespace vorn::ui {

class CVIPView;

// The whole import, started from the page's command.
void importMembers(CVIPView& view);

} // namespace vorn::ui
