// The list loader: count, size, select under one snapshot, whatever another
// thread writes meanwhile.
#include <QtTest>
#include <QDeadlineTimer>
#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "kit/page/listloader.h"
#include "storefixture.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

class TestListLoader : public QObject {
    Q_OBJECT
    StoreFixture f;

    static vorn::SRec unit(const char* code) {
        vorn::SRec r;
        r.FSs_Code = code;
        r.FSs_Name = code;
        r.FSi_Type = 1;
        r.FSi_Supplier = 1;
        return r;
    }

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void loadsConditionAndOrder() {
        std::vector<vorn::SRec> units{unit("B"), unit("A"), unit("C")};
        QCOMPARE(f.core().insert_srec(units.data(), 3), 3);
        std::vector<vorn::SRec> rows(7); // old rows go
        QCOMPARE(loadRows(f.core(), rows, "FSs_Code<>'C'", " ORDER BY FSs_Code ASC"), 2);
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[0].FSs_Code, std::string("A"));
        QCOMPARE(rows[1].FSs_Code, std::string("B"));
        // An ordering without a condition still orders everything.
        QCOMPARE(loadRows(f.core(), rows, std::string(), " ORDER BY FSs_Code DESC"), 3);
        QCOMPARE(rows[0].FSs_Code, std::string("C"));
    }

    void failureLeavesAnEmptyList() {
        std::vector<vorn::TRec> rows(3);
        QCOMPARE(loadRows(f.core(), rows, "no_such_column=1"), -1);
        QVERIFY(rows.empty());
        f.core().close();
        rows.resize(2);
        QCOMPARE(loadRows(f.core(), rows, std::string()), -1);
        QVERIFY(rows.empty());
    }

    // The loads go on until the writer has written a fair number of batches
    // since they began and they have seen the list at several sizes, so every
    // run meets the writes, however the two threads happen to be scheduled.
    // Only a machine stalled for a minute ends the loop early, and that fails.
    void writesOfAnotherThreadNeverTearTheList() {
        constexpr int kBatches = 50;
        constexpr int kSizes = 5;
        std::atomic<bool> stop{false};
        std::atomic<int> batches{0};
        vorn::Core& core = f.core();
        std::thread writer([&] {
            std::vector<vorn::SRec> batch(5, unit("W"));
            while (!stop) {
                if (core.insert_srec(batch.data(), 5) == 5) ++batches;
                vorn::SRec first;
                // Remove some again, so the count also shrinks under the loader.
                if (core.select_srec(&first, "FSs_Code='W' LIMIT 1") == 1) core.delete_srec(&first, 1);
            }
        });
        const int atStart = batches;
        std::set<size_t> sizes;
        QString torn;
        int loads = 0;
        const QDeadlineTimer deadline(std::chrono::minutes(1));
        while (torn.isEmpty() && !deadline.hasExpired() &&
               (batches - atStart < kBatches || static_cast<int>(sizes.size()) < kSizes)) {
            ++loads;
            std::vector<vorn::SRec> rows;
            const int n = loadRows(core, rows, "FSs_Code='W'");
            if (n < 0 || rows.size() != size_t(n)) torn = QStringLiteral("load %1 gave %2 for %3 rows").arg(loads).arg(n).arg(rows.size());
            for (const auto& r : rows)
                if (torn.isEmpty() && (r.FSi_Id <= 0 || r.FSs_Code != "W")) torn = QStringLiteral("load %1 has an unfilled row").arg(loads);
            sizes.insert(rows.size());
        }
        stop = true;
        writer.join();
        QVERIFY2(torn.isEmpty(), qPrintable(torn));
        QVERIFY2(batches - atStart >= kBatches && static_cast<int>(sizes.size()) >= kSizes,
                 qPrintable(QStringLiteral("%1 batches written and %2 sizes seen in %3 loads within a minute")
                                .arg(batches - atStart).arg(sizes.size()).arg(loads)));
    }
};

QTEST_MAIN(TestListLoader)
#include "test_listloader.moc"
