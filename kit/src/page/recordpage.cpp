#include "kit/page/recordpage.h"

#include <QDate>
#include <QDialog>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "kit/page/appstate.h"
#include "kit/page/busy.h"
#include "kit/page/pagehost.h"
#include "kit/text/gbklimit.h"
#include "kit/dialog/msgbox.h"
#include "kit/page/recordlist.h"
#include "kit/page/recordmodel.h"
#include "kit/page/shell.h"
#include "kit/dialog/storefailure.h"
#include "res/strings.h"

namespace vorn::ui {

CRecordListPage::CRecordListPage(Shell& shell, ListCommands commands, ListWords words, int batchLimit,
                                 QWidget* parent)
    : CPage(shell, parent), commands_(std::move(commands)), words_(std::move(words)), batchLimit_(batchLimit),
      runDialog_(execDialogRunner()), askSpan_(askDateSpan) {}

CRecordListPage::~CRecordListPage() {
    releasePanel();
}

void CRecordListPage::releasePanel() {
    // The panel must not report its hiding to a page that is going away.
    if (panel_) panel_->disconnect(this);
    delete panel_.data();
}

void CRecordListPage::buildList(RecordModelBase* model, const QString& name, int stretch) {
    model_ = model;
    table_ = new QTableView(this);
    table_->setObjectName(name);
    table_->setModel(model_);
    table_->setItemDelegate(new ColumnLineDelegate(table_));
    setUpRecordList(table_);
    QHeaderView* header = table_->horizontalHeader();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(24);
    const auto columns = model_->columns();
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        header->setSectionResizeMode(c, c == stretch ? QHeaderView::Stretch : QHeaderView::Interactive);
        if (c != stretch) header->resizeSection(c, columns[static_cast<size_t>(c)].width);
    }
    connect(header, &QHeaderView::sortIndicatorChanged, this, &CRecordListPage::onSortIndicator);

    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const int row = index.row();
        if (!index.isValid() || row < 0 || static_cast<size_t>(row) >= loadedCount()) return;
        table_->selectionModel()->select(model_->index(row, 0),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        openEditor({row});
    });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { shell().updateCommands(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(table_);
}

void CRecordListPage::attachPanel(EditPanel* panel) {
    panel_ = panel;
    connect(panel, &EditPanel::editFinished, this, &CRecordListPage::finishEdit);
    connect(panel, &EditPanel::visibilityChanged, this, [this] { shell().updateCommands(); });
}

vorn::Core& CRecordListPage::store() {
    return shell().state().core;
}

std::string CRecordListPage::orderFor(int section, bool ascending) const {
    return sortClauseOf(model_->columns(), section, ascending);
}

void CRecordListPage::importThrough(const std::function<void(const ImportHost&)>& import) {
    import(importHostOf(*this));
}

bool CRecordListPage::panelVisible() const {
    return panel_ && panel_->isVisible();
}

bool CRecordListPage::among(const std::vector<int>& ids, int id) {
    return id != 0 && std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool CRecordListPage::isCommandEnabled(int id) const {
    const ListCommands& c = commands_;
    if (id == 0) return false;
    // An import reloads the list the panel works on, and so does a search.
    if (id == c.search || id == c.importer) return !panelVisible();
    if (id == c.exporter || id == c.edit) return hasRecord_;
    if (id == c.remove) return hasRecord_ && !panelVisible();
    return id == c.add || id == c.clear || among(c.texts, id) || among(c.combos, id) || among(c.spans, id) ||
           among(c.inputs, id);
}

bool CRecordListPage::onCommand(int id) {
    const ListCommands& c = commands_;
    if (id == 0) return false;
    if (id == c.search) {
        // The panel works on loaded rows; a new search would pull them away.
        if (!panelVisible()) search();
    } else if (among(c.spans, id)) {
        chooseSpan(id);
    } else if (id == c.clear) {
        clearSearch();
    } else if (id == c.add) {
        addRecords();
    } else if (id == c.edit) {
        editSelected();
    } else if (id == c.remove) {
        if (hasRecord_ && !panelVisible()) deleteSelected();
    } else if (id == c.importer) {
        if (!panelVisible()) importRecords();
    } else if (id == c.exporter) {
        if (hasRecord_) exportRecords();
    } else if (!among(c.texts, id) && !among(c.combos, id) && !among(c.inputs, id)) {
        return false;
    }
    return true;
}

// ---- Search and list --------------------------------------------------------

void CRecordListPage::search() {
    std::string condition;
    if (!buildCondition(condition)) {
        shell().reportFailure(unrepresentableTextMessage());
        return;
    }
    condition_ = std::move(condition);
    shell().showStatus(words_.searched.arg(reload()));
}

int CRecordListPage::reload() {
    table_->clearSelection();
    dropRows();
    hasRecord_ = false;
    model_->resetRows();

    int n = -1;
    vorn::Core& core = store();
    const std::string condition = condition_;
    const std::string order = sortClause_;
    runBusy(shell().window(), [&] { n = fetchRows(core, condition, order); });
    takeFetched();
    hasRecord_ = n >= 1;
    model_->resetRows();
    // The footers always describe the rows just listed, whoever asked for them.
    updateFooters();
    shell().updateCommands();
    return hasRecord_ ? static_cast<int>(loadedCount()) : 0;
}

void CRecordListPage::sortBy(int column, bool ascending) {
    table_->horizontalHeader()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CRecordListPage::onSortIndicator(int section, Qt::SortOrder order) {
    std::string clause = orderFor(section, order == Qt::AscendingOrder);
    if (clause.empty()) {
        // This column cannot be sorted: put the arrow back where the list is sorted.
        QSignalBlocker block(table_->horizontalHeader());
        table_->horizontalHeader()->setSortIndicator(sortSection_, sortOrder_);
        return;
    }
    sortSection_ = section;
    sortOrder_ = order;
    sortClause_ = std::move(clause);
    const int n = reload();
    sorted(section, order == Qt::AscendingOrder, n);
}

// ---- Search inputs on the ribbon ----------------------------------------------

void CRecordListPage::chooseSpan(int id) {
    SpanDates span = spanDates(id);
    const SpanAnswer a = askSpan_(span.from, span.to, shell().window());
    if (a.outcome == 1) {
        span.from = a.from;
        span.to = a.to;
        shell().setRibbonCaption(id, QStringLiteral("%1: %2 到 %3")
                                         .arg(caption(id), a.from.toString(QStringLiteral("yyyy-MM-dd")),
                                              a.to.toString(QStringLiteral("yyyy-MM-dd"))));
    } else if (a.outcome == 0) {
        span.from = QDate();
        span.to = QDate();
        shell().setRibbonCaption(id, caption(id));
    }
}

void CRecordListPage::clearSearch() {
    for (int id : commands_.texts)
        shell().setRibbonText(id, QString());
    for (int id : commands_.combos)
        shell().setRibbonIndex(id, -1);
    for (int id : commands_.spans) {
        SpanDates span = spanDates(id);
        span.from = QDate();
        span.to = QDate();
        shell().setRibbonCaption(id, caption(id));
    }
}

// ---- Editing, deleting ----------------------------------------------------------

bool CRecordListPage::collectSelection(std::vector<int>& rows, const QString& tooMany) const {
    rows.clear();
    const size_t loaded = loadedCount();
    const QModelIndexList picked = table_->selectionModel()->selectedRows();
    for (const QModelIndex& i : picked)
        if (i.row() >= 0 && static_cast<size_t>(i.row()) < loaded) rows.push_back(i.row());
    if (rows.size() > static_cast<size_t>(batchLimit_)) {
        shell().reportFailure(tooMany.arg(batchLimit_));
        rows.clear();
        return false;
    }
    return true;
}

void CRecordListPage::editSelected() {
    std::vector<int> rows;
    if (!collectSelection(rows, words_.tooManyEdit)) return;
    if (!rows.empty()) openEditor(rows);
}

void CRecordListPage::openEditor(const std::vector<int>& rows) {
    if (panel_) openPanel(rows);
}

void CRecordListPage::openPanel(const std::vector<int>& rows) {
    panel_->openFor(rows);
}

void CRecordListPage::finishEdit(int result, bool footersChanged) {
    if (result > 0) {
        shell().showStatus(words_.edited.arg(result));
        model_->refreshRows();
        if (footersChanged) updateFooters();
    } else if (result == 0) {
        shell().showStatus(words_.editedNone);
    } else {
        shell().reportFailure(withStoreCause(words_.editFailed));
        // Show what the store holds, whatever the panel or the store left behind.
        reload();
    }
}

void CRecordListPage::deleteSelected() {
    std::vector<int> rows;
    if (!collectSelection(rows, words_.tooManyDelete)) return;
    if (rows.empty()) return;
    if (!askYesNo(shell().window(), words_.confirmDelete)) return;

    vorn::Core& core = store();
    int result = -1;
    runBusy(shell().window(), [&] { result = deleteStored(core, rows); });
    if (result <= 0) {
        shell().reportFailure(withStoreCause(words_.deleteFailed));
        return;
    }
    table_->clearSelection();
    removeLoaded(rows);
    if (loadedCount() == 0) hasRecord_ = false;
    model_->resetRows();
    shell().showStatus(words_.deleted.arg(rows.size()));
    updateFooters();
    shell().updateCommands();
}

bool CRecordListPage::runAndReport(QDialog& dialog, const std::function<int()>& result,
                                   const DialogWords& words) {
    const int closed = runDialog_(dialog);
    const int n = result();
    if (closed != QDialog::Accepted)
        shell().showStatus(words.cancelled);
    else if (n > 0)
        shell().showStatus(words.done.arg(n));
    else if (n == 0)
        shell().showStatus(words.none);
    else if (!words.failed.isEmpty())
        shell().reportFailure(withStoreCause(words.failed));
    return closed == QDialog::Accepted && n > 0;
}

} // namespace vorn::ui
