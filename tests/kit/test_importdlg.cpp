// The two steps around an import: choosing encoding, headings and columns with
// a preview, and the report of what checking the lines found.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStringEncoder>
#include <QStyleFactory>
#include <QTableWidget>
#include <QtTest>

#include "kit/sheet/importdlg.h"
#include "kit/sheet/importreport.h"
#include "res/vornres.h"

using namespace vorn::ui;

namespace {

std::vector<ImportField> goodsFields() {
    return {
        {QStringLiteral("商品编码"), {QStringLiteral("编码"), QStringLiteral("条码")}, true},
        {QStringLiteral("商品名称"), {QStringLiteral("名称"), QStringLiteral("品名")}, true},
        {QStringLiteral("零售价"), {QStringLiteral("Retail Price")}, false},
        {QStringLiteral("数量"), {}, false},
        {QStringLiteral("备注"), {}, false},
    };
}

QByteArray gbkBytes(const QString& text) {
    QStringEncoder enc("GBK");
    return enc.encode(text);
}

const QString kFile = QStringLiteral("名称,条码,零售价(元),颜色,数量\r\n"
                                     "可口可乐（罐装）,A001,3.5,红,24\r\n"
                                     "\"雪碧, 大瓶\",A002,6,绿,\"12\"\r\n"
                                     "芬达,A003,3,橙,6\r\n");

template <typename T> T* child(QWidget& w, const QString& name) {
    T* c = w.findChild<T*>(name);
    Q_ASSERT(c);
    return c;
}

QStringList headerTexts(QTableWidget* table) {
    QStringList out;
    for (int c = 0; c < table->columnCount(); ++c) out << table->horizontalHeaderItem(c)->text();
    return out;
}

// The program's look: Fusion, a Chinese font and the office style sheet.
void applyProgramLook() {
    vornInitResources();
    QFile qss(QStringLiteral(":/style/office2010blue.qss"));
    QVERIFY(qss.open(QIODevice::ReadOnly));
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    if (!chinese.isEmpty()) {
        QFont f(chinese.contains(QStringLiteral("WenQuanYi Micro Hei")) ? QStringLiteral("WenQuanYi Micro Hei")
                                                                          : chinese.first());
        f.setPixelSize(12);
        app->setFont(f);
    }
    app->setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app->setStyleSheet(QString::fromUtf8(qss.readAll()));
}

// Every visible label and button shows its whole text, and no two of them overlap.
void checkNothingCut(QWidget& dlg) {
    QList<QWidget*> shown;
    for (QWidget* w : dlg.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&dlg) || !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                                       qobject_cast<QComboBox*>(w)))
            continue;
        if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap()) continue;
        if (w->objectName() == QStringLiteral("fileLabel")) continue; // a long path may be cut
        QVERIFY2(w->width() >= w->minimumSizeHint().width(), qPrintable(w->objectName()));
        shown << w;
    }
    for (int i = 0; i < shown.size(); ++i) {
        const QRect a(shown[i]->mapTo(&dlg, QPoint()), shown[i]->size());
        QVERIFY(dlg.rect().contains(a));
        for (int j = i + 1; j < shown.size(); ++j) {
            if (shown[i]->isAncestorOf(shown[j]) || shown[j]->isAncestorOf(shown[i])) continue;
            const QRect b(shown[j]->mapTo(&dlg, QPoint()), shown[j]->size());
            QVERIFY2(!a.intersects(b), qPrintable(shown[i]->objectName() + " / " + shown[j]->objectName()));
        }
    }
}

void keepPicture(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QVERIFY(w.grab().save(QDir(dir).filePath(name)));
}

} // namespace

class TestKitImportDlg : public QObject {
    Q_OBJECT
private slots:
    void headingsNameFields() {
        const auto fields = goodsFields();
        // Spaces, case, "(元)" and colons do not matter; each column feeds one field,
        // and the first column that names a field wins.
        QCOMPARE(mapHeadings(fields, {QStringLiteral(" 品名 "), QStringLiteral("编码："),
                                      QStringLiteral("retail price（元）"), QStringLiteral("颜色"),
                                      QStringLiteral("条码"), QStringLiteral("数量:")}),
                 (std::vector<int>{1, 0, 2, 5, -1}));
        // The caption itself names its field; an unrelated or empty heading nothing.
        QCOMPARE(mapHeadings(fields, {QStringLiteral("备注"), QString(), QStringLiteral("商品编码")}),
                 (std::vector<int>{2, -1, -1, -1, 0}));
        // Near misses stay unmapped.
        QCOMPARE(mapHeadings(fields, {QStringLiteral("编码1"), QStringLiteral("名")}),
                 (std::vector<int>{-1, -1, -1, -1, -1}));
    }

    void opensMappedFromTheHeadings() {
        CImportDlg dlg(QStringLiteral("导入商品"), QStringLiteral("/tmp/货品.csv"), goodsFields(),
                       gbkBytes(kFile));
        QCOMPARE(dlg.encoding(), TextEncoding::Gbk);
        QVERIFY(dlg.firstLineIsHeader());
        QVERIFY(child<QCheckBox>(dlg, QStringLiteral("headerBox"))->isChecked());
        QCOMPARE(dlg.mapping(), (std::vector<int>{1, 0, 2, 4, -1}));
        QCOMPARE(dlg.columnCount(), 5);
        QCOMPARE(dlg.records().size(), size_t(3));
        QCOMPARE(dlg.records()[1].fields.value(0), QStringLiteral("雪碧, 大瓶"));
        QCOMPARE(dlg.records()[1].line, 3);
        QVERIFY(dlg.windowTitle().contains(QStringLiteral("货品.csv")));

        auto* code = child<QComboBox>(dlg, QStringLiteral("columnBox0"));
        QCOMPARE(code->count(), 6);
        QCOMPARE(code->itemText(0), QStringLiteral("(不导入)"));
        QCOMPARE(code->itemText(2), QStringLiteral("第2列: 条码"));
        QCOMPARE(code->currentText(), QStringLiteral("第2列: 条码"));
        QVERIFY(child<QComboBox>(dlg, QStringLiteral("encodingBox"))->currentText().contains(QStringLiteral("GBK")));
        QVERIFY(child<QLabel>(dlg, QStringLiteral("decodeNote"))->isHidden());

        // The preview shows the mapped fields by their captions, with the file's line numbers.
        auto* preview = child<QTableWidget>(dlg, QStringLiteral("previewTable"));
        QCOMPARE(headerTexts(preview), (QStringList{QStringLiteral("商品编码"), QStringLiteral("商品名称"),
                                                    QStringLiteral("零售价"), QStringLiteral("数量")}));
        QCOMPARE(preview->rowCount(), 3);
        QCOMPARE(preview->item(0, 0)->text(), QStringLiteral("A001"));
        QCOMPARE(preview->item(1, 1)->text(), QStringLiteral("雪碧, 大瓶"));
        QCOMPARE(preview->item(2, 3)->text(), QStringLiteral("6"));
        QCOMPARE(preview->verticalHeaderItem(0)->text(), QStringLiteral("2"));

        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(dlg.problem().isEmpty());
    }

    void changingTheEncodingRereads() {
        CImportDlg dlg(QStringLiteral("导入商品"), QStringLiteral("a.csv"), goodsFields(), gbkBytes(kFile));
        auto* preview = child<QTableWidget>(dlg, QStringLiteral("previewTable"));
        auto* note = child<QLabel>(dlg, QStringLiteral("decodeNote"));

        dlg.setEncoding(TextEncoding::Utf8);
        QCOMPARE(dlg.encoding(), TextEncoding::Utf8);
        QVERIFY(!note->isHidden());
        // Read wrongly the headings name nothing: no heading line, nothing mapped.
        QVERIFY(!dlg.firstLineIsHeader());
        QCOMPARE(dlg.records().size(), size_t(4));
        QVERIFY(dlg.records()[1].fields.value(0).contains(QChar(QChar::ReplacementCharacter)));
        QCOMPARE(dlg.mapping(), (std::vector<int>{1, 0, 2, 4, -1})); // kept: the columns are the same
        QCOMPARE(preview->columnCount(), 4);
        QVERIFY(preview->item(1, 1)->text().contains(QChar(QChar::ReplacementCharacter)));

        // Chosen from the drop-down, as the user does.
        child<QComboBox>(dlg, QStringLiteral("encodingBox"))->setCurrentIndex(2);
        QCOMPARE(dlg.encoding(), TextEncoding::Gbk);
        QVERIFY(note->isHidden());
        QVERIFY(dlg.firstLineIsHeader());
        QCOMPARE(dlg.mapping(), (std::vector<int>{1, 0, 2, 4, -1}));
        QCOMPARE(preview->item(0, 1)->text(), QStringLiteral("可口可乐（罐装）"));

        // UTF-8 bytes of the same file open with the same records.
        CImportDlg utf(QStringLiteral("导入商品"), QStringLiteral("b.csv"), goodsFields(),
                       QByteArray("\xEF\xBB\xBF") + kFile.toUtf8());
        QCOMPARE(utf.encoding(), TextEncoding::Utf8);
        QCOMPARE(utf.mapping(), dlg.mapping());
        QCOMPARE(utf.records().size(), dlg.records().size());
        for (size_t i = 0; i < utf.records().size(); ++i) {
            QCOMPARE(utf.records()[i].fields, dlg.records()[i].fields);
            QCOMPARE(utf.records()[i].line, dlg.records()[i].line);
        }
    }

    void aFileWithoutHeadingsIsMappedByHand() {
        const QString file = QStringLiteral("A001,可乐,3\nA002,雪碧,4\n");
        CImportDlg dlg(QStringLiteral("导入商品"), QStringLiteral("a.csv"), goodsFields(), file.toUtf8());
        QVERIFY(!dlg.firstLineIsHeader());
        QCOMPARE(dlg.mapping(), (std::vector<int>{-1, -1, -1, -1, -1}));
        QCOMPARE(dlg.records().size(), size_t(2));
        QCOMPARE(child<QComboBox>(dlg, QStringLiteral("columnBox0"))->itemText(1), QStringLiteral("第1列"));
        QCOMPARE(child<QTableWidget>(dlg, QStringLiteral("previewTable"))->columnCount(), 0);

        // Both required fields missing: refused, inside the dialog.
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(dlg.problem().contains(QStringLiteral("“商品编码”、“商品名称”")));
        QVERIFY(!child<QLabel>(dlg, QStringLiteral("problemLabel"))->isHidden());

        dlg.setColumn(0, 0);
        QVERIFY(dlg.problem().isEmpty()); // a change takes the refusal away
        dlg.accept();
        QVERIFY(dlg.problem().contains(QStringLiteral("“商品名称”")));
        QVERIFY(!dlg.problem().contains(QStringLiteral("商品编码")));

        // Two fields on one column are refused too.
        dlg.setColumn(1, 0);
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(dlg.problem().contains(QStringLiteral("第1列")));

        dlg.setColumn(1, 1);
        dlg.setColumn(2, 2);
        dlg.setColumn(3, 7); // no such column: not imported
        QCOMPARE(dlg.mapping(), (std::vector<int>{0, 1, 2, -1, -1}));
        auto* preview = child<QTableWidget>(dlg, QStringLiteral("previewTable"));
        QCOMPARE(preview->rowCount(), 2);
        QCOMPARE(preview->item(0, 1)->text(), QStringLiteral("可乐"));
        QCOMPARE(preview->verticalHeaderItem(0)->text(), QStringLiteral("1"));
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void theHeadingCheckDecidesTheFirstLine() {
        CImportDlg dlg(QStringLiteral("导入商品"), QStringLiteral("a.csv"), goodsFields(), kFile.toUtf8());
        auto* preview = child<QTableWidget>(dlg, QStringLiteral("previewTable"));
        auto* code = child<QComboBox>(dlg, QStringLiteral("columnBox0"));
        QCOMPARE(dlg.records().size(), size_t(3));

        dlg.setFirstLineIsHeader(false);
        QCOMPARE(dlg.records().size(), size_t(4));
        QCOMPARE(dlg.records().front().line, 1);
        QCOMPARE(preview->rowCount(), 4);
        QCOMPARE(preview->item(0, 0)->text(), QStringLiteral("条码"));
        QCOMPARE(code->itemText(2), QStringLiteral("第2列"));
        QCOMPARE(dlg.mapping(), (std::vector<int>{1, 0, 2, 4, -1})); // columns stay as chosen

        // Ticked by hand, the box is no longer decided by the file on re-reading.
        child<QCheckBox>(dlg, QStringLiteral("headerBox"))->setChecked(true);
        QCOMPARE(dlg.records().size(), size_t(3));
        QCOMPARE(code->itemText(2), QStringLiteral("第2列: 条码"));
        dlg.setEncoding(TextEncoding::Gbk);
        QVERIFY(dlg.firstLineIsHeader());

        // A file of headings only has nothing to import.
        CImportDlg empty(QStringLiteral("导入商品"), QStringLiteral("a.csv"), goodsFields(),
                         QByteArray("\xEF\xBB\xBF") + QStringLiteral("编码,名称\r\n\r\n").toUtf8());
        QVERIFY(empty.firstLineIsHeader());
        QVERIFY(empty.records().empty());
        empty.accept();
        QCOMPARE(empty.result(), int(QDialog::Rejected));
        QVERIFY(empty.problem().contains(QStringLiteral("没有")));
    }

    void previewShowsTwentyRows() {
        QString file = QStringLiteral("编码,名称,备注\n");
        for (int i = 1; i <= 30; ++i) {
            file += i == 2 ? QStringLiteral("B2,名称2,\"两行\n备注\"\n") : QStringLiteral("B%1,名称%1,\n").arg(i);
        }
        CImportDlg dlg(QStringLiteral("导入商品"), QStringLiteral("a.csv"), goodsFields(), file.toUtf8());
        auto* preview = child<QTableWidget>(dlg, QStringLiteral("previewTable"));
        QCOMPARE(dlg.records().size(), size_t(30));
        QCOMPARE(preview->rowCount(), 20);
        QCOMPARE(headerTexts(preview),
                 (QStringList{QStringLiteral("商品编码"), QStringLiteral("商品名称"), QStringLiteral("备注")}));
        QCOMPARE(preview->item(1, 2)->text(), QStringLiteral("两行 备注"));
        QCOMPARE(preview->item(1, 2)->toolTip(), QStringLiteral("两行\n备注"));
        // Line numbers after the two-line remark move on by two.
        QCOMPARE(preview->verticalHeaderItem(2)->text(), QStringLiteral("5"));
        QCOMPARE(preview->verticalHeaderItem(19)->text(), QStringLiteral("22"));
        QVERIFY(child<QLabel>(dlg, QStringLiteral("countLabel"))->text().contains(QStringLiteral("30")));
    }

    void reportListsProblemsByLine() {
        std::vector<ImportProblem> problems{
            {12, QStringLiteral("零售价“abc”不是数字"), true},
            {3, QStringLiteral("类别“饮品”不存在，归入默认类别"), false},
            {3, QStringLiteral("缺少商品编码"), true},
        };
        CImportReportDlg dlg(QStringLiteral("导入商品"), QStringLiteral("将导入 998 行，共 100,000 件商品"),
                             problems, true);
        QTableWidget* list = dlg.problemList();
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("行号"));
        QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("问题"));
        QCOMPARE(list->item(0, 0)->text(), QStringLiteral("3"));
        QCOMPARE(list->item(0, 1)->text(), QStringLiteral("类别“饮品”不存在，归入默认类别"));
        QCOMPARE(list->item(0, 2)->text(), QStringLiteral("提示"));
        QCOMPARE(list->item(1, 2)->text(), QStringLiteral("跳过"));
        QCOMPARE(list->item(2, 0)->text(), QStringLiteral("12"));
        QCOMPARE(child<QLabel>(dlg, QStringLiteral("summaryLabel"))->text(),
                 QStringLiteral("将导入 998 行，共 100,000 件商品"));
        QVERIFY(dlg.confirmButton()->isEnabled());
        QCOMPARE(dlg.confirmButton()->text(), QStringLiteral("确认导入"));
        QTest::mouseClick(dlg.confirmButton(), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));

        CImportReportDlg nothing(QStringLiteral("导入商品"), QStringLiteral("没有可以导入的行"),
                                 {{2, QStringLiteral("缺少商品编码"), true}}, false);
        QVERIFY(!nothing.confirmButton()->isEnabled());
        nothing.accept();
        QCOMPARE(nothing.result(), int(QDialog::Rejected));
        QTest::mouseClick(child<QPushButton>(nothing, QStringLiteral("cancelButton")), Qt::LeftButton);
        QCOMPARE(nothing.result(), int(QDialog::Rejected));

        CImportReportDlg clean(QStringLiteral("导入商品"), QStringLiteral("将导入 3 行"), {}, true);
        QVERIFY(clean.problemList()->isHidden());
        QVERIFY(child<QLabel>(clean, QStringLiteral("countLabel"))->text().contains(QStringLiteral("没有发现问题")));
    }

    void bothStepsLookFinished() {
        applyProgramLook();
        QString file = QStringLiteral("编码,名称,零售价（元）,数量,说明\r\n");
        for (int i = 1; i <= 24; ++i) {
            file += QStringLiteral("69012345%1,康师傅红烧牛肉面 %2 号,%3.5,%4,\"整箱, 24 袋\"\r\n")
                        .arg(i, 5, 10, QLatin1Char('0'))
                        .arg(i)
                        .arg(i + 2)
                        .arg(i * 3);
        }
        CImportDlg dlg(QStringLiteral("导入商品"), QStringLiteral("/home/shop/桌面/商品清单.csv"), goodsFields(),
                       gbkBytes(file));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        checkNothingCut(dlg);
        keepPicture(dlg, QStringLiteral("import-columns.png"));
        dlg.setEncoding(TextEncoding::Utf8);
        dlg.setColumn(1, -1);
        dlg.accept();
        QVERIFY(!dlg.problem().isEmpty());
        QApplication::processEvents();
        checkNothingCut(dlg);
        keepPicture(dlg, QStringLiteral("import-refused.png"));

        std::vector<ImportProblem> problems;
        for (int i = 0; i < 14; ++i) {
            problems.push_back({i * 7 + 2,
                                i % 3 ? QStringLiteral("零售价“%1元”不是数字，此行不导入").arg(i)
                                      : QStringLiteral("类别“饮品%1”不存在，归入默认类别").arg(i),
                                i % 3 != 0});
        }
        CImportReportDlg report(QStringLiteral("导入商品"),
                                QStringLiteral("将导入 990 行，共 100,000 件商品"), problems, true);
        report.show();
        QVERIFY(QTest::qWaitForWindowExposed(&report));
        checkNothingCut(report);
        keepPicture(report, QStringLiteral("import-report.png"));

        CImportReportDlg clean(QStringLiteral("导入会员"), QStringLiteral("将导入 120 位会员"), {}, true);
        clean.show();
        QVERIFY(QTest::qWaitForWindowExposed(&clean));
        checkNothingCut(clean);
        keepPicture(clean, QStringLiteral("import-report-clean.png"));
    }
};

QTEST_MAIN(TestKitImportDlg)
#include "test_importdlg.moc"
