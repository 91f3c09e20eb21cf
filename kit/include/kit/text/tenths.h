// Money in whole tenths of a yuan, as the journal and the reports keep it,
// written the one way the program shows it: "12.5", "-0.3", "0.0".
#pragma once

#include <QString>
#include <cstdint>

namespace vorn::ui {

QString tenthsText(int64_t tenths);

} // namespace vorn::ui
