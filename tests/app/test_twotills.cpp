// Two tills of one shop: two main windows, each in a data folder of its own
// whose vorn.ini names the same server, sell from one stock. The last unit is
// on both lists; the first till sells it, and the second one's checkout says it
// went at another till and drops it from its list. Skips without a test
// cluster (VORN_TEST_SERVER_DIR).
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QtTest>

#include "frame/internetview.h"
#include "frame/look.h"
#include "frame_fixture.h"
#include "paymentdlg.h"
#include "pgtestdb.h"
#include "res/tabs.h"
#include "saleinputdlg.h"
#include "salemodel.h"
#include "saleprintdlg.h"
#include "saleview.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

// One till: a main window in its own folder, on the server, at the counter.
struct Till {
    FrameFixture f;
    CSaleView* page = nullptr;

    bool start(const QString& conninfo) {
        QFile ini(f.path(QStringLiteral("vorn.ini")));
        if (!ini.open(QIODevice::WriteOnly)) return false;
        ini.write(QStringLiteral("[Database]\nconnection=%1\n").arg(conninfo).toUtf8());
        ini.close();
        QDir::setCurrent(QFileInfo(f.path(QStringLiteral("vorn.ini"))).absolutePath());
        if (!f.create() || !f.loginAsAdmin()) return false;
        f.frame->selectTab(tabs::Counter);
        flush();
        page = qobject_cast<CSaleView*>(f.frame->view());
        if (page == nullptr) return false;
        page->setDialogRunner([](QDialog& d) {
            if (auto* p = qobject_cast<CPaymentDlg*>(&d)) {
                p->edit()->setText(QStringLiteral("100"));
                p->onOk();
                return p->result();
            }
            if (auto* p = qobject_cast<CSalePrintDlg*>(&d)) {
                p->onOk();
                return p->result();
            }
            return int(QDialog::Rejected);
        });
        return true;
    }
    // A scanner: the code and Enter.
    void scan(const QString& code) {
        page->inputPanel()->codeEdit()->setText(code);
        QTest::keyClick(page->inputPanel()->codeEdit(), Qt::Key_Return);
    }
    void checkout() { QTest::keyClick(page->inputPanel()->codeEdit(), Qt::Key_Return, Qt::ControlModifier); }
    QString status() { return f.frame->statusText(); }
};

} // namespace

class TestTwoTills : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        setUpApplication();
        CInternetView::useBrowser(false);
        applyLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    void aUnitSoldAtOneTillIsGoneAtTheOther() {
        QString why;
        const QString cluster = clusterUrl(why);
        if (cluster.isEmpty()) QSKIP(qPrintable(why));
        TestDatabase db;
        const QString conninfo = db.create(cluster, why);
        QVERIFY2(!conninfo.isEmpty(), qPrintable(why));

        Till first, second;
        QVERIFY(first.start(conninfo));
        QVERIFY(second.start(conninfo));
        QVERIFY(first.f.frame->state().core.on_server());

        // The last unit of the code, entered once for the shop.
        vorn::SRec u;
        u.FSs_Code = "LAST-1";
        u.FSs_Name = "last";
        u.FSi_Type = 1;
        u.FSd_RetP = 8.0;
        u.FSi_Supplier = 1;
        QCOMPARE(first.f.frame->state().core.insert_srec(&u, 1), 1);

        second.scan(QStringLiteral("LAST-1"));
        QCOMPARE(second.page->model()->rowCount(), 1);
        first.scan(QStringLiteral("LAST-1"));
        QCOMPARE(first.page->model()->rowCount(), 1);
        first.checkout();
        QVERIFY2(first.status().startsWith(QStringLiteral("销售结算成功")) ||
                     first.status().contains(QStringLiteral("成功")),
                 qPrintable(first.status()));

        second.checkout();
        QVERIFY2(second.status().startsWith(QStringLiteral("商品已在其他收银台售出")), qPrintable(second.status()));
        QVERIFY(second.status().contains(QStringLiteral("LAST-1")));
        QCOMPARE(second.page->model()->rowCount(), 0);
        // One sale in the shop's journal, seen from either till.
        QCOMPARE(second.f.frame->state().core.get_srec_count("FSs_Code='LAST-1' AND FSi_Flag=1"), 1);
        second.scan(QStringLiteral("LAST-1"));
        QCOMPARE(second.page->model()->rowCount(), 0);
    }
};

QTEST_MAIN(TestTwoTills)
#include "test_twotills.moc"
