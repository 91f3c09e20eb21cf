#include "kit/sheet/sheetwriter.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <xlsxwriter.h>

#include "kit/text/csv.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

namespace {

ExportPathPrompt gPrompt;
int gRowLimit = 0; // 0: the format's own limit

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Plain numbers as the shortest text that reads back to the same double. A
// whole number a count or points can be is written out in digits: "1e+08" for
// a member's 100,000,000 points would be no number to the import.
QString numberText(double v) {
    char buf[64];
    const bool whole = std::isfinite(v) && std::fabs(v) < 1e15 && v == std::trunc(v);
    const auto [end, ec] = whole ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed)
                                 : std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? QString::fromLatin1(buf, end - buf) : QString();
}

QString cellText(const SheetCell& c) {
    switch (c.kind) {
    case SheetCell::Kind::Money:
        return QString::fromStdString(vorn::format_money(c.number));
    case SheetCell::Kind::Number:
        return numberText(c.number);
    case SheetCell::Kind::Text:
    default:
        return c.text;
    }
}

// ---- CSV ----------------------------------------------------------------------------

// QSaveFile writes beside the target and renames over it only when everything
// went out, so a failed or abandoned export leaves the old file (or none) behind.
class CsvWriter final : public SheetWriter {
public:
    explicit CsvWriter(const QString& path) : file_(path) {
        // Never fall back to writing the target in place: that is what would leave
        // half a file behind.
        file_.setDirectWriteFallback(false);
    }

    bool open(QString* error) {
        if (!file_.open(QIODevice::WriteOnly)) {
            if (error)
                *error = QStringLiteral("无法创建文件\"%1\"：%2")
                             .arg(shown(file_.fileName()), file_.errorString());
            return false;
        }
        buffer_.reserve(kFlushAt + 4096);
        // The byte order mark tells Excel and WPS the text is UTF-8.
        buffer_.append("\xEF\xBB\xBF");
        return true;
    }

    // Text that a spreadsheet would run as a formula ("=HYPERLINK(...)" as a
    // goods name) goes out guarded; numbers and money stay numbers, a negative
    // price included. The import takes the guard off again.
    bool addRow(const std::vector<SheetCell>& cells) override {
        if (failed_ || finished_) return false;
        fields_.clear();
        for (const SheetCell& c : cells)
            fields_.append(c.kind == SheetCell::Kind::Text ? guardFormulaText(c.text) : cellText(c));
        return putLine(csvLine(fields_));
    }

    bool addHeading(const QStringList& names) override {
        if (failed_ || finished_) return false;
        fields_.clear();
        for (const QString& n : names)
            fields_.append(guardFormulaText(n));
        return putLine(csvLine(fields_));
    }

    bool startSheet(const QString& title) override {
        if (failed_ || finished_) return false;
        if (lines_ > 0 && !putLine(QString())) return false;
        return putLine(csvLine({guardFormulaText(title)}));
    }

    bool finish() override {
        if (finished_) return !failed_;
        finished_ = true;
        if (!failed_) flush();
        if (failed_) {
            file_.cancelWriting();
            file_.commit(); // only drops the temporary file now
            return false;
        }
        if (!file_.commit()) {
            error_ =
                QStringLiteral("无法写入文件\"%1\"：%2").arg(shown(file_.fileName()), file_.errorString());
            failed_ = true;
            return false;
        }
        return true;
    }

private:
    static constexpr qsizetype kFlushAt = 1 << 20;

    bool putLine(const QString& line) {
        buffer_.append(line.toUtf8());
        buffer_.append("\r\n", 2);
        ++lines_;
        if (buffer_.size() >= kFlushAt) flush();
        return !failed_;
    }

    void flush() {
        if (buffer_.isEmpty()) return;
        if (file_.write(buffer_) != buffer_.size()) {
            error_ =
                QStringLiteral("无法写入文件\"%1\"：%2").arg(shown(file_.fileName()), file_.errorString());
            failed_ = true;
        }
        buffer_.clear();
    }

    QSaveFile file_;
    QByteArray buffer_;
    QStringList fields_;
    qint64 lines_ = 0;
    bool failed_ = false;
    bool finished_ = false;
};

// ---- XLSX ---------------------------------------------------------------------------

// Columns are measured over the heading and this many rows of a worksheet; a
// million rows need not be looked at twice to find a width.
constexpr lxw_row_t kMeasuredRows = 1000;
constexpr int kMinWidth = 6;
constexpr int kMaxWidth = 60;
constexpr qsizetype kMaxCellChars = 32767;

// Width in Excel's character units: Chinese characters and full-width forms
// take two.
int displayWidth(const QString& s) {
    int w = 0;
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (c.isLowSurrogate()) continue;
        w += (u >= 0x2E80 || c.isHighSurrogate()) ? 2 : 1;
    }
    return w;
}

// What Excel accepts as a worksheet name: at most 31 characters, none of
// []:*?/\ and no apostrophe at either end.
QString worksheetName(const QString& wanted) {
    QString name;
    int count = 0;
    for (qsizetype i = 0; i < wanted.size() && count < LXW_SHEETNAME_MAX; ++i) {
        QChar c = wanted[i];
        if (QStringLiteral("[]:*?/\\").contains(c) || c.unicode() < 0x20) c = u'_';
        name += c;
        if (c.isHighSurrogate() && i + 1 < wanted.size()) name += wanted[++i];
        ++count;
    }
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
    return name.trimmed().isEmpty() ? QStringLiteral("Sheet") : name;
}

QString errorOf(lxw_error e) {
    return QString::fromUtf8(lxw_strerror(e));
}

class XlsxWriter final : public SheetWriter {
public:
    XlsxWriter(const QString& target, const QString& temp, const QString& firstName)
        : target_(target), temp_(temp), firstName_(firstName) {}

    ~XlsxWriter() override {
        if (wb_) lxw_workbook_free(wb_);
        if (!finished_ || failed_) QFile::remove(temp_);
    }

    bool open(QString* error) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        const QByteArray name = QFile::encodeName(temp_);
        wb_ = workbook_new_opt(name.constData(), &options);
        if (!wb_) {
            if (error) *error = QStringLiteral("无法创建文件\"%1\"").arg(shown(target_));
            return false;
        }
        bold_ = workbook_add_format(wb_);
        format_set_bold(bold_);
        title_ = workbook_add_format(wb_);
        format_set_bold(title_);
        format_set_font_size(title_, 12);
        money_ = workbook_add_format(wb_);
        format_set_num_format(money_, "0.0");
        return true;
    }

    bool addRow(const std::vector<SheetCell>& cells) override {
        if (!ready()) return false;
        if (cells.size() > LXW_COL_MAX) return fail(QStringLiteral("一行超过%1列").arg(LXW_COL_MAX));
        if (!roomForRow()) return false;
        const bool measure = row_ < kMeasuredRows;
        for (size_t i = 0; i < cells.size(); ++i) {
            const auto col = static_cast<lxw_col_t>(i);
            const SheetCell& c = cells[i];
            switch (c.kind) {
            case SheetCell::Kind::Text:
                if (!writeText(col, c.text, nullptr)) return false;
                if (measure) widen(col, displayWidth(c.text));
                break;
            case SheetCell::Kind::Money: {
                // The cell holds the amount as the program shows it (one decimal,
                // rounded its way), so sums taken in the spreadsheet add up what
                // the lists show. Money it cannot hold shows as 0.0.
                const std::string shown = vorn::format_money(c.number);
                if (!check(worksheet_write_number(ws_, row_, col, std::strtod(shown.c_str(), nullptr), money_)))
                    return false;
                if (measure) widen(col, static_cast<int>(shown.size()));
                break;
            }
            case SheetCell::Kind::Number:
                if (std::isfinite(c.number)) {
                    if (!check(worksheet_write_number(ws_, row_, col, c.number, nullptr))) return false;
                } else if (!writeText(col, numberText(c.number), nullptr)) {
                    return false;
                }
                if (measure) widen(col, static_cast<int>(numberText(c.number).size()));
                break;
            }
        }
        ++row_;
        return true;
    }

    bool addHeading(const QStringList& names) override {
        if (!ready()) return false;
        if (names.size() > LXW_COL_MAX) return fail(QStringLiteral("一行超过%1列").arg(LXW_COL_MAX));
        if (!roomForRow()) return false;
        heading_ = names;
        if (!writeHeading()) return false;
        // The rows below scroll under the heading.
        if (!frozen_) {
            worksheet_freeze_panes(ws_, row_, 0);
            frozen_ = true;
        }
        return true;
    }

    bool startSheet(const QString& title) override {
        if (failed_ || finished_) return false;
        if (!newSheet(title)) return false;
        if (!writeText(0, title, title_)) return false;
        ++row_;
        return true;
    }

    bool finish() override {
        if (finished_) return !failed_;
        finished_ = true;
        if (failed_) return false;
        if (!ws_ && !newSheet(firstName_)) return false; // a workbook needs one worksheet
        closeSheet();
        const lxw_error e = workbook_close(wb_);
        wb_ = nullptr; // freed by the close, whatever it answered
        if (e != LXW_NO_ERROR)
            return fail(QStringLiteral("无法写入文件\"%1\"：%2").arg(shown(target_), errorOf(e)));
        // The temporary file was made for the owner alone; the workbook gets the
        // rights of the file it replaces, or those of any new document.
        QFile::setPermissions(temp_, QFileInfo::exists(target_)
                                         ? QFile::permissions(target_)
                                         : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                               QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
        // The finished workbook takes the target's place in one step.
        if (std::rename(QFile::encodeName(temp_).constData(), QFile::encodeName(target_).constData()) != 0)
            return fail(QStringLiteral("无法写入文件\"%1\"").arg(shown(target_)));
        return true;
    }

private:
    bool ready() {
        if (failed_ || finished_) return false;
        return ws_ || newSheet(firstName_);
    }

    bool fail(const QString& why) {
        if (!failed_) error_ = why;
        failed_ = true;
        return false;
    }

    bool check(lxw_error e) {
        return e == LXW_NO_ERROR ||
               fail(QStringLiteral("无法写入文件\"%1\"：%2").arg(shown(target_), errorOf(e)));
    }

    bool writeText(lxw_col_t col, const QString& text, lxw_format* format) {
        // A cell holds at most 32767 characters; nothing of ours comes near.
        const QByteArray bytes = (text.size() > kMaxCellChars ? text.left(kMaxCellChars) : text).toUtf8();
        if (bytes.isEmpty()) return true;
        return check(worksheet_write_string(ws_, row_, col, bytes.constData(), format));
    }

    bool writeHeading() {
        for (qsizetype i = 0; i < heading_.size(); ++i) {
            const auto col = static_cast<lxw_col_t>(i);
            if (!writeText(col, heading_[i], bold_)) return false;
            // Bold is a little wider than the measure says.
            widen(col, displayWidth(heading_[i]) + 1);
        }
        ++row_;
        return true;
    }

    // The row limit reached: the table goes on in a further worksheet that
    // repeats the heading.
    bool roomForRow() {
        const lxw_row_t limit = gRowLimit > 0 ? static_cast<lxw_row_t>(gRowLimit) : LXW_ROW_MAX;
        if (row_ < limit) return true;
        const QStringList heading = heading_;
        if (!newSheet(QStringLiteral("%1(%2)").arg(base_).arg(++part_), false)) return false;
        if (!heading.isEmpty()) {
            heading_ = heading;
            if (!writeHeading()) return false;
            worksheet_freeze_panes(ws_, row_, 0);
            frozen_ = true;
        }
        return true;
    }

    bool newSheet(const QString& wanted, bool newTable = true) {
        closeSheet();
        if (newTable) {
            base_ = worksheetName(wanted);
            part_ = 1;
        }
        QString name = worksheetName(wanted);
        for (int n = 2; names_.contains(name.toLower()); ++n) {
            const QString suffix = QStringLiteral("(%1)").arg(n);
            name = worksheetName(wanted).left(LXW_SHEETNAME_MAX - suffix.size()) + suffix;
        }
        names_.insert(name.toLower());
        ws_ = workbook_add_worksheet(wb_, name.toUtf8().constData());
        if (!ws_) return fail(QStringLiteral("无法在文件\"%1\"中添加工作表\"%2\"").arg(shown(target_), name));
        row_ = 0;
        heading_.clear();
        widths_.clear();
        frozen_ = false;
        return true;
    }

    void widen(lxw_col_t col, int width) {
        if (widths_.size() <= col) widths_.resize(col + 1, 0);
        widths_[col] = std::max(widths_[col], width);
    }

    // Column widths go in when the worksheet is done: the writer may set them
    // after its rows.
    void closeSheet() {
        if (!ws_) return;
        for (size_t c = 0; c < widths_.size(); ++c) {
            if (widths_[c] == 0) continue;
            const int w = std::clamp(widths_[c] + 2, kMinWidth, kMaxWidth);
            const auto col = static_cast<lxw_col_t>(c);
            worksheet_set_column(ws_, col, col, w, nullptr);
        }
        widths_.clear();
        ws_ = nullptr;
    }

    QString target_;
    QString temp_;
    QString firstName_;
    QString base_;
    int part_ = 1;
    lxw_workbook* wb_ = nullptr;
    lxw_worksheet* ws_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* title_ = nullptr;
    lxw_format* money_ = nullptr;
    lxw_row_t row_ = 0;
    QStringList heading_;
    std::vector<int> widths_;
    QSet<QString> names_;
    bool frozen_ = false;
    bool failed_ = false;
    bool finished_ = false;
};

// The workbook is written to a temporary file beside the target, made here so
// that a folder that is not there or not writable is known at once.
QString makeTempBeside(const QString& path, QString* error) {
    const QFileInfo info(path);
    QTemporaryFile temp(info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(info.fileName())));
    temp.setAutoRemove(false);
    if (!temp.open()) {
        if (error) *error = QStringLiteral("无法创建文件\"%1\"：%2").arg(shown(path), temp.errorString());
        return QString();
    }
    return temp.fileName();
}

} // namespace

SheetFormat sheetFormatFor(const QString& path) {
    return path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) ? SheetFormat::Xlsx : SheetFormat::Csv;
}

std::unique_ptr<SheetWriter> openSheet(const QString& path, const QString& sheetName, QString* error) {
    if (sheetFormatFor(path) == SheetFormat::Csv) {
        auto w = std::make_unique<CsvWriter>(path);
        if (!w->open(error)) return nullptr;
        return w;
    }
    const QString temp = makeTempBeside(path, error);
    if (temp.isEmpty()) return nullptr;
    auto w = std::make_unique<XlsxWriter>(path, temp, sheetName);
    if (!w->open(error)) return nullptr;
    return w;
}

bool writeSheet(const QString& path, const QString& sheetName, const QStringList& heading, size_t count,
                const SheetRowSource& rowAt, const std::function<void(int)>& progress, QString* error) {
    QString why;
    std::unique_ptr<SheetWriter> w = openSheet(path, sheetName, &why);
    bool ok = w != nullptr;
    if (ok && !heading.isEmpty()) ok = w->addHeading(heading);
    std::vector<SheetCell> cells;
    int shownPercent = -1;
    for (size_t i = 0; ok && i < count; ++i) {
        cells.clear();
        rowAt(i, cells);
        ok = w->addRow(cells);
        // The last percent waits for the file to be complete.
        const int percent = static_cast<int>(static_cast<double>(i) * 99.0 / static_cast<double>(count));
        if (progress && percent != shownPercent) {
            shownPercent = percent;
            progress(percent);
        }
    }
    if (ok) ok = w->finish();
    if (!ok && w) why = w->error();
    if (ok && progress) progress(100);
    if (!ok && error) *error = why;
    return ok;
}

QString askExportPath(QWidget* parent, const QString& title, const QString& suggestedName) {
    if (gPrompt) return gPrompt(parent, title, suggestedName);
    const QString xlsxFilter = QStringLiteral("Excel 工作簿 (*.xlsx)");
    const QString csvFilter = QStringLiteral("CSV 文件 (*.csv)");
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    QFileDialog dlg(parent, title, QDir(folder).filePath(suggestedName),
                    xlsxFilter + QStringLiteral(";;") + csvFilter);
    dlg.setObjectName(QStringLiteral("exportPathDialog"));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, false);
    const bool csvFirst = suggestedName.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    dlg.selectNameFilter(csvFirst ? csvFilter : xlsxFilter);
    dlg.setDefaultSuffix(csvFirst ? QStringLiteral("csv") : QStringLiteral("xlsx"));
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg, csvFilter](const QString& filter) {
        dlg.setDefaultSuffix(filter == csvFilter ? QStringLiteral("csv") : QStringLiteral("xlsx"));
    });
    if (dlg.exec() != QDialog::Accepted) return QString();
    const QStringList files = dlg.selectedFiles();
    if (files.isEmpty()) return QString();
    QString path = files.first();
    if (QFileInfo(path).suffix().isEmpty())
        path += dlg.selectedNameFilter() == csvFilter ? QStringLiteral(".csv") : QStringLiteral(".xlsx");
    return path;
}

void setExportPathPrompt(ExportPathPrompt prompt) {
    gPrompt = std::move(prompt);
}

void setSheetRowLimitForTests(int rows) {
    gRowLimit = rows > 0 ? rows : 0;
}

} // namespace vorn::ui
