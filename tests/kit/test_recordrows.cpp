// The row helpers and the record model a list page shares with its panel: an
// edit applied by place or by id, rows taken out, and a model that only shows
// rows it was told of.
#include <QSignalSpy>
#include <QtTest>

#include "kit/page/recordmodel.h"
#include "kit/page/recordrows.h"

using namespace vorn::ui;

namespace {

vorn::VIPRec member(int id, const char* name) {
    vorn::VIPRec m;
    m.FVi_Id = id;
    m.FVs_Name = name;
    return m;
}

std::vector<std::string> names(const std::vector<vorn::VIPRec>& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.FVs_Name);
    return out;
}

const RecordColumn kColumns[] = {
    {"编号", 80, Qt::AlignLeft | Qt::AlignVCenter, "FVi_Id"},
    {"姓名", 60, Qt::AlignRight | Qt::AlignVCenter, nullptr},
};

} // namespace

class TestRecordRows : public QObject {
    Q_OBJECT
private slots:
    void applyEditedByPlaceThenById() {
        struct Case {
            const char* what;
            std::vector<int> where;
            std::vector<vorn::VIPRec> edited;
            int changed;
            std::vector<std::string> after;
        };
        const Case cases[] = {
            {"in place", {0, 2}, {member(1, "a'"), member(3, "c'")}, 2, {"a'", "b", "c'"}},
            {"moved: found by id", {2}, {member(1, "a'")}, 1, {"a'", "b", "c"}},
            {"place out of range", {7}, {member(2, "b'")}, 1, {"a", "b'", "c"}},
            {"no place given", {}, {member(3, "c'")}, 1, {"a", "b", "c'"}},
            {"gone from the list", {0}, {member(9, "z")}, 0, {"a", "b", "c"}},
        };
        for (const Case& c : cases) {
            std::vector<vorn::VIPRec> rows{member(1, "a"), member(2, "b"), member(3, "c")};
            QVERIFY2(applyEdited(rows, c.where, c.edited) == c.changed, c.what);
            QVERIFY2(names(rows) == c.after, c.what);
        }
    }

    void removeRowsKeepsTheOrder() {
        struct Case {
            std::vector<int> indices;
            int removed;
            std::vector<std::string> after;
        };
        const Case cases[] = {
            {{3, 1, 3, 9, -1}, 2, {"a", "c"}},
            {{}, 0, {"a", "b", "c", "d"}},
            {{0, 1, 2, 3}, 4, {}},
        };
        for (const Case& c : cases) {
            std::vector<vorn::VIPRec> rows{member(1, "a"), member(2, "b"), member(3, "c"), member(4, "d")};
            QCOMPARE(removeRows(rows, c.indices), c.removed);
            QVERIFY(names(rows) == c.after);
        }
    }

    void modelShowsOnlyRowsItWasToldOf() {
        std::vector<vorn::VIPRec> rows{member(1, "a"), member(2, "b")};
        RecordModel<vorn::VIPRec> model(rows, kColumns, [](const vorn::VIPRec& m, int c) {
            return c == 0 ? QString::number(m.FVi_Id) : QString::fromStdString(m.FVs_Name);
        });
        QCOMPARE(model.rowCount(), 0); // a new model starts empty
        QCOMPARE(model.columnCount(), 2);
        model.resetRows();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("b"));
        QCOMPARE(model.data(model.index(1, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("姓名"));
        QVERIFY(!model.headerData(2, Qt::Horizontal).isValid());
        QVERIFY(!model.headerData(0, Qt::Vertical).isValid());
        QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsSelectable);
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
        // Rows replaced under a view that was not told yet show nothing, not garbage.
        rows.pop_back();
        QVERIFY(!model.data(model.index(1, 0)).isValid());
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.refreshRows();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][1].value<QModelIndex>().row(), 1);
        rows.clear();
        model.resetRows();
        model.refreshRows();
        QCOMPARE(changed.size(), 1); // nothing to redraw
    }
};

QTEST_MAIN(TestRecordRows)
#include "test_recordrows.moc"
