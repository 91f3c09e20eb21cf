// Goods in from a CSV file: choose, map the columns, check every line, enter.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "kit/importdlg.h"

class QWidget;

namespace vorn::ui {

struct AppState;
class CStoreView;

// The whole import, started from the page's command. Every dialog runs through
// the page's dialog runner; cancelling any of them writes nothing.
void importGoods(CStoreView& view);

// The fields the column mapping offers, in the order of GoodsImportField
// (goodsimportcheck.h), each with the headings that map to it by themselves:
// those the goods export writes and the usual ones of other programs' sheets.
std::vector<ImportField> goodsImportFields();

// Files bigger than this are refused before they are read: a catalogue of a
// hundred thousand lines is a few megabytes.
constexpr qint64 kMaxImportFileBytes = 50LL * 1024 * 1024;

// How the file is chosen: given the dialog's parent and the folder to start in,
// the path, or empty when the user cancelled. The open-file dialog unless a test
// puts its own answer in place (per main window; empty restores the dialog).
using ImportFileChooser = std::function<QString(QWidget* parent, const QString& folder)>;
void setImportFileChooser(AppState& state, ImportFileChooser chooser);

} // namespace vorn::ui
