// A page that lists the records a search found (goods, members, ...): the
// search under the busy window, a header click that reloads through the store's
// ORDER BY, footers that follow every reload, the batch-limited selection, the
// confirmed delete, the editing panel and the enable rules of the commands
// around them. A page built on it gives its columns, its condition and its own
// commands; see RecordListPage<Rec> below.
#pragma once

#include <QPointer>
#include <algorithm>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "kit/dialog/dialogrunner.h"
#include "kit/dialog/spanprompt.h"
#include "kit/page/editpanel.h"
#include "kit/page/listloader.h"
#include "kit/page/liststate.h"
#include "kit/page/listwords.h"
#include "kit/page/page.h"
#include "kit/page/recordmodel.h"
#include "kit/page/recordrows.h"
#include "kit/text/conditions.h"

class QDate;
class QTableView;

namespace vorn::ui {

struct ImportHost;


// The ribbon commands the list page serves itself (0: the page has none).
struct ListCommands {
    int search = 0, clear = 0, add = 0, edit = 0, remove = 0, importer = 0, exporter = 0;
    std::vector<int> texts;  // edits emptied by a clear
    std::vector<int> combos; // combo boxes set to no choice by a clear
    std::vector<int> spans;  // date span buttons: a prompt; emptied by a clear
    std::vector<int> inputs; // further inputs, read at the next search (the pop-up is the frame's)
};

class CRecordListPage : public CPage {
    Q_OBJECT
public:
    using DialogRunner = vorn::ui::DialogRunner;

    CRecordListPage(Shell& shell, ListCommands commands, ListWords words, int batchLimit, QWidget* parent);
    ~CRecordListPage() override;

    bool onCommand(int id) override;
    bool isCommandEnabled(int id) const override;

    // Rebuilds the list and its footers from the stored search condition and
    // sort clause; returns how many records it lists now (0 also when the store
    // failed).
    int reload();
    // As a click on a header section: a column that cannot be sorted does nothing.
    void sortBy(int column, bool ascending);
    // Opens the editing panel for these loaded rows (the selection's order).
    void openEditor(const std::vector<int>& rows);
    // Recomputes the footers from the loaded rows (a page without footers has none).
    virtual void updateFooters() {}

    // Whether the list holds a result (editing and deleting need one).
    bool hasRecord() const { return hasRecord_; }
    const std::string& searchCondition() const { return condition_; }
    const std::string& sortClause() const { return sortClause_; }
    QTableView* table() const { return table_; }
    bool panelVisible() const;

    void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
    // Commands carried out outside the page class (import, export) run their
    // dialogs through the page.
    const DialogRunner& dialogRunner() const { return runDialog_; }
    int runDialog(QDialog& dialog) const { return runDialog_(dialog); }
    void setSpanPrompt(SpanPrompt prompt) { askSpan_ = std::move(prompt); }

protected:
    // Puts the list (named `name`) on the page; `stretch` is the column that takes
    // the width left over, -1 for none.
    void buildList(RecordModelBase* model, const QString& name, int stretch);
    // The editing panel: a window of its own beside the main window, living as long
    // as the page, hidden until an edit opens it. Its showing and hiding update
    // the commands, its end of an edit is reported (finishEdit); the page tells
    // it goes away.
    void attachPanel(EditPanel* panel);
    EditPanel* panelWidget() const { return panel_.data(); }
    void releasePanel();
    // The panel's report of a finished edit.
    void finishEdit(int result, bool footersChanged);
    // Runs a dialog and words its end; true when it changed something.
    bool runAndReport(QDialog& dialog, const std::function<int()>& result, const DialogWords& words);

    // ---- What the page gives ----
    // The condition of the search inputs; false when one cannot be stored text.
    virtual bool buildCondition(std::string& out) = 0;
    // " ORDER BY ..." for a header section, empty for one that cannot be sorted;
    // by default the sort key of the list's column (RecordColumn::sortKey).
    virtual std::string orderFor(int section, bool ascending) const;
    // A header click reloaded the list (some pages say so).
    virtual void sorted(int section, bool ascending, int listed) {
        (void)section, (void)ascending, (void)listed;
    }
    // The dates of a span button.
    struct SpanDates {
        QDate& from;
        QDate& to;
    };
    virtual SpanDates spanDates(int id) = 0;
    virtual void addRecords() {}
    virtual void importRecords() {}
    virtual void exportRecords() {}
    // Opens the attached editing panel for these rows; a page may do otherwise.
    virtual void openPanel(const std::vector<int>& rows);
    // Runs the page's import with its host (kit/page/pagehost.h).
    void importThrough(const std::function<void(const ImportHost&)>& import);

    // ---- The rows (RecordListPage<Rec>) ----
    virtual size_t loadedCount() const = 0;
    virtual void dropRows() = 0;
    // Runs on the busy window's worker: loads into a staging list; -1 on failure.
    virtual int fetchRows(vorn::Core& core, const std::string& condition, const std::string& order) = 0;
    virtual void takeFetched() = 0;
    // Runs on the busy window's worker: deletes the stored records of these rows.
    virtual int deleteStored(vorn::Core& core, const std::vector<int>& rows) = 0;
    virtual void removeLoaded(const std::vector<int>& rows) = 0;
    // The store the page lists from: the main window's, unless a page says otherwise.
    virtual vorn::Core& store();

private:
    void search();
    void chooseSpan(int id);
    void clearSearch();
    void editSelected();
    void deleteSelected();
    void onSortIndicator(int section, Qt::SortOrder order);
    // The selected loaded rows in selection order; false (after telling the user)
    // when there are more than one batch may hold. `tooMany` words the refusal.
    bool collectSelection(std::vector<int>& rows, const QString& tooMany) const;
    static bool among(const std::vector<int>& ids, int id);

    ListCommands commands_;
    ListWords words_;
    int batchLimit_;
    std::string condition_;
    std::string sortClause_;
    bool hasRecord_ = false;
    int sortSection_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;

    QTableView* table_ = nullptr;
    RecordModelBase* model_ = nullptr;
    QPointer<EditPanel> panel_;
    DialogRunner runDialog_;
    SpanPrompt askSpan_;
};

// How many rows the page's list shows now (kit/page/pagehost.h).
size_t shownCount(const CRecordListPage& page);

// The page over a list of Rec held where its subsystem keeps it, loaded by
// `Loader` (condition, order, out; the number or -1) and deleted through
// RecordCalls<Rec>::remove. The usual page keeps its rows and date spans in the
// main window's ListState<Rec> and loads through the store's count and select;
// it gives its columns and cells (buildList), its condition, its commands and
// words, and what its import and export run (setSheets).
template <class Rec> class RecordListPage : public CRecordListPage {
public:
    using Loader = std::function<int(vorn::Core&, const std::string&, const std::string&, std::vector<Rec>&)>;
    using Importer = std::function<void(const ImportHost&)>;
    using Exporter = std::function<void(Shell&, std::span<const Rec>)>;

    RecordListPage(Shell& shell, std::vector<Rec>& rows, Loader loader, ListCommands commands, ListWords words,
                   int batchLimit, QWidget* parent)
        : CRecordListPage(shell, std::move(commands), std::move(words), batchLimit, parent), rows_(rows),
          load_(std::move(loader)) {}
    RecordListPage(Shell& shell, ListState<Rec>& state, ListCommands commands, ListWords words, QWidget* parent)
        : RecordListPage(shell, state.rows, loadQueried<Rec>, std::move(commands), std::move(words), kMaxBatchRecords,
                         parent) {
        spans_ = &state.spans;
    }
    ~RecordListPage() override {
        releasePanel();
        // The loaded rows belong to this page's life; nothing points into them now.
        std::vector<Rec>().swap(rows_);
    }

    // The list's model (null before buildList).
    RecordModel<Rec>* model() const { return model_; }

protected:
    std::vector<Rec>& rows() const { return rows_; }

    // Puts the list of these columns on the page, its cells worded by `cell`.
    void buildList(std::span<const RecordColumn> columns, typename RecordModel<Rec>::Cell cell, const QString& name,
                   int stretch) {
        model_ = new RecordModel<Rec>(rows_, columns, std::move(cell), this);
        CRecordListPage::buildList(model_, name, stretch);
    }
    using CRecordListPage::buildList;
    // What the import and export commands run (none when empty); the export
    // gets the rows the list shows, in its order.
    void setSheets(Importer import, Exporter exporter) {
        import_ = std::move(import);
        export_ = std::move(exporter);
    }

    SpanDates spanDates(int id) override {
        DateSpan& span = spans_ ? (*spans_)[id] : ownSpans_[id];
        return {span.from, span.to};
    }
    void importRecords() override {
        if (import_) importThrough(import_);
    }
    void exportRecords() override {
        if (export_) export_(shell(), std::span<const Rec>(rows_.data(), std::min(rows_.size(), shownCount(*this))));
    }

    size_t loadedCount() const override { return rows_.size(); }
    void dropRows() override {
        // Let go of the old rows before the new ones arrive: two full lists of a
        // big shop would not fit side by side.
        std::vector<Rec>().swap(rows_);
    }
    int fetchRows(vorn::Core& core, const std::string& condition, const std::string& order) override {
        return load_(core, condition, order, staged_);
    }
    void takeFetched() override { rows_ = std::move(staged_); }
    int deleteStored(vorn::Core& core, const std::vector<int>& rows) override {
        std::vector<Rec*> recs;
        recs.reserve(rows.size());
        for (int r : rows)
            recs.push_back(&rows_[static_cast<size_t>(r)]);
        return RecordCalls<Rec>::remove(core, recs.data(), static_cast<int>(recs.size()));
    }
    void removeLoaded(const std::vector<int>& rows) override { removeRows(rows_, rows); }

private:
    std::vector<Rec>& rows_;
    std::vector<Rec> staged_;
    Loader load_;
    RecordModel<Rec>* model_ = nullptr;
    std::map<int, DateSpan>* spans_ = nullptr;
    std::map<int, DateSpan> ownSpans_; // a page whose spans live nowhere else
    Importer import_;
    Exporter export_;
};

} // namespace vorn::ui
