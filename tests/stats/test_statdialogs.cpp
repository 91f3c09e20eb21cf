// The two condition dialogs: the year dialog (at most 3 years, chosen order
// kept, given-back years in ascending order, years after 2030) and the custom
// condition dialog (at most 10 types in type-list order, the 93-day rule).
#include <QCalendarWidget>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "kit/dialog/calendarpair.h"
#include "kit/text/gbk.h"
#include "statcdtdlg.h"
#include "statfixture.h"
#include "statyeardlg.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

QList<int> values(const QListWidget* list) {
    QList<int> out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->data(Qt::UserRole).toInt();
    return out;
}

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void pick(QListWidget* list, int value) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->data(Qt::UserRole).toInt() == value) {
            list->setCurrentRow(i);
            return;
        }
    QFAIL(qPrintable(QStringLiteral("no entry %1").arg(value)));
}

QList<int> range(int first, int last) {
    QList<int> out;
    for (int v = first; v <= last; ++v)
        out << v;
    return out;
}

int currentValue(const QListWidget* list) {
    return list->currentItem() ? list->currentItem()->data(Qt::UserRole).toInt() : -1;
}

} // namespace

class TestStatDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() { fx.setUp(); }
    void cleanup() { fx.tearDown(); }

    // Both dialogs fit the smallest screen the program runs on, 1024 x 768
    // less a title bar and a task bar, with every button inside: the custom one
    // with ten long type names chosen and ten more offered.
    void dialogsFitTheSmallestScreen() {
        std::vector<vorn::TRec> typeList;
        std::vector<int> chosen;
        for (int id = 1; id <= 20; ++id) {
            vorn::TRec t;
            t.FTi_Id = id;
            t.FTs_Name = gbk(QStringLiteral("进口休闲食品饮料类%1").arg(id % 10));
            typeList.push_back(t);
            if (id <= 10) chosen.push_back(id);
        }
        CStatCdtDlg custom(*fx.shell, QDate(2024, 1, 1), QDate(2024, 3, 31), chosen, typeList);
        std::vector<int> years{2011, 2012, 2013};
        CStatYearDlg year(*fx.shell, years, 2024);
        for (QDialog* dlg : std::initializer_list<QDialog*>{&custom, &year}) {
            dlg->show();
            QVERIFY(QTest::qWaitForWindowExposed(dlg));
            const QSize hint = dlg->sizeHint().expandedTo(dlg->minimumSize());
            QVERIFY2(hint.width() <= 1024 && hint.height() <= 700,
                     qPrintable(QStringLiteral("%1: %2 x %3").arg(dlg->objectName()).arg(hint.width()).arg(hint.height())));
            QVERIFY(dlg->width() <= 1024 && dlg->height() <= 700);
            for (QPushButton* b : dlg->findChildren<QPushButton*>()) {
                const QRect at(b->mapTo(dlg, QPoint(0, 0)), b->size());
                QVERIFY2(dlg->rect().contains(at), qPrintable(b->text()));
            }
            dlg->hide();
        }
    }

    void yearDialogOffersTheFixedYearsLessTheChosen() {
        std::vector<int> years{2013, 2011};
        CStatYearDlg dlg(*fx.shell, years, 2024);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("年份设置"));
        QCOMPARE(values(dlg.chosenList()), QList<int>({2013, 2011}));
        QList<int> offered = range(2011, 2030);
        offered.removeOne(2011);
        offered.removeOne(2013);
        QCOMPARE(values(dlg.offeredList()), offered);
        QCOMPARE(dlg.offeredList()->item(0)->text(), QStringLiteral("2012"));
    }

    void yearsAfter2030AreOffered() {
        std::vector<int> none;
        CStatYearDlg in2033(*fx.shell, none, 2033);
        QCOMPARE(values(in2033.offeredList()), range(2011, 2033));

        // A shop in 2031 that chose 2031 keeps it; given back it goes to the end.
        std::vector<int> years{2031};
        CStatYearDlg dlg(*fx.shell, years, 2031);
        QCOMPARE(values(dlg.offeredList()), range(2011, 2030));
        pick(dlg.chosenList(), 2031);
        dlg.giveBack();
        QCOMPARE(values(dlg.offeredList()), range(2011, 2031));
        QCOMPARE(currentValue(dlg.offeredList()), 2031);
        dlg.onOk();
        QVERIFY(years.empty());
        QCOMPARE(dlg.answer(), 0);
    }

    void yearsKeepTheChosenOrderAndAtMostThree() {
        std::vector<int> years;
        CStatYearDlg dlg(*fx.shell, years, 2024);
        // Nothing selected: the arrows do nothing.
        dlg.offeredList()->clearSelection();
        dlg.choose();
        QCOMPARE(dlg.chosenList()->count(), 0);

        for (int y : {2013, 2011, 2012}) {
            pick(dlg.offeredList(), y);
            dlg.choose();
            QCOMPARE(currentValue(dlg.chosenList()), y); // the new last entry is selected
        }
        QCOMPARE(values(dlg.chosenList()), QList<int>({2013, 2011, 2012}));
        QVERIFY(fx.shell->failures.isEmpty());

        pick(dlg.offeredList(), 2014);
        dlg.choose();
        QCOMPARE(fx.shell->failures, QStringList({QStringLiteral("最多只能添加3个年份")}));
        QCOMPARE(values(dlg.chosenList()), QList<int>({2013, 2011, 2012}));
        QVERIFY(values(dlg.offeredList()).contains(2014));

        // Given back, a year returns to its ascending place and is selected there.
        pick(dlg.chosenList(), 2013);
        dlg.giveBack();
        QCOMPARE(values(dlg.chosenList()), QList<int>({2011, 2012}));
        QList<int> offered = range(2013, 2030);
        QCOMPARE(values(dlg.offeredList()), offered);
        QCOMPARE(currentValue(dlg.offeredList()), 2013);
        pick(dlg.chosenList(), 2011);
        dlg.giveBack();
        QCOMPARE(values(dlg.offeredList()).mid(0, 2), QList<int>({2011, 2013}));

        pick(dlg.offeredList(), 2020);
        dlg.choose();
        QVERIFY(years.empty()); // nothing written before OK
        dlg.onOk();
        QCOMPARE(years, std::vector<int>({2012, 2020}));
        QCOMPARE(dlg.answer(), 2);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void yearDialogCancelAndKeys() {
        std::vector<int> years{2015};
        {
            CStatYearDlg dlg(*fx.shell, years, 2024);
            pick(dlg.offeredList(), 2016);
            dlg.choose();
            QTest::keyClick(&dlg, Qt::Key_Escape);
            QCOMPARE(dlg.answer(), -1);
            QCOMPARE(years, std::vector<int>({2015}));
        }
        {
            CStatYearDlg dlg(*fx.shell, years, 2024);
            pick(dlg.offeredList(), 2016);
            dlg.choose();
            QTest::keyClick(dlg.chosenList(), Qt::Key_Return);
            QCOMPARE(dlg.answer(), 2);
            QCOMPARE(years, std::vector<int>({2015, 2016}));
        }
    }

    void customDialogListsTypesInTypeListOrder() {
        addTypes(4); // ids 2 to 5
        std::vector<int> types{4, 1, 77};
        CStatCdtDlg dlg(*fx.shell, QDate(), QDate(), types, fx.shell->st.types);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("自定义条件设置"));
        // Chosen in the order 4, 1 but listed as the type list has them; 77 names no type.
        QCOMPARE(values(dlg.chosenList()), QList<int>({1, 4}));
        QCOMPARE(texts(dlg.chosenList()), QStringList({QStringLiteral("未知"), QStringLiteral("类型4")}));
        QCOMPARE(values(dlg.offeredList()), QList<int>({2, 3, 5}));
        // No span: both calendars on today.
        QCOMPARE(dlg.calendars()->startCalendar()->selectedDay(), DayCalendar::today());
        QCOMPARE(dlg.calendars()->endCalendar()->selectedDay(), DayCalendar::today());
    }

    void atMostTenTypesInChosenOrderAndGivenBackById() {
        addTypes(11); // ids 2 to 12
        std::vector<int> types;
        CStatCdtDlg dlg(*fx.shell, QDate(2011, 5, 1), QDate(2011, 5, 3), types, fx.shell->st.types);
        QCOMPARE(dlg.calendars()->startCalendar()->selectedDay(), QDate(2011, 5, 1));
        QCOMPARE(dlg.calendars()->endCalendar()->selectedDay(), QDate(2011, 5, 3));
        const QList<int> order{7, 3, 12, 1, 2, 4, 5, 6, 8, 9};
        for (int id : order) {
            pick(dlg.offeredList(), id);
            dlg.choose();
        }
        QCOMPARE(values(dlg.chosenList()), order);
        QVERIFY(fx.shell->failures.isEmpty());
        pick(dlg.offeredList(), 10);
        dlg.choose();
        QCOMPARE(fx.shell->failures, QStringList({QStringLiteral("最多只能添加10个商品类型")}));
        QCOMPARE(dlg.chosenList()->count(), 10);
        QCOMPARE(values(dlg.offeredList()), QList<int>({10, 11}));

        pick(dlg.chosenList(), 12);
        dlg.giveBack();
        QCOMPARE(values(dlg.offeredList()), QList<int>({10, 11, 12}));
        pick(dlg.chosenList(), 3);
        dlg.giveBack();
        QCOMPARE(values(dlg.offeredList()), QList<int>({3, 10, 11, 12}));
        QCOMPARE(currentValue(dlg.offeredList()), 3);

        dlg.onOk();
        QCOMPARE(dlg.answer(), 1);
        QCOMPARE(dlg.start(), QDate(2011, 5, 1));
        QCOMPARE(dlg.end(), QDate(2011, 5, 3));
        QCOMPARE(types, std::vector<int>({7, 1, 2, 4, 5, 6, 8, 9}));
    }

    void ninetyThreeDaysAtMost() {
        std::vector<int> types{1};
        CStatCdtDlg dlg(*fx.shell, QDate(2011, 1, 1), QDate(2011, 4, 4), types, fx.shell->st.types);
        pick(dlg.chosenList(), 1);
        dlg.giveBack();
        dlg.onOk(); // 94 days
        QCOMPARE(fx.shell->failures, QStringList({QStringLiteral("起始时间到终止时间不能大于3个月")}));
        QCOMPARE(dlg.answer(), -1);
        QCOMPARE(dlg.result(), int(QDialog::Rejected)); // not closed
        QCOMPARE(types, std::vector<int>({1}));

        dlg.calendars()->endCalendar()->setSelectedDay(QDate(2011, 4, 3)); // 93 days
        dlg.onOk();
        QCOMPARE(dlg.answer(), 1);
        QCOMPARE(dlg.end(), QDate(2011, 4, 3));
        QVERIFY(types.empty());
    }

    void startAfterEndIsOneDayOnTheEnd() {
        std::vector<int> types;
        CStatCdtDlg dlg(*fx.shell, QDate(2011, 5, 10), QDate(2011, 5, 1), types, fx.shell->st.types);
        dlg.onOk();
        QCOMPARE(dlg.answer(), 1);
        QCOMPARE(dlg.start(), QDate(2011, 5, 1));
        QCOMPARE(dlg.end(), QDate(2011, 5, 1));
    }

    void noDateAnswersNoSpanAndDropsTheTypeChoices() {
        std::vector<int> types{1};
        CStatCdtDlg dlg(*fx.shell, QDate(2011, 5, 1), QDate(2011, 5, 3), types, fx.shell->st.types);
        pick(dlg.chosenList(), 1);
        dlg.giveBack();
        dlg.onClearAll();
        QTest::keyClick(dlg.calendars()->startCalendar()->calendar(), Qt::Key_Enter);
        QCOMPARE(dlg.answer(), 0);
        QVERIFY(!dlg.start().isValid());
        QCOMPARE(types, std::vector<int>({1}));
    }

    void cancelChangesNothing() {
        std::vector<int> types{1};
        CStatCdtDlg dlg(*fx.shell, QDate(2011, 5, 1), QDate(2011, 5, 3), types, fx.shell->st.types);
        pick(dlg.chosenList(), 1);
        dlg.giveBack();
        dlg.calendars()->startCalendar()->setSelectedDay(QDate(2011, 4, 1));
        QTest::keyClick(dlg.offeredList(), Qt::Key_Escape);
        QCOMPARE(dlg.answer(), -1);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(types, std::vector<int>({1}));
    }

private:
    // Types "类型2" ... after the fallback "未知" (id 1), ids in order.
    void addTypes(int n) {
        for (int i = 0; i < n; ++i) {
            vorn::TRec t;
            t.FTs_Name = gbk(QStringLiteral("类型%1").arg(i + 2));
            QCOMPARE(fx.core().insert_trec(&t, 1), 1);
        }
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
        QCOMPARE(static_cast<int>(fx.shell->st.types.size()), n + 1);
    }

    StoreFixture fx;
};

QTEST_MAIN(TestStatDialogs)
#include "test_statdialogs.moc"
