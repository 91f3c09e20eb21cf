// The editing panel's keys and its shown/hidden signal, and the rows a panel
// is opened for.
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "kit/page/editpanel.h"
#include "kit/page/recordrows.h"

using namespace vorn::ui;

namespace {

class CountingPanel : public EditPanel {
public:
    using EditPanel::EditPanel;
    void save() override { ++saves; }
    void openFor(const std::vector<int>&) override {}
    void open(const QString& title) {
        settle();
        bringUp(title);
    }
    QPushButton* lay(std::initializer_list<PanelField> pairs, std::initializer_list<PanelField> wide) {
        return layOutFields(pairs, wide);
    }
    int saves = 0;
};

} // namespace

class TestEditPanel : public QObject {
    Q_OBJECT
private slots:
    void keysSaveOrHide_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("saves");
        QTest::addColumn<bool>("visible");
        QTest::newRow("Return saves") << int(Qt::Key_Return) << 1 << true;
        QTest::newRow("Enter saves") << int(Qt::Key_Enter) << 1 << true;
        QTest::newRow("Esc hides") << int(Qt::Key_Escape) << 0 << false;
        QTest::newRow("others pass") << int(Qt::Key_A) << 0 << true;
    }
    void keysSaveOrHide() {
        QFETCH(int, key);
        QFETCH(int, saves);
        QFETCH(bool, visible);
        QWidget owner;
        CountingPanel panel(&owner);
        QVERIFY(!panel.isVisible());
        QVERIFY(panel.windowFlags().testFlag(Qt::Tool));
        panel.open(QStringLiteral("编辑"));
        QCOMPARE(panel.windowTitle(), QStringLiteral("编辑"));
        QVERIFY(panel.isVisible());
        QTest::keyClick(&panel, static_cast<Qt::Key>(key));
        QCOMPARE(panel.saves, saves);
        QCOMPARE(panel.isVisible(), visible);
    }

    void showingAndHidingAreHeard() {
        QWidget owner;
        CountingPanel panel(&owner);
        QSignalSpy spy(&panel, &EditPanel::visibilityChanged);
        panel.open(QStringLiteral("a"));
        panel.hide();
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy[0][0].toBool(), true);
        QCOMPARE(spy[1][0].toBool(), false);
    }

    void fieldsTwoToARowThenAcross() {
        QWidget owner;
        CountingPanel panel(&owner);
        QLineEdit a, b, c, wide;
        QPushButton* save = panel.lay({{"甲:", &a}, {"乙:", &b}, {"丙:", &c}}, {{"备注:", &wide, Qt::AlignTop}});
        QCOMPARE(save->objectName(), QStringLiteral("save"));
        QCOMPARE(save->text(), QStringLiteral("确认保存"));
        auto* grid = panel.findChild<QGridLayout*>();
        QVERIFY(grid);
        struct Place {
            QWidget* w;
            int row, col, span;
        };
        for (const Place& p : {Place{&a, 0, 1, 1}, Place{&b, 0, 3, 1}, Place{&c, 1, 1, 1}, Place{&wide, 2, 1, 3}}) {
            int row = -1, col = -1, rows = 0, cols = 0;
            grid->getItemPosition(grid->indexOf(p.w), &row, &col, &rows, &cols);
            QCOMPARE(row, p.row);
            QCOMPARE(col, p.col);
            QCOMPARE(cols, p.span);
        }
        auto* label = qobject_cast<QLabel*>(grid->itemAtPosition(2, 0)->widget());
        QCOMPARE(label->text(), QStringLiteral("备注:"));
        QCOMPARE(grid->itemAtPosition(2, 0)->alignment(), Qt::AlignRight | Qt::AlignTop);
        QCOMPARE(grid->itemAtPosition(0, 2)->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        save->click();
        QCOMPARE(panel.saves, 1);
    }

    void pickedRowsSkipThoseOutOfRange() {
        const std::vector<int> rows{10, 20, 30};
        const PickedRows<int> picked = pickRows(rows, {2, -1, 0, 3, 2});
        QCOMPARE(picked.where, (std::vector<int>{2, 0, 2}));
        QCOMPARE(picked.records, (std::vector<int>{30, 10, 30}));
        QVERIFY(pickRows(rows, {5}).records.empty());
    }
};

QTEST_MAIN(TestEditPanel)
#include "test_editpanel.moc"
