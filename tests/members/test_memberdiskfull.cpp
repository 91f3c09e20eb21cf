// Member writes on a full disk: a store that may grow no further than it is
// (PRAGMA max_page_count) refuses them as a full disk does, and every failure
// sentence says "磁盘空间不足".
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

#include "kit/sheet/importdlg.h"
#include "kit/sheet/importreport.h"
#include "memberimport.h"
#include "vipadddlg.h"
#include "vipfixture.h"
#include "vipinputdlg.h"
#include "vipview.h"

using namespace vorn::ui;
using vorn::ui::test::VipFixture;

namespace {

template <class T> T* field(QWidget* w, const char* name) {
    T* f = w->findChild<T*>(QString::fromLatin1(name));
    if (!f) qFatal("no field %s", name);
    return f;
}

// The failure sentence of an operation ("添加") with the cause named.
QString full(const char* what) {
    return QStringLiteral("未知异常导致会员\"%1\"失败（磁盘空间不足），放弃该次\"%1\"操作").arg(QString::fromUtf8(what));
}

const QString kLongText(120, QChar(0x5907)); // 240 GBK bytes

} // namespace

class TestMemberDiskFull : public QObject {
    Q_OBJECT

    VipFixture fx;
    std::unique_ptr<CVIPView> page;

    // From here on the store cannot grow: whatever needs a new page fails as
    // on a full disk.
    void stopGrowth() { QCOMPARE(fx.core().exec_sql("PRAGMA max_page_count=1;"), 0); }

    void listAll() {
        page->onCommand(cmd::SearchMember);
        page->table()->selectAll();
    }

private slots:
    void init() {
        fx.setUp();
        std::vector<vorn::VIPRec> members;
        for (int i = 0; i < 200; ++i)
            members.push_back(VipFixture::member("V" + std::to_string(i), QStringLiteral("会员")));
        fx.insert(members);
        page = std::make_unique<CVIPView>(*fx.shell);
    }
    void cleanup() {
        page.reset();
        fx.tearDown();
    }

    void addSaysTheDiskIsFull() {
        page->setDialogRunner([this](QDialog& d) {
            auto& dlg = static_cast<CVIPAddDlg&>(d);
            for (int i = 0; i < 40; ++i) {
                field<QLineEdit>(&dlg, "code")->setText(QStringLiteral("N%1").arg(i));
                field<QPlainTextEdit>(&dlg, "addr")->setPlainText(kLongText);
                field<QPlainTextEdit>(&dlg, "remark")->setPlainText(kLongText);
                dlg.stageMember();
            }
            stopGrowth();
            dlg.save();
            return dlg.result();
        });
        page->onCommand(cmd::AddMember);
        QCOMPARE(fx.shell->failures, QStringList{full("添加")});
        QCOMPARE(fx.core().get_viprec_count(nullptr), 200);
    }

    void editSaysTheDiskIsFull() {
        listAll();
        page->onCommand(cmd::EditMember);
        QVERIFY(page->panel()->isVisible());
        stopGrowth();
        field<QPlainTextEdit>(page->panel(), "remark")->setPlainText(kLongText);
        page->panel()->save();
        QCOMPARE(fx.shell->failures, QStringList{full("编辑")});
        QCOMPARE(fx.core().get_viprec_count("FVs_Remark<>''"), 0);
    }

    void deleteSaysTheDiskIsFull() {
        // Deleting frees room; a deletion that must write something beside it
        // (here a trigger's row) is what a full disk refuses.
        QCOMPARE(fx.core().exec_sql("CREATE TABLE Pad (FPb_Blob BLOB);"
                                    "CREATE TRIGGER pad AFTER DELETE ON VIP "
                                    "BEGIN INSERT INTO Pad VALUES(zeroblob(200000)); END;"),
                 0);
        listAll();
        stopGrowth();
        fx.boxes.answers = {true};
        page->onCommand(cmd::DeleteMember);
        QCOMPARE(fx.shell->failures, QStringList{full("删除")});
        QCOMPARE(page->model()->rowCount(), 200);
        QCOMPARE(fx.core().get_viprec_count(nullptr), 200);
    }

    void importSaysTheDiskIsFull() {
        const QString file = fx.path(QStringLiteral("members.csv"));
        QString text = QStringLiteral("会员编号,地址,备注\n");
        for (int i = 0; i < 2000; ++i)
            text += QStringLiteral("I%1,%2,%2\n").arg(i).arg(kLongText);
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
        page->onCommand(cmd::ImportMembers);
        QCOMPARE(fx.shell->failures, QStringList{full("导入")});
        QCOMPARE(fx.core().get_viprec_count(nullptr), 200);
    }
};

QTEST_MAIN(TestMemberDiskFull)
#include "test_memberdiskfull.moc"
