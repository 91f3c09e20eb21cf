// The spreadsheet writer: CSV bytes exactly as Excel and WPS open them, XLSX
// workbooks with the cells, styles, widths and worksheets we mean, and no file
// left behind by a write that failed or was abandoned.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <limits>

#include "kit/text/csv.h"
#include "kit/sheet/sheetwriter.h"
#include "xlsxread.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Everything in the folder, hidden files included.
QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The sample table both formats are tested with.
const QStringList kHeading = {QStringLiteral("商品编码"), QStringLiteral("名称, 规格"),
                              QStringLiteral("进货价(元)"), QStringLiteral("数量"), QStringLiteral("备注")};

std::vector<std::vector<SheetCell>> sampleRows() {
    return {
        {SheetCell::str(QStringLiteral("6901")), SheetCell::str(QStringLiteral("say \"hi\"")),
         SheetCell::money(12.25), SheetCell::num(3), SheetCell::str(QStringLiteral(" lead"))},
        {SheetCell::str(QStringLiteral("两行\n文字")), SheetCell::str(QStringLiteral("<a&b>")),
         SheetCell::money(-2.35), SheetCell::num(0.1), SheetCell::str(QString())},
        {SheetCell::str(QStringLiteral("x")),
         SheetCell::str(QStringLiteral("一个相当长的商品名称用来量列宽")), SheetCell::money(0.05),
         SheetCell::num(1e21), SheetCell::str(QStringLiteral("末"))},
    };
}

bool writeSample(SheetWriter& w) {
    if (!w.addHeading(kHeading)) return false;
    for (const auto& row : sampleRows())
        if (!w.addRow(row)) return false;
    return true;
}

} // namespace

class TestSheetWriter : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }
    void cleanup() {
        setSheetRowLimitForTests(0);
        dir.reset();
    }

    void formatFollowsSuffix() {
        QCOMPARE(sheetFormatFor(QStringLiteral("/a/b.xlsx")), SheetFormat::Xlsx);
        QCOMPARE(sheetFormatFor(QStringLiteral("商品.XLSX")), SheetFormat::Xlsx);
        QCOMPARE(sheetFormatFor(QStringLiteral("b.csv")), SheetFormat::Csv);
        QCOMPARE(sheetFormatFor(QStringLiteral("b.xlsx.csv")), SheetFormat::Csv);
        QCOMPARE(sheetFormatFor(QStringLiteral("b")), SheetFormat::Csv);
    }

    // BOM, CRLF, the quoting of csvLine, money as the program shows it (halves
    // away from zero), plain numbers in their shortest exact text.
    void csvBytes() {
        const QString path = dir->filePath(QStringLiteral("t.csv"));
        QString error;
        auto w = openSheet(path, QStringLiteral("ignored"), &error);
        QVERIFY2(w, qPrintable(error));
        QVERIFY(writeSample(*w));
        QVERIFY(w->addRow({SheetCell::money(std::numeric_limits<double>::infinity()),
                           SheetCell::money(0.04999), SheetCell::num(-7)}));
        // Whole numbers in digits, as the import reads them back.
        QVERIFY(w->addRow({SheetCell::num(100000000), SheetCell::num(-2000000), SheetCell::num(1e14)}));
        QVERIFY(w->startSheet(QStringLiteral("第二部分")));
        QVERIFY(w->addRow({SheetCell::num(1.5)}));
        QVERIFY(w->finish());
        const QByteArray expected =
            QByteArray("\xEF\xBB\xBF") + QStringLiteral("商品编码,\"名称, 规格\",进货价(元),数量,备注\r\n"
                                                        "6901,\"say \"\"hi\"\"\",12.3,3,\" lead\"\r\n"
                                                        "\"两行\n文字\",<a&b>,-2.4,0.1,\r\n"
                                                        "x,一个相当长的商品名称用来量列宽,0.1,1e+21,末\r\n"
                                                        "0.0,0.0,-7\r\n"
                                                        "100000000,-2000000,100000000000000\r\n"
                                                        "\r\n"
                                                        "第二部分\r\n"
                                                        "1.5\r\n")
                                             .toUtf8();
        QCOMPARE(readAll(path), expected);
        QCOMPARE(entries(dir->path()), QStringList{QStringLiteral("t.csv")});
    }

    // What the importer reads back is what went in, field for field.
    void csvReadsBack() {
        const QString path = dir->filePath(QStringLiteral("r.csv"));
        QVERIFY(writeSheet(
            path, QString(), kHeading, sampleRows().size(),
            [](size_t i, std::vector<SheetCell>& cells) { cells = sampleRows()[i]; }, {}, nullptr));
        const QByteArray bytes = readAll(path);
        QCOMPARE(detectEncoding(bytes), TextEncoding::Utf8);
        bool ok = false;
        const std::vector<CsvRecord> records = parseCsv(decodeText(bytes, TextEncoding::Utf8, &ok));
        QVERIFY(ok);
        QCOMPARE(records.size(), size_t(4));
        QCOMPARE(records[0].fields, kHeading);
        QCOMPARE(records[1].fields, (QStringList{"6901", "say \"hi\"", "12.3", "3", " lead"}));
        QCOMPARE(records[2].fields, (QStringList{QStringLiteral("两行\n文字"), "<a&b>", "-2.4", "0.1", ""}));
        QCOMPARE(records[2].line, 3);
        QCOMPARE(records[3].line, 5); // the line break inside the field counts
    }

    // Text a spreadsheet would run goes out behind an apostrophe, numbers stay
    // numbers, and reading the file gives back exactly the cells written.
    void csvGuardsFormulasAndReadsBack() {
        const QString path = dir->filePath(QStringLiteral("f.csv"));
        const std::vector<SheetCell> row = {
            SheetCell::str(QStringLiteral("=HYPERLINK(\"http://evil\",\"点\")")),
            SheetCell::str(QStringLiteral("+86 21")),
            SheetCell::str(QStringLiteral("-5")),
            SheetCell::str(QStringLiteral("@x")),
            SheetCell::str(QStringLiteral("\tA")),
            SheetCell::str(QStringLiteral("'quoted")),
            SheetCell::str(QStringLiteral("a=b")),
            SheetCell::money(-2.5),
            SheetCell::num(-7),
        };
        QString error;
        auto w = openSheet(path, QString(), &error);
        QVERIFY2(w, qPrintable(error));
        QVERIFY(w->addHeading({QStringLiteral("=h")}));
        QVERIFY(w->addRow(row));
        QVERIFY(w->startSheet(QStringLiteral("-title")));
        QVERIFY(w->finish());
        const QByteArray bytes = readAll(path);
        QCOMPARE(bytes, QByteArray("\xEF\xBB\xBF") +
                            QStringLiteral("'=h\r\n"
                                           "\"'=HYPERLINK(\"\"http://evil\"\",\"\"点\"\")\",'+86 21,'-5,'@x,'\tA,"
                                           "''quoted,a=b,-2.5,-7\r\n"
                                           "\r\n"
                                           "'-title\r\n")
                                .toUtf8());
        const std::vector<CsvRecord> back = parseCsv(decodeText(bytes, TextEncoding::Utf8));
        QCOMPARE(back.size(), size_t(3));
        QCOMPARE(back[0].fields, QStringList{QStringLiteral("=h")});
        QStringList expected;
        for (const SheetCell& c : row)
            expected << (c.kind == SheetCell::Kind::Text ? c.text : QString());
        expected[7] = QStringLiteral("-2.5");
        expected[8] = QStringLiteral("-7");
        QCOMPARE(back[1].fields, expected);
        QCOMPARE(back[2].fields, QStringList{QStringLiteral("-title")});
    }

    void xlsxCellsStylesAndWidths() {
        if (!haveUnzip()) QSKIP("unzip is not installed");
        const QString path = dir->filePath(QStringLiteral("t.xlsx"));
        QString error;
        auto w = openSheet(path, QStringLiteral("商品"), &error);
        QVERIFY2(w, qPrintable(error));
        QVERIFY(writeSample(*w));
        QVERIFY2(w->finish(), qPrintable(w->error()));
        w.reset();

        QVERIFY(zipIntact(path));
        QVERIFY(zipMembers(path).contains(QStringLiteral("xl/worksheets/sheet1.xml")));
        QCOMPARE(sheetNames(path), QStringList{QStringLiteral("商品")});
        const XlsxSheet s = readSheet(path, 1);
        const std::vector<XlsxStyle> styles = readStyles(path);
        auto style = [&](int r, int c) { return styles.at(static_cast<size_t>(s.cell(r, c).style)); };

        QCOMPARE(s.texts(1), kHeading);
        for (int c = 0; c < kHeading.size(); ++c)
            QVERIFY(style(1, c).bold);
        QCOMPARE(s.frozenRows, 1);

        // Text is text (a code keeps its digits as typed), numbers are numbers.
        QCOMPARE(s.cell(2, 0).type, QStringLiteral("inlineStr"));
        QCOMPARE(s.cell(2, 0).value, QStringLiteral("6901"));
        QCOMPARE(s.cell(2, 1).value, QStringLiteral("say \"hi\""));
        QCOMPARE(s.cell(3, 0).value, QStringLiteral("两行\n文字"));
        QCOMPARE(s.cell(3, 1).value, QStringLiteral("<a&b>"));
        QCOMPARE(s.cell(2, 4).value, QStringLiteral(" lead"));
        QVERIFY(!s.rows.value(3).contains(4)); // an empty text is no cell

        // Money holds the amount the program shows (one decimal, halves away
        // from zero), so a sum in the spreadsheet adds what the lists show.
        QCOMPARE(s.cell(2, 2).type, QStringLiteral("n"));
        QCOMPARE(s.cell(2, 2).value.toDouble(), 12.3);
        QCOMPARE(s.cell(3, 2).value.toDouble(), -2.4);
        QCOMPARE(style(2, 2).numFmt, QStringLiteral("0.0"));
        QVERIFY(!style(2, 2).bold);
        QCOMPARE(s.cell(2, 3).value.toDouble(), 3.0);
        QCOMPARE(style(2, 3).numFmt, QStringLiteral("General"));
        QCOMPARE(s.cell(4, 3).value.toDouble(), 1e21);

        // Widths follow the texts: the long Chinese name's column is the widest,
        // none is narrower than its bold heading.
        QCOMPARE(s.widths.size(), kHeading.size());
        for (int c = 1; c <= kHeading.size(); ++c) {
            QVERIFY(s.widths[c] >= 6);
            QVERIFY(s.widths[c] <= 61);
        }
        QVERIFY(s.widths[2] >= 30); // 15 Chinese characters
        QVERIFY(s.widths[1] >= 9);  // "商品编码"
        QVERIFY(s.widths[2] > s.widths[4]);
        QCOMPARE(entries(dir->path()), QStringList{QStringLiteral("t.xlsx")});
    }

    // Several tables in one workbook: one worksheet each, named after the title
    // as far as Excel allows, the title in bold above the table.
    void xlsxSeveralSheets() {
        if (!haveUnzip()) QSKIP("unzip is not installed");
        const QString path = dir->filePath(QStringLiteral("s.xlsx"));
        auto w = openSheet(path, QStringLiteral("unused"), nullptr);
        QVERIFY(w);
        QVERIFY(w->startSheet(QStringLiteral("年度-销售额折线图")));
        QVERIFY(w->addHeading({QStringLiteral("月份"), QStringLiteral("2011年售额")}));
        QVERIFY(w->addRow({SheetCell::num(1), SheetCell::money(10.5)}));
        QVERIFY(w->startSheet(QStringLiteral("a/b:c?[d]*'")));
        QVERIFY(w->startSheet(QStringLiteral("年度-销售额折线图")));
        QVERIFY(w->startSheet(
            QStringLiteral("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三")));
        QVERIFY(w->finish());

        QCOMPARE(
            sheetNames(path),
            (QStringList{QStringLiteral("年度-销售额折线图"), QStringLiteral("a_b_c__d__"),
                         QStringLiteral("年度-销售额折线图(2)"),
                         QStringLiteral("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一")}));
        const XlsxSheet first = readSheet(path, 1);
        const std::vector<XlsxStyle> styles = readStyles(path);
        QCOMPARE(first.texts(1), QStringList{QStringLiteral("年度-销售额折线图")});
        QVERIFY(styles.at(static_cast<size_t>(first.cell(1, 0).style)).bold);
        QCOMPARE(first.texts(2), (QStringList{QStringLiteral("月份"), QStringLiteral("2011年售额")}));
        QCOMPARE(first.frozenRows, 2);
        QCOMPARE(first.texts(3), (QStringList{"1", "10.5"}));
        // The title does not widen the first column to its own length.
        QVERIFY(first.widths.value(1) < 12);
        QCOMPARE(readSheet(path, 2).texts(1), QStringList{QStringLiteral("a/b:c?[d]*'")});
    }

    // Past a worksheet's last row the table goes on in a further one under the
    // same heading.
    void xlsxRowLimit() {
        if (!haveUnzip()) QSKIP("unzip is not installed");
        setSheetRowLimitForTests(3);
        const QString path = dir->filePath(QStringLiteral("l.xlsx"));
        QVERIFY(writeSheet(
            path, QStringLiteral("商品"), {QStringLiteral("编号")}, 5,
            [](size_t i, std::vector<SheetCell>& cells) { cells.push_back(SheetCell::num(double(i))); }, {},
            nullptr));
        QCOMPARE(sheetNames(path),
                 (QStringList{QStringLiteral("商品"), QStringLiteral("商品(2)"), QStringLiteral("商品(3)")}));
        const XlsxSheet a = readSheet(path, 1);
        const XlsxSheet b = readSheet(path, 2);
        const XlsxSheet c = readSheet(path, 3);
        QCOMPARE(a.rows.size(), 3);
        QCOMPARE(a.texts(3), QStringList{"1"});
        QCOMPARE(b.texts(1), QStringList{QStringLiteral("编号")});
        QCOMPARE(b.frozenRows, 1);
        QCOMPARE(b.texts(2), QStringList{"2"});
        QCOMPARE(b.texts(3), QStringList{"3"});
        QCOMPARE(c.rows.size(), 2);
        QCOMPARE(c.texts(2), QStringList{"4"});
    }

    void emptyWorkbookIsValid() {
        if (!haveUnzip()) QSKIP("unzip is not installed");
        const QString path = dir->filePath(QStringLiteral("e.xlsx"));
        auto w = openSheet(path, QStringLiteral("空"), nullptr);
        QVERIFY(w);
        QVERIFY(w->finish());
        QVERIFY(zipIntact(path));
        QCOMPARE(sheetNames(path), QStringList{QStringLiteral("空")});
    }

    void missingFolderGivesErrorAndNoFile_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("csv") << QStringLiteral("x.csv");
        QTest::newRow("xlsx") << QStringLiteral("x.xlsx");
    }
    void missingFolderGivesErrorAndNoFile() {
        QFETCH(QString, name);
        const QString path = dir->filePath(QStringLiteral("none/") + name);
        QString error;
        QVERIFY(!openSheet(path, QStringLiteral("s"), &error));
        QVERIFY(error.contains(QDir::toNativeSeparators(path)));
        error.clear();
        QVERIFY(!writeSheet(
            path, QStringLiteral("s"), kHeading, 1, [](size_t, std::vector<SheetCell>&) {}, {}, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFileInfo::exists(dir->filePath(QStringLiteral("none"))));
        QVERIFY(entries(dir->path()).isEmpty());
    }

    // A writer dropped half way, or one whose file cannot take the target's
    // place, leaves the old file as it was and no stray temporary file.
    void abandonedOrFailedWriteLeavesNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("csv") << QStringLiteral("old.csv");
        QTest::newRow("xlsx") << QStringLiteral("old.xlsx");
    }
    void abandonedOrFailedWriteLeavesNothing() {
        QFETCH(QString, name);
        const QString path = dir->filePath(name);
        writeFile(path, "old contents");
        {
            auto w = openSheet(path, QStringLiteral("s"), nullptr);
            QVERIFY(w);
            QVERIFY(writeSample(*w));
        }
        QCOMPARE(readAll(path), QByteArray("old contents"));
        QCOMPARE(entries(dir->path()), QStringList{name});

        // The target is a folder: nothing can be written there.
        const QString folder = dir->filePath(QStringLiteral("taken.") + QFileInfo(name).suffix());
        QVERIFY(QDir().mkdir(folder));
        QString error;
        QVERIFY(!writeSheet(
            folder, QStringLiteral("s"), kHeading, 3,
            [](size_t i, std::vector<SheetCell>& cells) { cells = sampleRows()[i]; }, {}, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(entries(dir->path()), QStringList{name});
    }

    void replacesAnExistingFile() {
        const QString path = dir->filePath(QStringLiteral("again.csv"));
        writeFile(path, "a much longer old content that must not survive at the end");
        QVERIFY(writeSheet(
            path, QString(), {QStringLiteral("a")}, 0, [](size_t, std::vector<SheetCell>&) {}, {}, nullptr));
        QCOMPARE(readAll(path), QByteArray("\xEF\xBB\xBF"
                                           "a\r\n"));
    }

    void progressRunsUpTo100() {
        QList<int> seen;
        const QString path = dir->filePath(QStringLiteral("p.csv"));
        QVERIFY(writeSheet(
            path, QString(), {QStringLiteral("n")}, 250,
            [](size_t i, std::vector<SheetCell>& cells) { cells.push_back(SheetCell::num(double(i))); },
            [&seen](int p) { seen << p; }, nullptr));
        QVERIFY(!seen.isEmpty());
        QCOMPARE(seen.first(), 0);
        QCOMPARE(seen.last(), 100);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE(seen.count(100), 1); // 100 only once the file is complete
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
};

QTEST_MAIN(TestSheetWriter)
#include "test_sheetwriter.moc"
