// The record list page every list of the program is built on, driven through a
// small page of units whose columns, words and limit are its own, so that what
// the kit decides (enable rules, the batch limit, the confirmed delete, the
// sort that refuses a column) is seen apart from the goods and member pages.
#include <QDialog>
#include <QHeaderView>
#include <QTableView>
#include <QtTest>

#include "kit/page/recordmodel.h"
#include "kit/page/recordpage.h"
#include "kit/sheet/csvimport.h"
#include "storefixture.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

enum : int { Search = 9001, Clear, Add, Edit, Remove, Import, Export, Code, Kind, Span, Sheet, Foreign };

const RecordColumn kColumns[] = {
    {"编号", 80, Qt::AlignLeft | Qt::AlignVCenter, "FSs_Code"},
    {"价格", 60, Qt::AlignRight | Qt::AlignVCenter, "FSd_RetP"},
    {"备注", 90, Qt::AlignLeft | Qt::AlignVCenter, nullptr},
};

ListCommands commands() {
    ListCommands c;
    c.search = Search;
    c.clear = Clear;
    c.add = Add;
    c.edit = Edit;
    c.remove = Remove;
    c.importer = Import;
    c.exporter = Export;
    c.texts = {Code};
    c.combos = {Kind};
    c.spans = {Span};
    c.inputs = {Sheet};
    return c;
}

ListWords words() {
    ListWords w;
    w.searched = QStringLiteral("搜到%1");
    w.tooManyEdit = QStringLiteral("编辑太多%1");
    w.tooManyDelete = QStringLiteral("删除太多%1");
    w.confirmDelete = QStringLiteral("删吗");
    w.deleted = QStringLiteral("成功删了%1");
    w.deleteFailed = QStringLiteral("删失败");
    w.edited = QStringLiteral("成功编了%1");
    w.editedNone = QStringLiteral("未编任何");
    w.editFailed = QStringLiteral("编失败");
    return w;
}

// A panel that only notes the rows it was opened for.
class RecordingPanel : public EditPanel {
public:
    using EditPanel::EditPanel;
    void openFor(const std::vector<int>& rows) override { opened.push_back(rows); }
    void save() override {}
    std::vector<std::vector<int>> opened;
};

class UnitPage : public RecordListPage<vorn::SRec> {
public:
    UnitPage(Shell& shell, std::vector<vorn::SRec>& rows, int limit)
        : RecordListPage(shell, rows, load, commands(), words(), limit, nullptr) {
        model = new RecordModel<vorn::SRec>(
            rows, kColumns, [](const vorn::SRec& r, int c) { return QString::fromStdString(c == 0 ? r.FSs_Code : r.FSs_Name); },
            this);
        buildList(model, QStringLiteral("units"), 2);
        panelBox = new RecordingPanel(nullptr);
        attachPanel(panelBox);
    }

    void finish(int result, bool footers) { finishEdit(result, footers); }
    void updateFooters() override { ++footerUpdates; }

    RecordModel<vorn::SRec>* model = nullptr;
    RecordingPanel* panelBox = nullptr;
    std::string condition = "FSs_Code LIKE 'A%'";
    bool representable = true;
    QDate from, to;
    const std::vector<std::vector<int>>& opened() const { return panelBox->opened; }
    int footerUpdates = 0, adds = 0, imports = 0, exports = 0;

private:
    static int load(vorn::Core& core, const std::string& cond, const std::string& order,
                    std::vector<vorn::SRec>& out) {
        return loadRows(core, out, cond, order);
    }
    bool buildCondition(std::string& out) override {
        out = representable ? condition : std::string();
        return representable;
    }
    SpanDates spanDates(int) override { return {from, to}; }
    void addRecords() override { ++adds; }
    void importRecords() override { ++imports; }
    void exportRecords() override { ++exports; }
};

// A page of the usual kind: its rows and spans on the main window's ListState,
// loaded by the store's count and select, sorted by its columns' keys, its
// import and export handed over.
class StatePage : public RecordListPage<vorn::SRec> {
public:
    explicit StatePage(Shell& shell)
        : RecordListPage(shell, listState<vorn::SRec>(shell), commands(), words(), nullptr) {
        buildList(kColumns, [](const vorn::SRec& r, int) { return QString::fromStdString(r.FSs_Code); },
                  QStringLiteral("units"), 2);
        setSheets([this](const ImportHost& host) {
                      ++imports;
                      host.reload();
                  },
                  [this](Shell&, std::span<const vorn::SRec> shown) { exported.push_back(shown.size()); });
    }
    int imports = 0;
    std::vector<size_t> exported;

private:
    bool buildCondition(std::string& out) override {
        out = "FSs_Code LIKE 'A%'";
        return true;
    }
};

} // namespace

class TestRecordPage : public QObject {
    Q_OBJECT
    StoreFixture f;
    std::vector<vorn::SRec> rows;

    void addUnits(const std::vector<std::pair<const char*, double>>& units) {
        for (const auto& [code, price] : units) {
            vorn::SRec r;
            r.FSs_Code = code;
            r.FSs_Name = code;
            r.FSi_Type = 1;
            r.FSi_Supplier = 1;
            r.FSd_RetP = price;
            QCOMPARE(f.core().insert_srec(&r, 1), 1);
        }
    }
    void selectAll(UnitPage& page) { page.table()->selectAll(); }

private slots:
    void init() {
        f.setUp();
        rows.clear();
    }
    void cleanup() { f.tearDown(); }

    void enableRulesFollowTheResultAndThePanel() {
        UnitPage page(*f.shell, rows, 10);
        struct Case {
            int id;
            bool empty, listed, listedPanelOpen;
        };
        const Case cases[] = {
            {Search, true, true, false}, {Import, true, true, false}, {Export, false, true, true},
            {Edit, false, true, true},   {Remove, false, true, false}, {Add, true, true, true},
            {Clear, true, true, true},   {Code, true, true, true},    {Kind, true, true, true},
            {Span, true, true, true},    {Sheet, true, true, true},   {Foreign, false, false, false},
        };
        for (const Case& c : cases) QCOMPARE(page.isCommandEnabled(c.id), c.empty);
        addUnits({{"A1", 1.0}});
        f.shell->statuses.clear();
        QVERIFY(page.onCommand(Search));
        QCOMPARE(f.shell->statusText(), QStringLiteral("搜到1"));
        for (const Case& c : cases) QCOMPARE(page.isCommandEnabled(c.id), c.listed);
        page.panelBox->show();
        for (const Case& c : cases) QCOMPARE(page.isCommandEnabled(c.id), c.listedPanelOpen);
        // A search while the panel is open would pull its rows away: nothing happens.
        page.condition = "FSs_Code='none'";
        QVERIFY(page.onCommand(Search));
        QCOMPARE(page.searchCondition(), std::string("FSs_Code LIKE 'A%'"));
        QVERIFY(!page.onCommand(Foreign));
    }

    void searchListsTheConditionOrRefusesUnstorableText() {
        addUnits({{"A1", 1.0}, {"B1", 2.0}, {"A2", 3.0}});
        UnitPage page(*f.shell, rows, 10);
        QVERIFY(page.onCommand(Search));
        QCOMPARE(page.model->rowCount(), 2);
        QCOMPARE(f.shell->statusText(), QStringLiteral("搜到2"));
        page.representable = false;
        QVERIFY(page.onCommand(Search));
        QCOMPARE(f.shell->failures.size(), 1);
        QCOMPARE(page.model->rowCount(), 2); // the old result stays
        QCOMPARE(page.footerUpdates, 1);
    }

    void headerClickSortsThroughTheStoreOrPutsTheArrowBack() {
        addUnits({{"A1", 3.0}, {"A2", 1.0}, {"A3", 2.0}});
        UnitPage page(*f.shell, rows, 10);
        page.sortBy(1, false);
        QCOMPARE(page.sortClause(), std::string(" ORDER BY FSd_RetP DESC"));
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[0].FSs_Code, std::string("A1"));
        QCOMPARE(rows[2].FSs_Code, std::string("A2"));
        page.sortBy(2, true);
        QCOMPARE(page.sortClause(), std::string(" ORDER BY FSd_RetP DESC"));
        QCOMPARE(page.table()->horizontalHeader()->sortIndicatorSection(), 1);
        QCOMPARE(page.table()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    }

    void spanPromptAndClear() {
        UnitPage page(*f.shell, rows, 10);
        struct Case {
            int outcome;
            QDate from, to;
            QDate wantFrom;
            QString caption;
        };
        const QDate a(2020, 1, 1), b(2020, 2, 1);
        const QString spanCaption = QStringLiteral("%1: 2020-01-01 到 2020-02-01");
        const Case cases[] = {{1, a, b, a, spanCaption}, {-1, {}, {}, a, spanCaption}, {0, {}, {}, QDate(), {}}};
        for (const Case& c : cases) {
            page.setSpanPrompt([&](const QDate&, const QDate&, QWidget*) { return SpanAnswer{c.outcome, c.from, c.to}; });
            QVERIFY(page.onCommand(Span));
            QCOMPARE(page.from, c.wantFrom);
            if (!c.caption.isEmpty()) QVERIFY(f.shell->captions[Span].endsWith(QStringLiteral("2020-01-01 到 2020-02-01")));
        }
        page.from = a;
        page.to = b;
        f.shell->texts[Code] = QStringLiteral("x");
        f.shell->comboIndex[Kind] = 2;
        QVERIFY(page.onCommand(Clear));
        QVERIFY(!page.from.isValid() && !page.to.isValid());
        QCOMPARE(f.shell->texts[Code], QString());
        QCOMPARE(f.shell->comboIndex[Kind], -1);
    }

    void selectionBeyondTheBatchIsRefusedWithTheLimit() {
        addUnits({{"A1", 1.0}, {"A2", 1.0}, {"A3", 1.0}});
        UnitPage page(*f.shell, rows, 2);
        page.reload();
        selectAll(page);
        for (int id : {Edit, Remove}) {
            f.shell->failures.clear();
            QVERIFY(page.onCommand(id));
            QCOMPARE(f.shell->failures, QStringList{id == Edit ? QStringLiteral("编辑太多2") : QStringLiteral("删除太多2")});
        }
        QVERIFY(page.opened().empty());
        QVERIFY(f.boxes.shown.isEmpty()); // refused before the question
        page.table()->clearSelection();
        page.table()->selectRow(2);
        QVERIFY(page.onCommand(Edit));
        QCOMPARE(page.opened(), (std::vector<std::vector<int>>{{2}}));
    }

    void deleteAsksThenTakesTheRowsOut() {
        addUnits({{"A1", 1.0}, {"A2", 1.0}, {"A3", 1.0}});
        UnitPage page(*f.shell, rows, 10);
        page.reload();
        page.table()->selectRow(1);
        f.boxes.answers = {false};
        QVERIFY(page.onCommand(Remove));
        QCOMPARE(f.boxes.shown, QStringList{QStringLiteral("删吗")});
        QCOMPARE(f.core().get_srec_count(nullptr), 3);
        f.boxes.answers = {true};
        const int footersBefore = page.footerUpdates;
        QVERIFY(page.onCommand(Remove));
        QCOMPARE(f.core().get_srec_count(nullptr), 2);
        QCOMPARE(page.model->rowCount(), 2);
        QCOMPARE(rows[1].FSs_Code, std::string("A3"));
        QCOMPARE(f.shell->statusText(), QStringLiteral("成功删了1"));
        QCOMPARE(page.footerUpdates, footersBefore + 1);
        selectAll(page);
        f.boxes.answers = {true};
        QVERIFY(page.onCommand(Remove));
        QVERIFY(!page.hasRecord());
        QVERIFY(!page.isCommandEnabled(Edit));
    }

    void finishedEditIsWordedAndAFailureReloads() {
        addUnits({{"A1", 1.0}});
        UnitPage page(*f.shell, rows, 10);
        page.reload();
        rows[0].FSs_Code = "changed in memory";
        struct Case {
            int result;
            bool footers;
            QString status;
            int footerDelta;
        };
        const Case cases[] = {{2, true, QStringLiteral("成功编了2"), 1},
                              {2, false, QStringLiteral("成功编了2"), 0},
                              {0, true, QStringLiteral("未编任何"), 0}};
        for (const Case& c : cases) {
            const int before = page.footerUpdates;
            page.finish(c.result, c.footers);
            QCOMPARE(f.shell->statusText(), c.status);
            QCOMPARE(page.footerUpdates - before, c.footerDelta);
        }
        QCOMPARE(rows[0].FSs_Code, std::string("changed in memory"));
        page.finish(-1, false);
        QVERIFY(f.shell->failures.last().startsWith(QStringLiteral("编失败")));
        QCOMPARE(rows[0].FSs_Code, std::string("A1")); // what the store holds
    }

    void doubleClickOpensTheRowAndCommandsReachThePage() {
        addUnits({{"A1", 1.0}, {"A2", 1.0}});
        UnitPage page(*f.shell, rows, 10);
        page.reload();
        emit page.table()->doubleClicked(page.model->index(1, 0));
        emit page.table()->doubleClicked(QModelIndex());
        QCOMPARE(page.opened(), (std::vector<std::vector<int>>{{1}}));
        QCOMPARE(page.table()->selectionModel()->selectedRows().size(), 1);
        QVERIFY(page.onCommand(Add) && page.onCommand(Import) && page.onCommand(Export) && page.onCommand(Sheet));
        QCOMPARE(page.adds + page.imports + page.exports, 3);
    }

    void usualPageKeepsItsStateAndRunsItsSheets() {
        addUnits({{"A1", 3.0}, {"A2", 1.0}, {"B1", 2.0}});
        auto& state = listState<vorn::SRec>(*f.shell);
        const QDate a(2021, 3, 1), b(2021, 3, 9);
        {
            StatePage page(*f.shell);
            // Exporting is refused before a search; importing reloads only a searched list.
            QVERIFY(page.onCommand(Export) && page.onCommand(Import));
            QVERIFY(page.exported.empty());
            QCOMPARE(page.imports, 1);
            QCOMPARE(page.model()->rowCount(), 0);
            page.setSpanPrompt([&](const QDate&, const QDate&, QWidget*) { return SpanAnswer{1, a, b}; });
            QVERIFY(page.onCommand(Span));
            QCOMPARE(state.spans[Span].from, a);
            QVERIFY(page.onCommand(Search));
            QCOMPARE(state.rows.size(), size_t(2));
            QCOMPARE(page.model()->rowCount(), 2);
            page.sortBy(1, true);
            QCOMPARE(page.sortClause(), std::string(" ORDER BY FSd_RetP ASC"));
            QCOMPARE(state.rows[0].FSs_Code, std::string("A2"));
            QVERIFY(page.onCommand(Export));
            QCOMPARE(page.exported, std::vector<size_t>{2});
            addUnits({{"A3", 4.0}});
            QVERIFY(page.onCommand(Import));
            QCOMPARE(page.model()->rowCount(), 3);
        }
        // The spans outlive the page; the rows go with it.
        QCOMPARE(state.spans[Span].to, b);
        QVERIFY(state.rows.empty());
        StatePage again(*f.shell);
        QVERIFY(again.onCommand(Clear));
        QVERIFY(!state.spans[Span].from.isValid());
    }

    void panelSignalsReachThePage() {
        addUnits({{"A1", 1.0}});
        UnitPage page(*f.shell, rows, 10);
        page.reload();
        const int updates = f.shell->commandUpdates;
        page.panelBox->show();
        QVERIFY(f.shell->commandUpdates > updates);
        emit page.panelBox->editFinished(1, true);
        QCOMPARE(f.shell->statusText(), QStringLiteral("成功编了1"));
        emit page.panelBox->editFinished(0, false);
        QCOMPARE(f.shell->statusText(), QStringLiteral("未编任何"));
    }

    void pageLeavesNoRowsBehind() {
        addUnits({{"A1", 1.0}});
        {
            UnitPage page(*f.shell, rows, 10);
            page.reload();
            QCOMPARE(rows.size(), size_t(1));
        }
        QVERIFY(rows.empty());
        QCOMPARE(rows.capacity(), size_t(0));
    }
};

QTEST_MAIN(TestRecordPage)
#include "test_recordpage.moc"
