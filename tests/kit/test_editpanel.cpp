// The editing panel's keys and its shown/hidden signal, and the rows a panel
// is opened for.
#include <QSignalSpy>
#include <QtTest>

#include "kit/editpanel.h"
#include "kit/recordrows.h"

using namespace vorn::ui;

namespace {

class CountingPanel : public EditPanel {
public:
    using EditPanel::EditPanel;
    void save() override { ++saves; }
    void open(const QString& title) {
        settle();
        bringUp(title);
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
