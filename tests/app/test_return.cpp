// A return inside the real main window, by keyboard alone: a cashier sells
// three articles by scanning and Ctrl+Enter, then the customer brings one
// back: F8, the receipt's number typed into the return dialog, Enter finds the
// sale, the lines are narrowed to the one coming back, F12 confirms. The unit
// is in stock again, the journal holds the return, the 退货单 is saved as PDF.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QTableWidget>
#include <algorithm>
#include <QtTest>

#include "frame/internetview.h"
#include "frame/look.h"
#include "frame_fixture.h"
#include "paymentdlg.h"
#include "res/tabs.h"
#include "returndlg.h"
#include "saleinputdlg.h"
#include "saleprintdlg.h"
#include "saleview.h"
#include "vorn/journal.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

void stock(vorn::Core& core, const char* code, const QString& name, double retail, int count) {
    vorn::SRec u;
    u.FSs_Code = code;
    u.FSs_Name = gbk(name);
    u.FSi_Type = 1;
    u.FSs_Size = "1";
    u.FSd_OriP = retail / 2;
    u.FSd_RetP = retail;
    u.FSd_MemP = retail;
    u.FSd_GolP = retail;
    u.FSd_WhoP = retail;
    u.FSd_SpeP = retail;
    u.FSt_StoT = vorn::parse_time("2026-03-02 09:30:00");
    u.FSi_Supplier = 1;
    std::vector<vorn::SRec> units(static_cast<size_t>(count), u);
    QCOMPARE(core.insert_srec(units.data(), count), count);
}

int inStock(vorn::Core& core, const char* code) {
    const std::string cond = std::string("FSs_Code='") + code + "' AND FSi_Flag=0";
    return core.get_srec_count(cond.c_str());
}

} // namespace

class TestFrameReturn : public QObject {
    Q_OBJECT

    QString saleNumber; // typed into the return dialog
    QString returnCode; // the only line left chosen
    int returnRows = -1;

    int answer(QDialog& d) {
        if (auto* p = qobject_cast<CPaymentDlg*>(&d)) {
            QTest::keyClicks(p->edit(), QStringLiteral("20"));
            QTest::keyClick(p->edit(), Qt::Key_Return);
            return p->result();
        }
        if (auto* p = qobject_cast<CSalePrintDlg*>(&d)) {
            p->onOk();
            return p->result();
        }
        if (auto* r = qobject_cast<CReturnDlg*>(&d)) {
            r->numberEdit()->setFocus();
            QTest::keyClicks(r->numberEdit(), saleNumber);
            QTest::keyClick(r->numberEdit(), Qt::Key_Return);
            returnRows = r->lineCount();
            // Every line comes back by default; keep only the one wanted.
            for (int row = 0; row < r->lineCount(); ++row)
                r->setLineChosen(row, lineCode(*r, row) == returnCode);
            r->printCheck()->setChecked(true);
            QTest::keyClick(r->numberEdit(), Qt::Key_F12);
            return r->result();
        }
        return QDialog::Rejected;
    }

    static QString lineCode(CReturnDlg& r, int row);

private slots:
    void initTestCase() {
        setUpApplication();
        CInternetView::useBrowser(false);
        applyLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    void aKeyboardSaleComesBackByKeyboard() {
        FrameFixture f;
        QVERIFY(f.create());
        vorn::Core& core = f.frame->state().core;
        stock(core, "6906789000062", QStringLiteral("清泉绿茶"), 3.5, 10);
        stock(core, "6903456700031", QStringLiteral("鲜乐原味酸奶"), 6.5, 10);
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        flush();
        auto* page = qobject_cast<CSaleView*>(f.frame->view());
        QVERIFY(page);
        page->setDialogRunner([this](QDialog& d) { return answer(d); });

        QLineEdit* code = page->inputPanel()->codeEdit();
        for (const char* c : {"6906789000062", "6903456700031", "6906789000062"}) {
            QTest::keyClicks(code, QString::fromLatin1(c));
            QTest::keyClick(code, Qt::Key_Return);
        }
        QTest::keyClick(code, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.frame->statusText(), QStringLiteral("销售结算成功"));
        QCOMPARE(inStock(core, "6906789000062"), 8);

        vorn::Journal journal(core);
        std::vector<vorn::SaleRecord> sales;
        QCOMPARE(journal.select_sales({}, sales), 1);
        QCOMPARE(sales.size(), size_t(1));
        saleNumber = QString::fromStdString(sales[0].number);
        returnCode = QStringLiteral("6906789000062");

        QTest::keyClick(code, Qt::Key_F8);
        QCOMPARE(returnRows, 2); // two articles on the sale
        QVERIFY2(f.frame->statusText().startsWith(QStringLiteral("成功退货2件")), qPrintable(f.frame->statusText()));
        QVERIFY(f.frame->statusText().contains(QStringLiteral("退货单已保存为PDF文件")));
        QCOMPARE(inStock(core, "6906789000062"), 10);
        QCOMPARE(inStock(core, "6903456700031"), 9);

        // The journal: the sale and its return, the refund in cash (the sale's method).
        QCOMPARE(journal.select_sales({}, sales), 2);
        const auto ret = std::find_if(sales.begin(), sales.end(), [](const vorn::SaleRecord& s) { return s.original > 0; });
        QVERIFY(ret != sales.end());
        vorn::SaleDetail detail;
        QCOMPARE(journal.open_sale(ret->id, detail), 1);
        QCOMPARE(detail.sale.due, int64_t(-70));
        QCOMPARE(detail.payments.size(), size_t(1));
        QCOMPARE(detail.payments[0].method, int(vorn::kPayCash));
        QCOMPARE(detail.payments[0].amount, int64_t(-70));
        // The focus is back where the next scan goes.
        QCOMPARE(page->window()->focusWidget(), static_cast<QWidget*>(code));
    }
};

QString TestFrameReturn::lineCode(CReturnDlg& r, int row) {
    const QTableWidgetItem* item = r.table()->item(row, CReturnDlg::ColCode);
    return item ? item->text() : QString();
}

QTEST_MAIN(TestFrameReturn)
#include "test_return.moc"
