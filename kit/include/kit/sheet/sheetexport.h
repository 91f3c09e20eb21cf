// One export of the rows a list shows to a spreadsheet file, the same steps
// for every kind of record: nothing to write, the file (askExportPath), the
// write (under the busy window when the list is long) and the one status
// sentence. A kind of record brings its words and its writer.
#pragma once

#include <QString>
#include <cstddef>
#include <functional>

namespace vorn::ui {

class Shell;

// Writes the rows to `path`, reporting 0 to 100 to `percent` (may be empty);
// false with `error` when the file could not be written whole (nothing is left
// behind then). May run on the busy window's worker: touches no widget.
using SheetExportWriter =
    std::function<bool(const QString& path, const std::function<void(int percent)>& percent, QString* error)>;

struct SheetExportJob {
    Shell& shell;
    QString title;  // the save dialog's ("导出商品"; trailing dots of a ribbon caption are dropped)
    QString noun;   // what the file name and the status sentences call the records ("商品")
    size_t count;   // rows the list shows
    SheetExportWriter write;
};

// Lists shorter than this are written before the busy window would even show.
constexpr size_t kExportUnderBusyWindow = 5000;

void runSheetExport(const SheetExportJob& job);

} // namespace vorn::ui
