// The editing panel of a list of records: what it copies when opened, and the
// one write that brings the store, the page's loaded rows and its own copies in
// line and tells the page how it went.
#include <QSignalSpy>
#include <QtTest>

#include "kit/page/recordpanel.h"
#include "storefixture.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

// Renames every record it was opened for to `name` on save.
class NamePanel : public RecordEditPanel<vorn::SRec> {
public:
    NamePanel(Shell& shell, std::vector<vorn::SRec>& loaded) : RecordEditPanel(shell, loaded, nullptr) {}
    void save() override {
        std::vector<vorn::SRec> edited = records_;
        for (vorn::SRec& r : edited)
            r.FSs_Name = name;
        writeEdited(std::move(edited), footers);
    }
    const std::vector<int>& where() const { return rows_; }
    const std::vector<vorn::SRec>& copies() const { return records_; }
    const vorn::SRec& shownTemplate() const { return template_; }

    std::string name = "renamed";
    bool footers = false;
    int openings = 0;

private:
    void opened() override {
        ++openings;
        show();
    }
};

} // namespace

class TestRecordPanel : public QObject {
    Q_OBJECT
    StoreFixture f;
    std::vector<vorn::SRec> loaded;

private slots:
    void init() {
        f.setUp();
        for (const char* code : {"A", "B", "C"}) {
            vorn::SRec r;
            r.FSs_Code = code;
            r.FSs_Name = code;
            r.FSi_Type = 1;
            r.FSi_Supplier = 1;
            QCOMPARE(f.core().insert_srec(&r, 1), 1);
        }
        QCOMPARE(loadRows(f.core(), loaded, "", " ORDER BY FSs_Code ASC"), 3);
    }
    void cleanup() { f.tearDown(); }

    void openingCopiesThePickedRowsAndNoneLeftKeepsThePanel() {
        NamePanel panel(*f.shell, loaded);
        panel.openFor({2, 0, 7});
        QCOMPARE(panel.openings, 1);
        QCOMPARE(panel.where(), (std::vector<int>{2, 0}));
        QCOMPARE(panel.recordCount(), 2);
        QCOMPARE(panel.shownTemplate().FSs_Code, std::string("C"));
        // The copies are the panel's own: the page may reload under it.
        loaded[2].FSs_Name = "changed in the list";
        QCOMPARE(panel.copies()[0].FSs_Name, std::string("C"));
        panel.openFor({-1, 9});
        QCOMPARE(panel.openings, 1);
        QCOMPARE(panel.recordCount(), 2);
    }

    void aWriteReachesTheStoreTheRowsAndThePage() {
        for (bool footers : {false, true}) {
            NamePanel panel(*f.shell, loaded);
            panel.footers = footers;
            panel.name = footers ? "second" : "first";
            QSignalSpy finished(&panel, &EditPanel::editFinished);
            panel.openFor({0, 1});
            QVERIFY(panel.isVisible());
            // A reload in between moved the rows: they are found by id.
            std::swap(loaded[0], loaded[2]);
            panel.save();
            QVERIFY(!panel.isVisible());
            QCOMPARE(finished.size(), 1);
            QCOMPARE(finished[0][0].toInt(), 2);
            QCOMPARE(finished[0][1].toBool(), footers);
            QCOMPARE(loaded[2].FSs_Name, panel.name);
            QCOMPARE(loaded[1].FSs_Name, panel.name);
            QCOMPARE(loaded[0].FSs_Name, std::string("C"));
            QCOMPARE(panel.copies()[0].FSs_Name, panel.name);
            QCOMPARE(f.core().get_srec_count(("FSs_Name='" + panel.name + "'").c_str()), 2);
            std::swap(loaded[0], loaded[2]);
        }
    }
};

QTEST_MAIN(TestRecordPanel)
#include "test_recordpanel.moc"
