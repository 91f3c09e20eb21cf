// Reading CSV files as Excel and WPS save them: the encoding of the bytes, the
// records and the file lines they start on, and lines written back out.
#include <QStringEncoder>
#include <QtTest>

#include "kit/text/csv.h"

using namespace vorn::ui;

namespace {

const QString kSample = QStringLiteral("商品编码,商品名称,零售价\r\nA001,可口可乐（罐装）,3.5\r\nA002,康师傅红烧牛肉面,4\r\n");

QByteArray gbkBytes(const QString& text) {
    QStringEncoder enc("GBK");
    QByteArray out = enc.encode(text);
    Q_ASSERT(!enc.hasError());
    return out;
}

QByteArray withBom(const QByteArray& bytes) { return QByteArray("\xEF\xBB\xBF") + bytes; }

QList<QStringList> fieldsOf(const std::vector<CsvRecord>& records) {
    QList<QStringList> out;
    for (const CsvRecord& r : records) out << r.fields;
    return out;
}

QList<int> linesOf(const std::vector<CsvRecord>& records) {
    QList<int> out;
    for (const CsvRecord& r : records) out << r.line;
    return out;
}

} // namespace

class TestKitCsv : public QObject {
    Q_OBJECT
private slots:
    void gbkAndUtf8OfOneTextReadAlike() {
        const QByteArray utf8 = kSample.toUtf8();
        const QByteArray gbk = gbkBytes(kSample);
        QVERIFY(utf8 != gbk);
        QCOMPARE(detectEncoding(utf8), TextEncoding::Utf8);
        QCOMPARE(detectEncoding(gbk), TextEncoding::Gbk);
        bool ok = false;
        QCOMPARE(decodeText(utf8, TextEncoding::Utf8, &ok), kSample);
        QVERIFY(ok);
        ok = false;
        QCOMPARE(decodeText(gbk, TextEncoding::Gbk, &ok), kSample);
        QVERIFY(ok);
        const auto a = parseCsv(decodeText(utf8, detectEncoding(utf8)));
        const auto b = parseCsv(decodeText(gbk, detectEncoding(gbk)));
        QCOMPARE(fieldsOf(a), fieldsOf(b));
        QCOMPARE(a.size(), size_t(3));
        QCOMPARE(a[1].fields.value(1), QStringLiteral("可口可乐（罐装）"));
    }

    void byteOrderMarkIsLeftOut() {
        const QByteArray bom = withBom(kSample.toUtf8());
        QCOMPARE(detectEncoding(bom), TextEncoding::Utf8);
        bool ok = false;
        QCOMPARE(decodeText(bom, TextEncoding::Utf8, &ok), kSample);
        QVERIFY(ok);
        // The first heading must not carry the mark, or it would match no field.
        QCOMPARE(parseCsv(decodeText(bom, TextEncoding::Utf8)).front().fields.front(),
                 QStringLiteral("商品编码"));
        // A mark alone, or before ASCII only, is still UTF-8.
        QCOMPARE(detectEncoding(withBom("a,b")), TextEncoding::Utf8);
        QCOMPARE(decodeText(withBom(""), TextEncoding::Utf8), QString());
        // Without a mark, plain ASCII and empty files are UTF-8 too.
        QCOMPARE(detectEncoding("code,name\n1,2\n"), TextEncoding::Utf8);
        QCOMPARE(detectEncoding(QByteArray()), TextEncoding::Utf8);
        // Forcing GBK on a marked file still leaves the mark out.
        QCOMPARE(decodeText(withBom("a,b"), TextEncoding::Gbk), QStringLiteral("a,b"));
    }

    void invalidBytesAreFlagged() {
        bool ok = true;
        QString text = decodeText(gbkBytes(kSample), TextEncoding::Utf8, &ok);
        QVERIFY(!ok);
        QVERIFY(text.contains(QChar(QChar::ReplacementCharacter)));

        // 0xFF is no GBK byte, and a lead byte needs a trail byte after it.
        ok = true;
        text = decodeText(QByteArray("a\xFF" "b"), TextEncoding::Gbk, &ok);
        QVERIFY(!ok);
        QCOMPARE(text, QStringLiteral("a\uFFFDb"));
        ok = true;
        text = decodeText(gbkBytes(QStringLiteral("商品")) + QByteArray("\xC9"), TextEncoding::Gbk, &ok);
        QVERIFY(!ok);
        QCOMPARE(text, QStringLiteral("商品\uFFFD"));
        ok = true;
        text = decodeText(QByteArray("\xC9" "\x0A" "x"), TextEncoding::Gbk, &ok);
        QVERIFY(!ok);
        QCOMPARE(text, QStringLiteral("\uFFFD\nx"));

        // UTF-8 cut off inside a character at the end of the file.
        const QByteArray cut = QStringLiteral("名称").toUtf8().chopped(1);
        ok = true;
        decodeText(cut, TextEncoding::Utf8, &ok);
        QVERIFY(!ok);
        QCOMPARE(detectEncoding(cut), TextEncoding::Gbk);
    }

    void quotedFieldsHoldCommasQuotesAndLineBreaks() {
        const QString text = QStringLiteral("编码,名称,备注\n"
                                            "A1,\"雪碧, 大瓶\",\"他说\"\"好喝\"\"\"\n"
                                            "A2,芬达,\"第一行\n第二行\r\n第三行\"\n"
                                            "A3,\"\",\"\"\"\"\n");
        const auto records = parseCsv(text);
        QCOMPARE(fieldsOf(records),
                 (QList<QStringList>{{QStringLiteral("编码"), QStringLiteral("名称"), QStringLiteral("备注")},
                                     {QStringLiteral("A1"), QStringLiteral("雪碧, 大瓶"),
                                      QStringLiteral("他说\"好喝\"")},
                                     {QStringLiteral("A2"), QStringLiteral("芬达"),
                                      QStringLiteral("第一行\n第二行\n第三行")},
                                     {QStringLiteral("A3"), QString(), QStringLiteral("\"")}}));
        // A3 starts on line 6: A2's remark spans lines 3 to 5.
        QCOMPARE(linesOf(records), (QList<int>{1, 2, 3, 6}));
    }

    void everyLineEndCounts() {
        const QStringList ends{QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r")};
        for (const QString& end : ends) {
            const QString text = QStringLiteral("a,b") + end + QStringLiteral("\"c") + end +
                                 QStringLiteral("d\",e") + end + end + QStringLiteral("f,g") + end;
            const auto records = parseCsv(text);
            QCOMPARE(fieldsOf(records),
                     (QList<QStringList>{{QStringLiteral("a"), QStringLiteral("b")},
                                         {QStringLiteral("c\nd"), QStringLiteral("e")},
                                         {QStringLiteral("f"), QStringLiteral("g")}}));
            QCOMPARE(linesOf(records), (QList<int>{1, 2, 5}));
        }
        // Mixed in one file, as after editing in two programs.
        const auto mixed = parseCsv(QStringLiteral("1\r\n2\n3\r4\n\r5"));
        QCOMPARE(linesOf(mixed), (QList<int>{1, 2, 3, 4, 6}));
        QCOMPARE(mixed.back().fields, QStringList{QStringLiteral("5")});
    }

    void emptyLinesAreLeftOut() {
        const auto records =
            parseCsv(QStringLiteral("\n\na,b\n,,\n  \n\"\",\"\"\nc,d,\n,x"));
        QCOMPARE(fieldsOf(records),
                 (QList<QStringList>{{QStringLiteral("a"), QStringLiteral("b")},
                                     {QStringLiteral("c"), QStringLiteral("d"), QString()},
                                     {QString(), QStringLiteral("x")}}));
        QCOMPARE(linesOf(records), (QList<int>{3, 7, 8}));
        QVERIFY(parseCsv(QString()).empty());
        QVERIFY(parseCsv(QStringLiteral("\r\n\r\n")).empty());
    }

    void unclosedQuoteRunsToTheEnd() {
        const auto records = parseCsv(QStringLiteral("x,y\na,\"bc\nd,e\n"));
        QCOMPARE(records.size(), size_t(2));
        QCOMPARE(records[1].fields, (QStringList{QStringLiteral("a"), QStringLiteral("bc\nd,e\n")}));
        QCOMPARE(records[1].line, 2);
    }

    void quotesInsideAFieldAreText() {
        // Only a quote that opens a field starts quoting; text after a closing quote is kept.
        const auto records = parseCsv(QStringLiteral("5\"屏,a\"b\"c,\"x\"y"));
        QCOMPARE(records.front().fields,
                 (QStringList{QStringLiteral("5\"屏"), QStringLiteral("a\"b\"c"), QStringLiteral("xy")}));
    }

    void writtenLinesReadBack() {
        const QList<QStringList> rows{
            {QStringLiteral("A001"), QStringLiteral("雪碧"), QStringLiteral("3.5")},
            {QStringLiteral("a,b"), QStringLiteral("他说\"好\""), QStringLiteral("两行\n文字")},
            {QString(), QStringLiteral(" 前后空格 "), QStringLiteral("\"")},
            {QStringLiteral("x"), QString(), QString()},
        };
        QCOMPARE(csvLine(rows[0]), QStringLiteral("A001,雪碧,3.5"));
        QCOMPARE(csvLine(rows[1]), QStringLiteral("\"a,b\",\"他说\"\"好\"\"\",\"两行\n文字\""));
        QCOMPARE(csvLine({QStringLiteral("a\rb")}), QStringLiteral("\"a\rb\""));
        QString file;
        for (const QStringList& r : rows) file += csvLine(r) + QStringLiteral("\r\n");
        const auto back = parseCsv(file);
        QCOMPARE(fieldsOf(back), rows);
        QCOMPARE(linesOf(back), (QList<int>{1, 2, 4, 5}));
    }

    void formulaGuard_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("guarded");
        QTest::newRow("hyperlink") << "=HYPERLINK(\"http://x\",\"点我\")" << "'=HYPERLINK(\"http://x\",\"点我\")";
        QTest::newRow("plus") << "+1+1" << "'+1+1";
        QTest::newRow("minus") << "-2" << "'-2";
        QTest::newRow("at") << "@SUM(A1)" << "'@SUM(A1)";
        QTest::newRow("tab") << "\t=1" << "'\t=1";
        QTest::newRow("cr") << "\r=1" << "'\r=1";
        QTest::newRow("lf") << "\n=1" << "'\n=1";
        QTest::newRow("apostrophe") << "'x" << "''x";
        QTest::newRow("guarded already") << "'=x" << "''=x";
        QTest::newRow("lone apostrophe") << "'" << "''";
        QTest::newRow("plain") << "可乐=3" << "可乐=3";
        QTest::newRow("inner sign") << "A-1" << "A-1";
        QTest::newRow("blank first") << " =1" << " =1";
        QTest::newRow("empty") << "" << "";
    }

    // Guarding, and reading back through parseCsv, is exact: what went out
    // reads back as it was, whatever it started with.
    void formulaGuard() {
        QFETCH(QString, text);
        QFETCH(QString, guarded);
        QCOMPARE(guardFormulaText(text), guarded);
        QCOMPARE(unguardFormulaText(guarded), text);
        const auto back = parseCsv(csvLine({QStringLiteral("A1"), guardFormulaText(text), QStringLiteral("x")}));
        QCOMPARE(back.size(), size_t(1));
        // A carriage return inside a quoted field reads as "\n", as every line break does.
        QString expected = text;
        expected.replace(u'\r', u'\n');
        QCOMPARE(back[0].fields, (QStringList{QStringLiteral("A1"), expected, QStringLiteral("x")}));
    }

    void anApostropheBeforeOtherTextIsKept() {
        // Files from elsewhere: only the guard the export writes is taken off.
        const auto records = parseCsv(QStringLiteral("'00123,'abc,\"'=x\",''\n"));
        QCOMPARE(records.front().fields, (QStringList{QStringLiteral("'00123"), QStringLiteral("'abc"),
                                                      QStringLiteral("=x"), QStringLiteral("'")}));
    }

    void controlCharacters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("none") << QStringLiteral("可乐 330ml") << QString() << QStringLiteral("可乐 330ml");
        QTest::newRow("nul") << QStringLiteral("可乐") + QChar(0) + QStringLiteral("罐") << "NUL"
                             << QStringLiteral("可乐罐");
        QTest::newRow("tab") << "A\tB" << QStringLiteral("制表符") << "A B";
        QTest::newRow("breaks") << "a\r\nb\nc" << QStringLiteral("换行") << "a b c";
        QTest::newRow("unicode breaks") << QStringLiteral("a\u2028b\u2029c") << QStringLiteral("换行")
                                        << "a b c";
        QTest::newRow("scanner prefix") << "\x1b]C1\x1d" "6901\x10\x0c" << "ESC、GS、DLE、FF" << "]C16901";
        QTest::newRow("del and c1") << QStringLiteral("x\u007Fy\u0085z\u009F") << "DEL、U+0085、U+009F"
                                    << "xyz";
        QTest::newRow("ends") << "\t\tmid\n" << QStringLiteral("制表符、换行") << "mid";
        QTest::newRow("only") << "\x01\x02" << "SOH、STX" << "";
        // Look-alikes that are printable stay.
        QTest::newRow("printable") << QStringLiteral("\u00A0\u3000\u00A5") << QString()
                                   << QStringLiteral("\u00A0\u3000\u00A5");
    }

    void controlCharacters() {
        QFETCH(QString, text);
        QFETCH(QString, names);
        QFETCH(QString, cleaned);
        QCOMPARE(hasControlCharacters(text), !names.isEmpty());
        QCOMPARE(controlCharacterNames(text), names);
        QCOMPARE(withoutControlCharacters(text), cleaned);
        QVERIFY(!hasControlCharacters(withoutControlCharacters(text)));
    }

    void multiLineFieldsKeepTheirLineBreaks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("lf") << "a\nb" << QString() << "a\nb";
        QTest::newRow("crlf and cr") << "a\r\nb\rc" << QString() << "a\nb\nc";
        QTest::newRow("unicode") << QStringLiteral("a\u2028b") << QString() << "a\nb";
        QTest::newRow("tab") << "a\tb\n\tc" << QStringLiteral("制表符") << "a b\nc";
        QTest::newRow("nul") << QStringLiteral("a") + QChar(0) + QStringLiteral("\nb") << "NUL" << "a\nb";
    }

    void multiLineFieldsKeepTheirLineBreaks() {
        QFETCH(QString, text);
        QFETCH(QString, names);
        QFETCH(QString, cleaned);
        QCOMPARE(hasControlCharacters(text, LineBreaks::Kept), !names.isEmpty());
        QCOMPARE(controlCharacterNames(text, LineBreaks::Kept), names);
        QCOMPARE(withoutControlCharacters(text, LineBreaks::Kept), cleaned);
        // One-line fields never keep them.
        QVERIFY(!withoutControlCharacters(text).contains(u'\n'));
    }

    void everyControlCharacterIsKnown() {
        for (char16_t u = 0; u < 0x3000; ++u) {
            const bool control = u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
            QCOMPARE(isControlCharacter(QChar(u)), control);
            if (control) QVERIFY(!controlCharacterNames(QString(QChar(u))).isEmpty());
        }
    }

    void manyLinesKeepTheirNumbers() {
        // Every third record spans two lines; the last must still know its line.
        QString text;
        int line = 1;
        int lastLine = 0;
        for (int i = 0; i < 30000; ++i) {
            lastLine = line;
            if (i % 3 == 0) {
                text += QStringLiteral("%1,\"上\n下\"\n").arg(i);
                line += 2;
            } else {
                text += QStringLiteral("%1,名称%1\n").arg(i);
                line += 1;
            }
        }
        const auto records = parseCsv(text);
        QCOMPARE(records.size(), size_t(30000));
        QCOMPARE(records.back().line, lastLine);
        QCOMPARE(records.back().fields, (QStringList{QStringLiteral("29999"), QStringLiteral("名称29999")}));
        QCOMPARE(records[3].fields.value(1), QStringLiteral("上\n下"));
    }
};

QTEST_MAIN(TestKitCsv)
#include "test_csv.moc"
