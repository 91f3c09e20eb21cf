// How many records one operation on a list may work on at once.
#pragma once

namespace vorn::ui {

// Most records one addition, edit, deletion or import of a list may work on:
// the store writes each batch in one transaction.
constexpr int kMaxBatchRecords = 100000;

} // namespace vorn::ui
