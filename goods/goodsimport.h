// Goods in from a CSV file: the fields the column mapping offers and the
// command that runs the import (kit/sheet/csvimport.h) with the goods checker.
#pragma once

#include <vector>

#include "kit/sheet/csvimport.h"

namespace vorn::ui {

// The whole import, started from the page's command. Every dialog runs through
// the host's dialog runner; cancelling any of them writes nothing.
void importGoods(const ImportHost& host);

// The fields the column mapping offers, in the order of GoodsImportField
// (goodsimportcheck.h), each with the headings that map to it by themselves:
// those the goods export writes and the usual ones of other programs' sheets.
std::vector<ImportField> goodsImportFields();

} // namespace vorn::ui
