// Qt's own file dialog as the program sets it up: Chinese column texts, a
// folder's type in Chinese, dates in the Chinese format and never cut.
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "frame/chinesetexts.h"
#include "frame_fixture.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

class TestChineseTexts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpApplication();
        QVERIFY(!QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
        installChineseTexts(*qApp);
    }

    void chineseEverywhereQtSpeaks() {
        QCOMPARE(QLocale().language(), QLocale::Chinese);
        QCOMPARE(QLocale().territory(), QLocale::China);
        // Qt's own file dialog, the one its translation reaches.
        QVERIFY(QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
        QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"),
                 QStringLiteral("文件夹"));
        QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Drive"), QStringLiteral("驱动器"));
        // The gaps answer nothing else: the rest is Qt's translation or the source.
        QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Folder-not"),
                 QStringLiteral("Folder-not"));
        QCOMPARE(QCoreApplication::translate("QOtherContext", "Folder"), QStringLiteral("Folder"));
    }

    void fileDialogShowsTypesAndDatesInChinese_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("as it opens") << QSize();
        QTest::newRow("small") << QSize(520, 360);
        QTest::newRow("1024 wide") << QSize(1000, 700);
    }

    void fileDialogShowsTypesAndDatesInChinese() {
        QFETCH(QSize, size);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("货品")));
        QFile file(dir.filePath(QStringLiteral("a.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.close();
        // Two-digit month, day and hour: the longest date there is.
        const QDateTime stamp(QDate(2024, 12, 28), QTime(23, 58));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
        file.close();

        QFileDialog dlg(nullptr, QStringLiteral("导出"), dir.path());
        dlg.setViewMode(QFileDialog::Detail);
        if (size.isValid()) dlg.resize(size);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto* tree = dlg.findChild<QTreeView*>(QStringLiteral("treeView"));
        QVERIFY(tree);
        auto* model = qobject_cast<QFileSystemModel*>(tree->model());
        QVERIFY(model);
        const QModelIndex root = tree->rootIndex();
        QTRY_COMPARE(model->rowCount(root), 2);
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("类型"));
        QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("修改日期"));
        auto* dates = dynamic_cast<ChineseDateDelegate*>(tree->itemDelegateForColumn(3));
        QVERIFY(dates);
        const int column = tree->header()->sectionSize(3);
        for (int row = 0; row < 2; ++row) {
            const QModelIndex name = model->index(row, 0, root);
            if (model->isDir(name)) {
                QCOMPARE(model->index(row, 2, root).data().toString(), QStringLiteral("文件夹"));
                continue;
            }
            // What the date cell draws, and the room it has.
            QStyleOptionViewItem option;
            option.initFrom(tree);
            dates->initStyleOption(&option, model->index(row, 3, root));
            QCOMPARE(option.text, QStringLiteral("2024/12/28 23:58"));
            const int margin = tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1;
            const int needed = option.fontMetrics.horizontalAdvance(option.text) + 2 * margin;
            QVERIFY2(needed <= column,
                     qPrintable(QStringLiteral("%1 px for %2 px of date").arg(column).arg(needed)));
        }
    }
};

QTEST_MAIN(TestChineseTexts)
#include "test_chinesetexts.moc"
