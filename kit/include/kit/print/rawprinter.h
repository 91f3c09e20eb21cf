// Sending bytes to a printer as they are: to a device file (a USB or parallel
// printer such as /dev/usb/lp0) or over TCP to a network printer's raw port
// (9100). Every wait is bounded, so a printer that is off, missing or refusing
// costs a few seconds at most, and the reason comes back in words the cashier
// understands.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QObject;

namespace vorn::ui {

inline constexpr quint16 kRawPrinterPort = 9100;

struct RawTarget {
    enum class Kind { Device, Network };
    Kind kind = Kind::Device;
    QString device;                 // Device: the path to write to
    QString host;                   // Network: a name or an address
    quint16 port = kRawPrinterPort; // Network

    static RawTarget deviceAt(const QString& path);
    static RawTarget network(const QString& host, quint16 port = kRawPrinterPort);
    // The printer as the messages name it: the path, or host:port.
    QString describe() const;
};

// Reads "host", "host:port", "[IPv6]:port" or a bare IPv6 address (port 9100
// where none is given). False, with the reason in why, for an empty host or a
// port that is not a number from 1 to 65535.
bool parsePrinterAddress(const QString& text, QString& host, quint16& port, QString* why = nullptr);

struct SendLimits {
    int connectMs = 3000; // name lookup and connection together
    int totalMs = 5000;   // the whole send, the connection included
};

struct SendResult {
    bool ok = false;
    qint64 written = 0; // bytes the printer (or the system on its way) took
    QString error;      // why it failed, empty on success
};

// Sends the bytes and returns once they are out, or the reason they are not.
// Blocks for at most limits.totalMs; safe on any thread. A device file is
// opened for appending and never created, so a wrong path is reported, not
// made into a file.
SendResult sendRaw(const RawTarget& target, const QByteArray& bytes, const SendLimits& limits = {});

// sendRaw on the printer thread, which runs one send after another in the
// order asked, so two receipts never interleave and the counter never waits.
// done runs on context's thread when the send has ended; not at all if context
// has gone by then.
void sendRawAsync(QObject* context, const RawTarget& target, const QByteArray& bytes,
                  std::function<void(const SendResult&)> done, const SendLimits& limits = {});

// Waits until the sends asked so far have ended (at most timeoutMs); true when
// none is left. For the program's end and for tests.
bool waitForRawSends(int timeoutMs);

} // namespace vorn::ui
