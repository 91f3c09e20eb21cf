// Goods writes on a full disk: a store that may grow no further than it is
// (PRAGMA max_page_count) refuses them as a full disk does. Every failure says
// "磁盘空间不足", and the entry dialog keeps the lines typed into it.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

#include "goodsfixture.h"
#include "goodsimport.h"
#include "kit/sheet/importdlg.h"
#include "kit/sheet/importreport.h"
#include "storeadddlg.h"
#include "storeinputdlg.h"
#include "storeview.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

namespace {

template <class T> T* field(QWidget* w, const char* name) {
    T* f = w->findChild<T*>(QString::fromLatin1(name));
    if (!f) qFatal("no field %s", name);
    return f;
}

// The failure sentence of an operation ("录入") with the cause named.
QString full(const char* what) {
    const QString w = QString::fromUtf8(what);
    return QStringLiteral("未知异常导致商品\"%1\"失败（磁盘空间不足），放弃该次\"%1\"操作").arg(w);
}

} // namespace

class TestGoodsDiskFull : public QObject {
    Q_OBJECT

    GoodsFixture fx;
    std::unique_ptr<CStoreView> page;

    // From here on the store cannot grow: whatever needs a new page fails as
    // on a full disk.
    void stopGrowth() { QCOMPARE(fx.core().exec_sql("PRAGMA max_page_count=1;"), 0); }
    void allowGrowth() { QCOMPARE(fx.core().exec_sql("PRAGMA max_page_count=1073741823;"), 0); }

    void listAll() {
        page->onCommand(cmd::SearchGoods);
        QTableView* table = page->table();
        table->selectAll();
    }

private slots:
    void init() {
        fx.setUp();
        std::vector<vorn::SRec> units;
        for (int i = 0; i < 200; ++i)
            units.push_back(GoodsFixture::unit("U" + std::to_string(i), 1, 2));
        fx.insert(units);
        page = std::make_unique<CStoreView>(*fx.shell);
    }
    void cleanup() {
        page.reset();
        fx.tearDown();
    }

    void entryKeepsItsLinesUntilTheyCanBeSaved() {
        int linesAfterFailure = -1, rowsAfterFailure = -1, resultAfterFailure = -1;
        QStringList failuresSeen;
        page->setDialogRunner([&](QDialog& d) {
            auto& dlg = static_cast<CStoreAddDlg&>(d);
            field<QLineEdit>(&dlg, "quantity")->setText(QStringLiteral("999"));
            for (const char* code : {"6901", "6902", "6903"}) {
                field<QLineEdit>(&dlg, "code")->setText(QString::fromLatin1(code));
                field<QPlainTextEdit>(&dlg, "remark")->setPlainText(QString(120, QChar(0x5907)));
                dlg.addLine();
            }
            stopGrowth();
            dlg.save();
            resultAfterFailure = dlg.result();
            linesAfterFailure = dlg.lineCount();
            rowsAfterFailure = field<QListWidget>(&dlg, "lines")->count();
            failuresSeen = fx.shell->failures;
            allowGrowth();
            dlg.save(); // the same lines, once there is room
            return dlg.result();
        });
        page->onCommand(cmd::AddGoods);
        QCOMPARE(failuresSeen, QStringList{full("录入")});
        QCOMPARE(resultAfterFailure, int(QDialog::Rejected)); // still open
        QCOMPARE(linesAfterFailure, 3);
        QCOMPARE(rowsAfterFailure, 4); // the header and the three lines
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"录入\"2997件商品"));
        QCOMPARE(fx.core().get_srec_count("FSs_Code LIKE '690%'"), 2997);

        // Cancelled after the failure: nothing stored, the usual sentence.
        page->setDialogRunner([&](QDialog& d) {
            auto& dlg = static_cast<CStoreAddDlg&>(d);
            field<QLineEdit>(&dlg, "quantity")->setText(QStringLiteral("999"));
            field<QPlainTextEdit>(&dlg, "remark")->setPlainText(QString(120, QChar(0x5907)));
            dlg.addLine();
            stopGrowth();
            dlg.save();
            dlg.reject();
            return dlg.result();
        });
        page->onCommand(cmd::AddGoods);
        QCOMPARE(fx.shell->failures.size(), 2);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次商品\"录入\"操作"));
        QCOMPARE(fx.core().get_srec_count(nullptr), 200 + 2997);
    }

    void editSaysTheDiskIsFull() {
        listAll();
        page->onCommand(cmd::EditGoods);
        QCOMPARE(page->panel()->isVisible(), true);
        stopGrowth();
        field<QPlainTextEdit>(page->panel(), "remark")->setPlainText(QString(120, QChar(0x5907)));
        page->panel()->save();
        QCOMPARE(fx.shell->failures, QStringList{QStringLiteral(
                                         "未知异常导致商品信息\"编辑\"失败（磁盘空间不足），放弃该次\"编辑\"操作")});
        QCOMPARE(fx.core().get_srec_count("FSs_Remark<>''"), 0);
    }

    void deleteSaysTheDiskIsFull() {
        // Deleting frees room; a deletion that must write something beside it
        // (here a trigger's row) is what a full disk refuses.
        QCOMPARE(fx.core().exec_sql("CREATE TABLE Pad (FPb_Blob BLOB);"
                                    "CREATE TRIGGER pad AFTER DELETE ON Store "
                                    "BEGIN INSERT INTO Pad VALUES(zeroblob(200000)); END;"),
                 0);
        listAll();
        stopGrowth();
        fx.boxes.answers = {true};
        page->onCommand(cmd::RemoveGoods);
        QCOMPARE(fx.shell->failures, QStringList{full("删除")});
        QCOMPARE(page->model()->rowCount(), 200);
        QCOMPARE(fx.core().get_srec_count(nullptr), 200);
    }

    void importSaysTheDiskIsFull() {
        const QString file = fx.path(QStringLiteral("goods.csv"));
        QString text = QStringLiteral("商品编码,商品名称,数量,备注\n");
        for (int i = 0; i < 5; ++i)
            text += QStringLiteral("I%1,名称,10000,%2\n").arg(i).arg(QString(120, QChar(0x5907)));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        f.close();
        setImportFileChooser(fx.shell->st, [&](QWidget*, const QString&) { return file; });
        page->setDialogRunner([](QDialog& d) {
            d.accept();
            return d.result();
        });
        stopGrowth();
        page->onCommand(cmd::ImportGoods);
        QCOMPARE(fx.shell->failures, QStringList{full("导入")});
        QCOMPARE(fx.core().get_srec_count(nullptr), 200);
    }
};

QTEST_MAIN(TestGoodsDiskFull)
#include "test_diskfull.moc"
