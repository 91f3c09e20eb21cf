// One import from a CSV file, the same steps for every kind of record: the
// file (chosen where the last one of its kind was), the size limit and the
// bounded read, the encoding and column mapping dialog, the check of every
// line (under the busy window when the file is long), the report, the one
// all-or-nothing write under the busy window, and the one status sentence.
// A kind of record brings only its fields and its checker.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "kit/text/csv.h"
#include "kit/sheet/importdlg.h"
#include "kit/sheet/importreport.h"

class QDialog;
class QWidget;

namespace vorn {
class Core;
}

namespace vorn::ui {

struct AppState;
class Shell;

// What an import needs of the page that starts it, and no more.
struct ImportHost {
    Shell& shell;
    // Runs a modal dialog of the import (tests answer it without a loop).
    std::function<int(QDialog&)> runDialog;
    // Called after records went in: the page shows them if its list shows a
    // search (a page never searched stays empty, as it starts).
    std::function<void()> reload;
};

// Files bigger than this are refused before they are read: a catalogue of a
// hundred thousand goods or a shop's member list is a few megabytes, and a
// bigger file is a wrong choice or belongs split.
constexpr qint64 kMaxImportFileBytes = 50LL * 1024 * 1024;

// Checking the records of one kind and writing what passed. check() and
// write() may run on the busy window's worker: they touch no widget.
class ImportChecker {
public:
    virtual ~ImportChecker() = default;

    // Checks every record. `mapping` holds the record column of each field in
    // field order (-1, or past a record's end: the field is empty).
    virtual void check(const std::vector<CsvRecord>& records, const std::vector<int>& mapping) = 0;
    // What the check found, by line.
    virtual const std::vector<ImportProblem>& problems() const = 0;
    // Records left out.
    virtual int skipped() const = 0;
    // What will be entered, as the report says it ("将导入 3 行，共 14 件商品；跳过 1 行").
    virtual QString summary() const = 0;
    // Whether what passed can be entered at all.
    virtual bool allowed() const = 0;
    // Why what passed cannot be entered (too many for one batch), told as a
    // failure; empty when nothing passed.
    virtual QString refusal() const = 0;
    // The check could not ask the store what it needed: nothing can be entered.
    virtual bool storeFailed() const { return false; }
    // Enters what passed, all stamped `moment`, in one transaction: all or none.
    // `percent` (may be empty) hears the progress. The number entered, 0 for
    // none (the store untouched), -1 when the store failed and nothing went in.
    virtual int write(vorn::Core& core, int64_t moment, const std::function<void(int percent)>& percent) = 0;
    // The success sentence for `written` records ("成功\"导入\"14件商品（3行）");
    // the import adds the skipped lines.
    virtual QString success(int written) const = 0;
};

// A checker whose check fills one result with `problems` and `skipped`, as
// both kinds of record write theirs.
template <class Result> class ImportCheckerOf : public ImportChecker {
public:
    const std::vector<ImportProblem>& problems() const override { return result_.problems; }
    int skipped() const override { return result_.skipped; }
    const Result& result() const { return result_; }

protected:
    Result result_;
};

struct ImportJob {
    ImportHost host;
    QString title; // the file dialog's, the mapping's and the report's ("导入商品")
    QString noun;  // what the status sentences call the records ("商品")
    std::vector<ImportField> fields;
    ImportChecker& checker;
};

// The whole import. Cancelling any step writes nothing; every way out ends in
// one status sentence (failures in the error box too).
void runCsvImport(const ImportJob& job);

// Reads the file whole, but never more than limit + 1 bytes, so a file too big
// (or a device that never ends) is refused without being read through. Empty
// when all is well, else the sentence for the user; `noun` words it.
QString readImportFile(const QString& path, const QString& noun, QByteArray& bytes,
                       qint64 limit = kMaxImportFileBytes);

// How the file is chosen: given the dialog's parent and the folder to start in
// (the folder of the last file of the same import, else the current one), the
// path, or empty when the user cancelled. The open-file dialog unless a test
// puts its own answer in place (per main window; empty restores the dialog).
using ImportFileChooser = std::function<QString(QWidget* parent, const QString& folder)>;
void setImportFileChooser(AppState& state, ImportFileChooser chooser);

} // namespace vorn::ui
