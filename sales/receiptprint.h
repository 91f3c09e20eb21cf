// Printing a receipt: on the default printer without a dialog, or, where the
// machine has no printer, as a PDF in the folder "receipts" beside the store.
#pragma once

#include <QString>

#include "receiptdata.h"

namespace vorn::ui {

class Shell;

struct PrintOutcome {
    bool ok = false;
    QString pdfPath; // set when the receipt went to a PDF file instead of a printer
    QString error;   // why it failed, for the status bar
};

// Prints `data` and says in the status bar where it went (or why it failed).
// saleTime (seconds since 1970, local meaning) names the PDF file.
PrintOutcome printReceipt(Shell& shell, const ReceiptData& data, qint64 saleTime);

} // namespace vorn::ui
