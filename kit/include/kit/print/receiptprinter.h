// Where the counter's receipts go: the system's default printer (what a new
// shop gets), or a thermal ESC/POS printer at a device path or a network
// address, with its paper width and whether the cash drawer opens after each
// sale. The choice lives in "receiptprinter.ini" beside the store, not in the
// store's settings rows, so the store file stays as the data library defines it.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "kit/print/rawprinter.h"

namespace vorn::ui {

inline constexpr int kReceiptChars58mm = 32; // characters a line on 58 mm paper
inline constexpr int kReceiptChars80mm = 48; // and on 80 mm paper

struct ReceiptPrinterSettings {
    enum class Kind { System, Device, Network };
    Kind kind = Kind::System;
    QString devicePath;            // Kind::Device, such as /dev/usb/lp0
    QString address;               // Kind::Network, host or host:port
    int width = kReceiptChars58mm; // characters a line: 32 or 48
    bool openDrawer = false;       // a drawer pulse after each sale's receipt

    bool escPos() const { return kind != Kind::System; }
    bool operator==(const ReceiptPrinterSettings&) const = default;
};

// "receiptprinter.ini" in the current directory, where the store "__vorn__" is.
QString receiptPrinterIniPath();

// The settings in the file; the defaults where the file or a key is missing or
// holds something unknown (a width other than 48 reads as 32).
ReceiptPrinterSettings loadReceiptPrinter(const QString& iniPath = receiptPrinterIniPath());
// Writes the settings; false with the reason in why when the file cannot be
// written.
bool saveReceiptPrinter(const ReceiptPrinterSettings& settings,
                        const QString& iniPath = receiptPrinterIniPath(), QString* why = nullptr);

// Why the settings cannot be used to print (an empty path or address, a bad
// port, the store's own file as device); empty when they can. The system
// printer always can.
QString receiptPrinterProblem(const ReceiptPrinterSettings& settings);
// The ESC/POS printer of the settings; valid only when receiptPrinterProblem()
// is empty and escPos() holds.
RawTarget receiptPrinterTarget(const ReceiptPrinterSettings& settings);
// "58mm(32字)" or "80mm(48字)".
QString paperWidthName(int width);

// A short page that shows the printer takes GBK text at the chosen width: a
// ruler of exactly one line, the settings, the time (seconds since 1970, local
// time), then the cut and, when chosen, the drawer pulse.
QByteArray receiptTestPage(const ReceiptPrinterSettings& settings, int64_t printTime);

} // namespace vorn::ui
