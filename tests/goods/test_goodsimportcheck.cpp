// Checking the lines of a goods file and writing what passed: the rules of
// every field, the mapping of the usual headings, and the one transaction.
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>
#include <algorithm>
#include <string>

#include "goodscells.h"
#include "goodsexport.h"
#include "goodsfixture.h"
#include "goodsimport.h"
#include "goodsimportcheck.h"
#include "goodslimits.h"
#include "kit/text/csv.h"
#include "kit/text/gbk.h"
#include "kit/sheet/importdlg.h"
#include "vorn/sqltext.h"

using namespace vorn::ui;
using vorn::ui::test::GoodsFixture;

namespace {

// The file's headings as the goods export writes them, with columns the import ignores.
const QString kHeading = QStringLiteral(
    "商品编码,商品名称,类型,规格,进货价(元),零售价(元),普通会员价(元),金卡会员价(元),批发价(元),特价(元),"
    "入库时间,实售价(元),售出时间,商品状态,数量,供货商,备注");

// Records of a file in the encoding it was written in, mapped by its headings.
struct Parsed {
    std::vector<CsvRecord> records;
    std::vector<int> mapping;
};

Parsed parse(const QByteArray& bytes) {
    const QString text = decodeText(bytes, detectEncoding(bytes));
    std::vector<CsvRecord> all = parseCsv(text);
    Parsed p;
    p.mapping = mapHeadings(goodsImportFields(), all.front().fields);
    p.records.assign(all.begin() + 1, all.end());
    return p;
}

QByteArray gbkBytes(const QString& text) {
    QStringEncoder enc("GBK");
    return enc.encode(text);
}

// A record with the given cells at the given fields, under the identity mapping.
CsvRecord line(int number, std::initializer_list<std::pair<int, QString>> cells) {
    CsvRecord r;
    r.line = number;
    for (int i = 0; i < GoodsImportFieldCount; ++i)
        r.fields << QString();
    for (const auto& [f, text] : cells)
        r.fields[f] = text;
    return r;
}

std::vector<int> identity() {
    std::vector<int> m(GoodsImportFieldCount);
    for (int i = 0; i < GoodsImportFieldCount; ++i)
        m[static_cast<size_t>(i)] = i;
    return m;
}

void compareUnits(const vorn::SRec& a, const vorn::SRec& b) {
    QCOMPARE(a.FSs_Code, b.FSs_Code);
    QCOMPARE(a.FSs_Name, b.FSs_Name);
    QCOMPARE(a.FSi_Type, b.FSi_Type);
    QCOMPARE(a.FSs_Size, b.FSs_Size);
    QCOMPARE(a.FSd_OriP, b.FSd_OriP);
    QCOMPARE(a.FSd_RetP, b.FSd_RetP);
    QCOMPARE(a.FSd_MemP, b.FSd_MemP);
    QCOMPARE(a.FSd_GolP, b.FSd_GolP);
    QCOMPARE(a.FSd_WhoP, b.FSd_WhoP);
    QCOMPARE(a.FSd_SpeP, b.FSd_SpeP);
    QCOMPARE(a.FSi_Supplier, b.FSi_Supplier);
    QCOMPARE(a.FSs_Remark, b.FSs_Remark);
}

} // namespace

class TestGoodsImportCheck : public QObject {
    Q_OBJECT

private:
    GoodsImportCheck checkOne(const CsvRecord& r) {
        return checkGoodsImport({r}, identity(), fx.shell->st.types, fx.shell->st.suppliers);
    }
    int drinks = 0;
    int acme = 0;
    GoodsFixture fx;

private slots:
    void init() {
        fx.setUp();
        QCOMPARE(fx.core().exec_sql(("INSERT INTO Type VALUES(NULL,'" + gbk(QStringLiteral("饮料")) +
                                     "');INSERT INTO Supplier VALUES(NULL,'ACME');")
                                        .c_str()),
                 0);
        QVERIFY(fx.shell->st.loadTypesAndSuppliers());
        drinks = fx.shell->st.types.back().FTi_Id;
        acme = fx.shell->st.suppliers.back().FSPi_Id;
    }
    void cleanup() { fx.tearDown(); }

    void exportHeadingsAndCommonOnesMapThemselves() {
        const std::vector<ImportField> fields = goodsImportFields();
        QCOMPARE(static_cast<int>(fields.size()), int(GoodsImportFieldCount));
        for (int f = 0; f < GoodsImportFieldCount; ++f)
            QCOMPARE(fields[static_cast<size_t>(f)].caption, goodsImportCaption(f));
        QVERIFY(fields[GiCode].required);

        const std::vector<int> exported = mapHeadings(fields, kHeading.split(u','));
        const std::vector<int> expected = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 14, 15, 16};
        QCOMPARE(exported, expected);

        const QStringList other =
            QStringLiteral("条码,品名,分类,型号,进价,售价,会员价,金卡价,批发价,特价,库存,供应商,说明")
                .split(u',');
        std::vector<int> inOrder(GoodsImportFieldCount);
        for (int i = 0; i < GoodsImportFieldCount; ++i)
            inOrder[static_cast<size_t>(i)] = i;
        QCOMPARE(mapHeadings(fields, other), inOrder);
    }

    void anExportedFileReadsBackAsTheSameGoods() {
        std::vector<vorn::SRec> units;
        for (int i = 0; i < 3; ++i) {
            vorn::SRec u = GoodsFixture::unit("69000" + std::to_string(i), 1.5 + i, 3.2 + i);
            u.FSs_Name = gbk(QStringLiteral("统一冰红茶%1").arg(i));
            u.FSs_Size = gbk(QStringLiteral("500毫升"));
            u.FSd_GolP = 2.9;
            u.FSd_SpeP = 0.0;
            u.FSi_Type = i == 1 ? drinks : 1;
            u.FSi_Supplier = i == 2 ? acme : 1;
            u.FSs_Remark = gbk(QStringLiteral("整箱, \"冷藏\"\n第二行"));
            units.push_back(u);
        }
        // Texts a spreadsheet would run as formulas go out guarded and come back whole.
        vorn::SRec f = GoodsFixture::unit("-6901", 1.0, 2.0);
        f.FSs_Name = gbk(QStringLiteral("=HYPERLINK(\"http://x.example\",\"点我\")"));
        f.FSs_Size = "+1";
        f.FSs_Remark = gbk(QStringLiteral("@备注"));
        units.push_back(f);
        vorn::SRec q = GoodsFixture::unit("'A", 1.0, 2.0);
        q.FSs_Name = gbk(QStringLiteral("'=引号在前"));
        q.FSs_Remark = "=1+1";
        units.push_back(q);
        const QString path = fx.path(QStringLiteral("export.csv"));
        QString error;
        QVERIFY(writeRecordSheet(path, goodsSheet(fx.shell->st.types, fx.shell->st.suppliers), units, {}, &error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        for (const char* guarded : {"'-6901,\"'=HYPERLINK(", ",'+1,", ",'@备注", "''A,''=引号在前", ",'=1+1"})
            QVERIFY2(bytes.contains(guarded), guarded);
        const Parsed p = parse(bytes);
        const GoodsImportCheck c =
            checkGoodsImport(p.records, p.mapping, fx.shell->st.types, fx.shell->st.suppliers);
        QVERIFY(c.problems.empty());
        QCOMPARE(c.lines.size(), units.size());
        for (size_t i = 0; i < units.size(); ++i) {
            compareUnits(c.lines[i].unit, units[i]);
            QCOMPARE(c.lines[i].quantity, 1); // one row of the list is one unit
        }
    }

    void gbkAndUtf8FilesGiveTheSameUnits() {
        const QString text =
            kHeading + QStringLiteral("\r\n") +
            QStringLiteral(
                "6901234567892,农夫山泉矿泉水,饮料,550毫升,1.2,2,1.8,,,,,,,,24,ACME,\"整箱, 进货\"\r\n"
                "6901234567893,康师傅红烧牛肉面,零食,桶装,2.5,4.5,4,3.9,3.5,3,,,,,3,,\r\n");
        const Parsed utf8 = parse(text.toUtf8());
        const Parsed bom = parse(QByteArray("\xEF\xBB\xBF") + text.toUtf8());
        const Parsed gbkFile = parse(gbkBytes(text));
        QCOMPARE(detectEncoding(gbkBytes(text)), TextEncoding::Gbk);

        const auto& st = fx.shell->st;
        const GoodsImportCheck a = checkGoodsImport(utf8.records, utf8.mapping, st.types, st.suppliers);
        for (const Parsed* p : {&bom, &gbkFile}) {
            const GoodsImportCheck b = checkGoodsImport(p->records, p->mapping, st.types, st.suppliers);
            QCOMPARE(b.lines.size(), a.lines.size());
            for (size_t i = 0; i < a.lines.size(); ++i) {
                compareUnits(b.lines[i].unit, a.lines[i].unit);
                QCOMPARE(b.lines[i].quantity, a.lines[i].quantity);
            }
        }
        QCOMPARE(a.lines.size(), size_t(2));
        QCOMPARE(a.units, 27);
        const vorn::SRec& water = a.lines[0].unit;
        QCOMPARE(fromGbk(water.FSs_Name), QStringLiteral("农夫山泉矿泉水"));
        QCOMPARE(water.FSi_Type, drinks);
        QCOMPARE(water.FSi_Supplier, acme);
        QCOMPARE(fromGbk(water.FSs_Remark), QStringLiteral("整箱, 进货"));
        QCOMPARE(water.FSd_MemP, 1.8);
        QCOMPARE(water.FSd_GolP, 2.0); // empty: the retail price
        // The unknown type of the second line is a note on line 3; it is entered.
        QCOMPARE(a.problems.size(), size_t(1));
        QCOMPARE(a.problems[0].line, 3);
        QVERIFY(!a.problems[0].skipped);
        QCOMPARE(a.lines[1].unit.FSi_Type, 1);
    }

    void prices_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("good");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "12.5" << true << 12.5;
        QTest::newRow("blanks") << "  7 " << true << 7.0;
        QTest::newRow("no fraction digits") << "12." << true << 12.0;
        QTest::newRow("no integer digits") << ".5" << true << 0.5;
        QTest::newRow("thousands") << "1,234.5" << true << 1234.5;
        QTest::newRow("yen sign") << "¥3.5" << true << 3.5;
        QTest::newRow("full-width yen, yuan") << "￥ 8元" << true << 8.0;
        QTest::newRow("zero") << "0" << true << 0.0;
        QTest::newRow("largest") << "99999999.9" << true << 99999999.9;
        QTest::newRow("too large") << "100000000" << false << 0.0;
        QTest::newRow("negative") << "-1" << false << 0.0;
        QTest::newRow("word") << "abc" << false << 0.0;
        QTest::newRow("trailing word") << "12abc" << false << 0.0;
        QTest::newRow("two dots") << "1.2.3" << false << 0.0;
        QTest::newRow("exponent") << "1e3" << false << 0.0;
        QTest::newRow("bad grouping") << "1,23" << false << 0.0;
        QTest::newRow("dot only") << "." << false << 0.0;
        QTest::newRow("full-width digits") << "１２" << false << 0.0;
    }
    void prices() {
        QFETCH(QString, cell);
        QFETCH(bool, good);
        QFETCH(double, value);
        // The same cell in each of the six price columns.
        for (int f = GiOriP; f <= GiSpeP; ++f) {
            const GoodsImportCheck c = checkOne(line(7, {{GiCode, "A1"}, {f, cell}}));
            if (good) {
                QCOMPARE(c.lines.size(), size_t(1));
                QVERIFY(c.problems.empty());
                double vorn::SRec::*prices[] = {&vorn::SRec::FSd_OriP, &vorn::SRec::FSd_RetP,
                                                &vorn::SRec::FSd_MemP, &vorn::SRec::FSd_GolP,
                                                &vorn::SRec::FSd_WhoP, &vorn::SRec::FSd_SpeP};
                QCOMPARE(c.lines[0].unit.*prices[f - GiOriP], value);
            } else {
                QVERIFY(c.lines.empty());
                QCOMPARE(c.skipped, 1);
                QCOMPARE(c.problems.size(), size_t(1));
                QCOMPARE(c.problems[0].line, 7);
                QVERIFY(c.problems[0].skipped);
                QVERIFY2(c.problems[0].text.startsWith(QStringLiteral("\"%1\"").arg(goodsImportCaption(f))),
                         qPrintable(c.problems[0].text));
            }
        }
    }

    void emptyPricesReadAsTheEntryDialogReadsThem() {
        // No retail price: all are 0. A retail price alone: the four after it follow it.
        GoodsImportCheck c = checkOne(line(2, {{GiCode, "A1"}}));
        const vorn::SRec& bare = c.lines.at(0).unit;
        for (double p :
             {bare.FSd_OriP, bare.FSd_RetP, bare.FSd_MemP, bare.FSd_GolP, bare.FSd_WhoP, bare.FSd_SpeP})
            QCOMPARE(p, 0.0);
        c = checkOne(line(2, {{GiCode, "A1"}, {GiOriP, "3"}, {GiRetP, "5.5"}, {GiWhoP, "4"}}));
        const vorn::SRec& u = c.lines.at(0).unit;
        QCOMPARE(u.FSd_OriP, 3.0);
        QCOMPARE(u.FSd_MemP, 5.5);
        QCOMPARE(u.FSd_GolP, 5.5);
        QCOMPARE(u.FSd_WhoP, 4.0);
        QCOMPARE(u.FSd_SpeP, 5.5);
        // A new unit: in stock, never sold, the stock time left to the write.
        QCOMPARE(u.FSi_Flag, 0);
        QCOMPARE(u.FSd_ReaP, 0.0);
        QCOMPARE(u.FSt_StoT, int64_t(0));
        QCOMPARE(u.FSt_SalT, int64_t(0));
        QCOMPARE(u.FSi_Type, 1);
        QCOMPARE(u.FSi_Supplier, 1);
    }

    void quantities_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("quantity"); // 0: refused
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("blank") << "  " << 1;
        QTest::newRow("plain") << "3" << 3;
        QTest::newRow("spreadsheet number") << "3.00" << 3;
        QTest::newRow("thousands") << "1,200" << 1200;
        QTest::newRow("leading zeros") << "007" << 7;
        QTest::newRow("largest") << QString::number(kMaxImportQuantity) << kMaxImportQuantity;
        QTest::newRow("one too many") << QString::number(kMaxImportQuantity + 1) << 0;
        QTest::newRow("a code in the column") << "6901234567892" << 0;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("negative") << "-2" << 0;
        QTest::newRow("fraction") << "2.5" << 0;
        QTest::newRow("word") << "三" << 0;
    }
    void quantities() {
        QFETCH(QString, cell);
        QFETCH(int, quantity);
        const GoodsImportCheck c = checkOne(line(4, {{GiCode, "A1"}, {GiQuantity, cell}}));
        if (quantity > 0) {
            QCOMPARE(c.lines.size(), size_t(1));
            QCOMPARE(c.lines[0].quantity, quantity);
            QCOMPARE(c.units, static_cast<long long>(quantity));
        } else {
            QVERIFY(c.lines.empty());
            QCOMPARE(c.problems.size(), size_t(1));
            QVERIFY(c.problems[0].text.startsWith(QStringLiteral("\"数量\"")));
            QVERIFY(c.problems[0].skipped);
        }
    }

    void textsKeepToTheEntryDialogsLimits() {
        using namespace vorn::width;
        const int nameRoom = room(kStoreName), remarkRoom = room(kStoreRemark);
        const QString code28(room(kStoreCode), u'9');
        const QString name30 = QString(nameRoom / 2, QChar(0x5546)); // 商: two bytes each
        GoodsImportCheck c = checkOne(line(2, {{GiCode, code28},
                                               {GiName, name30},
                                               {GiSize, QString(6, QChar(0x5927))},
                                               {GiRemark, QString(remarkRoom, u'r')}}));
        QCOMPARE(c.lines.size(), size_t(1));
        QCOMPARE(c.lines[0].unit.FSs_Name.size(), size_t(nameRoom));

        struct Case {
            int field;
            QString text;
        } tooLong[] = {{GiCode, code28 + u'9'},
                       {GiName, name30 + u'x'},
                       {GiSize, QString(room(kStoreSize) + 1, u's')},
                       {GiRemark, QString(remarkRoom / 2 + 1, QChar(0x5907))}};
        for (const Case& k : tooLong) {
            CsvRecord r = line(5, {{GiCode, "A1"}});
            r.fields[k.field] = k.text;
            c = checkOne(r);
            QVERIFY(c.lines.empty());
            QCOMPARE(c.problems.size(), size_t(1));
            QVERIFY(c.problems[0].text.contains(goodsImportCaption(k.field)));
            QVERIFY(c.problems[0].text.contains(QStringLiteral("太长")));
        }
    }

    void charactersGbkCannotHoldRefuseTheLine() {
        const QString beer = QString::fromUcs4(U"\U0001F37A");
        const std::vector<CsvRecord> records = {
            line(2, {{GiCode, "A1"}, {GiName, QStringLiteral("啤酒") + beer}}),
            line(3, {{GiCode, "A2"}, {GiName, QStringLiteral("啤酒")}}),
            line(4,
                 {{GiCode, "A3"}, {GiRemark, QStringLiteral("\uFFFD")}}), // bytes the file's encoding lacked
        };
        const GoodsImportCheck c =
            checkGoodsImport(records, identity(), fx.shell->st.types, fx.shell->st.suppliers);
        QCOMPARE(c.lines.size(), size_t(1));
        QCOMPARE(c.lines[0].line, 3);
        QCOMPARE(c.skipped, 2);
        QCOMPARE(c.problems.size(), size_t(2));
        QCOMPARE(c.problems[0].line, 2);
        QCOMPARE(c.problems[0].text, QStringLiteral("\"商品名称\"含有无法保存的字符"));
        QCOMPARE(c.problems[1].text, QStringLiteral("\"备注\"含有无法保存的字符"));
        // In the type column it only names no type: the fallback, with a note.
        const GoodsImportCheck t = checkOne(line(6, {{GiCode, "A1"}, {GiType, beer}}));
        QCOMPARE(t.lines.size(), size_t(1));
        QCOMPARE(t.lines[0].unit.FSi_Type, 1);
        QVERIFY(!t.problems.at(0).skipped);
    }

    void controlCharactersRefuseACodeAndLeaveOtherTexts_data() {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<QString>("name");     // as the report names it
        QTest::addColumn<QString>("oneLine");  // "可?乐" as a name is entered
        QTest::addColumn<QString>("multiLine"); // "备?注" as a remark is entered
        const QString blank = QStringLiteral("可 乐"), gone = QStringLiteral("可乐");
        const QString kept = QStringLiteral("备\n注"), dropped = QStringLiteral("备注");
        QTest::newRow("NUL") << QString(QChar(0)) << "NUL" << gone << dropped;
        QTest::newRow("tab") << "\t" << QStringLiteral("制表符") << blank << QStringLiteral("备 注");
        QTest::newRow("ESC") << "\x1b" << "ESC" << gone << dropped;
        QTest::newRow("GS") << "\x1d" << "GS" << gone << dropped;
        QTest::newRow("DLE") << "\x10" << "DLE" << gone << dropped;
        QTest::newRow("FF") << "\x0c" << "FF" << gone << dropped;
        QTest::newRow("LF") << "\n" << QStringLiteral("换行") << blank << kept;
        QTest::newRow("CR") << "\r" << QStringLiteral("换行") << blank << kept;
        QTest::newRow("LS") << QStringLiteral("\u2028") << QStringLiteral("换行") << blank << kept;
        QTest::newRow("DEL") << "\x7f" << "DEL" << gone << dropped;
        QTest::newRow("NEL") << QStringLiteral("\u0085") << "U+0085" << gone << dropped;
    }

    // A code is typed or scanned at the counter, where no control character can
    // be entered: the line is refused. Name, size, type, supplier and remark lose
    // them with a note; the remark, a multi-line edit, keeps its line breaks.
    void controlCharactersRefuseACodeAndLeaveOtherTexts() {
        QFETCH(QString, ch);
        QFETCH(QString, name);
        QFETCH(QString, oneLine);
        QFETCH(QString, multiLine);
        const std::vector<CsvRecord> records = {
            line(2, {{GiCode, QStringLiteral("69") + ch + QStringLiteral("01")}, {GiName, "x"}}),
            line(3, {{GiCode, "6902"},
                     {GiName, QStringLiteral("可") + ch + QStringLiteral("乐")},
                     {GiSize, QStringLiteral("330") + ch + QStringLiteral("ml")},
                     {GiType, QStringLiteral("饮") + ch + QStringLiteral("料")},
                     {GiRemark, QStringLiteral("备") + ch + QStringLiteral("注")}}),
        };
        const GoodsImportCheck c =
            checkGoodsImport(records, identity(), fx.shell->st.types, fx.shell->st.suppliers);
        QCOMPARE(c.skipped, 1);
        QCOMPARE(c.lines.size(), size_t(1));
        QStringList texts;
        for (const ImportProblem& p : c.problems)
            texts << QStringLiteral("%1%2 %3").arg(p.skipped ? "" : "+").arg(p.line).arg(p.text);
        const QString cleaned = QStringLiteral("+3 \"%1\"中的控制字符（") + name + QStringLiteral("）已去掉");
        QStringList expected = {QStringLiteral("2 \"商品编码\"含有键盘无法输入的控制字符（%1）").arg(name),
                                cleaned.arg(QStringLiteral("商品名称")), cleaned.arg(QStringLiteral("类型"))};
        const bool blank = oneLine.contains(u' ');
        // "饮 料" names no type; "饮料" does.
        if (blank) expected << QStringLiteral("+3 类型\"饮 料\"不存在，按\"未知\"导入");
        expected << cleaned.arg(QStringLiteral("规格"));
        if (!multiLine.contains(u'\n')) expected << cleaned.arg(QStringLiteral("备注"));
        QCOMPARE(texts, expected);

        const vorn::SRec& u = c.lines[0].unit;
        QCOMPARE(fromGbk(u.FSs_Name), oneLine);
        QCOMPARE(fromGbk(u.FSs_Size), blank ? QStringLiteral("330 ml") : QStringLiteral("330ml"));
        QCOMPARE(u.FSi_Type, blank ? 1 : drinks);
        QCOMPARE(fromGbk(u.FSs_Remark), multiLine);
        QCOMPARE(writeGoodsImport(fx.core(), c.lines, 1331000000), 1);
        QCOMPARE(fromGbk(fx.stored().at(0).FSs_Name), oneLine);
    }

    // One NUL in one name among 5,000 lines used to pass the check and then cut
    // the statement, so that the whole write failed with no line named.
    void whatPassesTheCheckTheStoreTakes() {
        std::vector<CsvRecord> records;
        for (int i = 0; i < 5000; ++i)
            records.push_back(line(i + 2, {{GiCode, QStringLiteral("C%1").arg(i)},
                                           {GiName, QStringLiteral("名称%1").arg(i)}}));
        records[2500].fields[GiName] = QStringLiteral("名") + QChar(0) + QStringLiteral("称");
        GoodsImportCheck c = checkGoodsImport(records, identity(), fx.shell->st.types, fx.shell->st.suppliers);
        QCOMPARE(c.lines.size(), size_t(5000));
        QCOMPARE(c.problems.size(), size_t(1));
        QCOMPARE(c.problems[0].line, 2502);
        QCOMPARE(writeGoodsImport(fx.core(), c.lines, 1331000000), 5000);
        QCOMPARE(fx.core().get_srec_count(("FSs_Code='C2500' AND FSs_Name='" + gbk(QStringLiteral("名称")) + "'")
                                              .c_str()),
                 1);

        // Every control character, and texts that would break a statement
        // written carelessly, in every text field: whatever the check lets
        // through is stored as the check left it.
        QCOMPARE(fx.core().exec_sql("DELETE FROM Store;"), 0);
        records.clear();
        const QStringList hostile = {QStringLiteral("');DROP TABLE Store;--"), QStringLiteral("a'b''c"),
                                     QStringLiteral("\\0\\n%s%d"), QStringLiteral("\"\";"),
                                     QStringLiteral("=cmd|' /C calc'!A0")};
        int n = 2;
        int controls = 0;
        for (char16_t u = 0; u < 0xA0; ++u) {
            if (u >= 0x20 && u < 0x7F) continue;
            ++controls;
            const QString ch(QChar{u});
            for (int f : {GiCode, GiName, GiSize, GiType, GiSupplier, GiRemark}) {
                const int at = n++;
                records.push_back(line(at, {{GiCode, QStringLiteral("K%1").arg(at)},
                                            {f, QStringLiteral("a") + ch + QStringLiteral("b")}}));
            }
        }
        for (const QString& h : hostile) {
            const int at = n++;
            records.push_back(line(at, {{GiCode, h.left(14)}, {GiName, h}, {GiSize, h.left(6)}, {GiRemark, h}}));
        }
        for (const QChar ch : {QChar(0x2028), QChar(0x2029)}) {
            const int at = n++;
            records.push_back(line(at, {{GiCode, QStringLiteral("L%1").arg(at)},
                                        {GiName, QStringLiteral("x") + ch + QStringLiteral("y")},
                                        {GiRemark, QStringLiteral("x") + ch + QStringLiteral("y")}}));
        }
        c = checkGoodsImport(records, identity(), fx.shell->st.types, fx.shell->st.suppliers);
        QCOMPARE(controls, 65);
        QCOMPARE(c.skipped, controls); // the codes with a control character
        QCOMPARE(c.lines.size(), static_cast<size_t>(controls * 5 + hostile.size() + 2));
        QCOMPARE(writeGoodsImport(fx.core(), c.lines, 1331000000), static_cast<int>(c.lines.size()));
        const std::vector<vorn::SRec> rows = fx.stored();
        QCOMPARE(rows.size(), c.lines.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            compareUnits(rows[i], c.lines[i].unit);
            for (const std::string* t : {&rows[i].FSs_Code, &rows[i].FSs_Name, &rows[i].FSs_Size})
                QVERIFY(!hasControlCharacters(fromGbk(*t)));
            QVERIFY(!hasControlCharacters(fromGbk(rows[i].FSs_Remark), LineBreaks::Kept));
        }
        QCOMPARE(fx.core().get_srec_count(("FSs_Name='" + vorn::sql_escape(gbk(hostile[0])) + "'").c_str()), 1);
    }

    void missingCodeAndEveryFaultOfALineAreListed() {
        const std::vector<CsvRecord> records = {
            line(2, {{GiCode, "   "}, {GiName, "x"}}),
            line(3, {{GiName, "y"}, {GiType, "nope"}, {GiRetP, "-3"}, {GiQuantity, "0"}}),
        };
        const GoodsImportCheck c =
            checkGoodsImport(records, identity(), fx.shell->st.types, fx.shell->st.suppliers);
        QVERIFY(c.lines.empty());
        QCOMPARE(c.skipped, 2);
        QStringList texts;
        for (const ImportProblem& p : c.problems) {
            QVERIFY(p.skipped); // the unknown type of a line left out is not worth a note
            texts << QStringLiteral("%1:%2").arg(p.line).arg(p.text.left(6));
        }
        QCOMPARE(texts, QStringList({QStringLiteral("2:缺少商品编码"), QStringLiteral("3:缺少商品编码"),
                                     QStringLiteral("3:\"零售价(元"), QStringLiteral("3:\"数量\"应为")}));
    }

    void unknownTypeAndSupplierGoToTheFallbackWithANote() {
        const std::vector<CsvRecord> records = {
            line(2,
                 {{GiCode, "A1"}, {GiType, QStringLiteral("饮料")}, {GiSupplier, QStringLiteral(" ACME ")}}),
            line(3, {{GiCode, "A2"}, {GiType, QStringLiteral("水果")}, {GiSupplier, QStringLiteral("acme")}}),
            line(4, {{GiCode, "A3"}}),
        };
        const GoodsImportCheck c =
            checkGoodsImport(records, identity(), fx.shell->st.types, fx.shell->st.suppliers);
        QCOMPARE(c.lines.size(), size_t(3));
        QCOMPARE(c.lines[0].unit.FSi_Type, drinks);
        QCOMPARE(c.lines[0].unit.FSi_Supplier, acme);
        QCOMPARE(c.lines[1].unit.FSi_Type, 1);
        QCOMPARE(c.lines[1].unit.FSi_Supplier, 1); // names match exactly, as in the entry dialog
        QCOMPARE(c.lines[2].unit.FSi_Type, 1);     // empty: the fallback, nothing to note
        QCOMPARE(c.skipped, 0);
        QCOMPARE(c.problems.size(), size_t(2));
        QCOMPARE(c.problems[0].text, QStringLiteral("类型\"水果\"不存在，按\"未知\"导入"));
        QCOMPARE(c.problems[1].text, QStringLiteral("供货商\"acme\"不存在，按\"未指定\"导入"));
        for (const ImportProblem& p : c.problems) {
            QCOMPARE(p.line, 3);
            QVERIFY(!p.skipped);
        }
    }

    void unmappedFieldsAndShortRecordsAreEmpty() {
        CsvRecord r;
        r.line = 9;
        r.fields = QStringList{QStringLiteral("C1"), QStringLiteral("5")};
        std::vector<int> mapping(GoodsImportFieldCount, -1);
        mapping[GiCode] = 0;
        mapping[GiRetP] = 1;
        mapping[GiQuantity] = 7; // past the record's end
        const GoodsImportCheck c = checkGoodsImport({r}, mapping, fx.shell->st.types, fx.shell->st.suppliers);
        QCOMPARE(c.lines.size(), size_t(1));
        QCOMPARE(c.lines[0].quantity, 1);
        QCOMPARE(c.lines[0].unit.FSd_SpeP, 5.0);
        QVERIFY(c.lines[0].unit.FSs_Name.empty());
    }

    void summaryAndTheLimitOfOneEntry() {
        GoodsImportCheck c;
        QVERIFY(!goodsImportAllowed(c));
        QCOMPARE(goodsImportSummary(c), QStringLiteral("将导入 0 行，共 0 件商品；跳过 0 行"));
        c.lines.resize(1000);
        c.units = kMaxBatchRecords;
        c.skipped = 3;
        QVERIFY(goodsImportAllowed(c));
        QCOMPARE(goodsImportSummary(c), QStringLiteral("将导入 1,000 行，共 100,000 件商品；跳过 3 行"));
        c.units = kMaxBatchRecords + 1;
        QVERIFY(!goodsImportAllowed(c));
        QVERIFY(goodsImportSummary(c).contains(QStringLiteral("不能超过上限100,000件")));
    }

    void quantityNGivesNUnitsWithOneStockTime() {
        const std::vector<CsvRecord> records = {
            line(2,
                 {{GiCode, "A'1"}, {GiName, QStringLiteral("奥利奥")}, {GiRetP, "9.9"}, {GiQuantity, "3"}}),
            line(3, {{GiCode, "B2"}, {GiOriP, "12.25"}, {GiQuantity, "2"}, {GiType, QStringLiteral("饮料")}}),
        };
        const GoodsImportCheck c =
            checkGoodsImport(records, identity(), fx.shell->st.types, fx.shell->st.suppliers);
        std::vector<long long> heard;
        const int n = writeGoodsImport(fx.core(), c.lines, 1331000000, [&](long long done, long long total) {
            QCOMPARE(total, 5LL);
            heard.push_back(done);
        });
        QCOMPARE(n, 5);
        QCOMPARE(heard, std::vector<long long>{5});
        const std::vector<vorn::SRec> rows = fx.stored();
        QCOMPARE(rows.size(), size_t(5));
        for (size_t i = 0; i < rows.size(); ++i) {
            const vorn::SRec& expected = c.lines[i < 3 ? 0 : 1].unit;
            vorn::SRec want = expected;
            want.FSd_OriP = std::stod(vorn::format_money(want.FSd_OriP)); // the store keeps one decimal
            compareUnits(rows[i], want);
            QCOMPARE(rows[i].FSt_StoT, int64_t(1331000000));
            QCOMPARE(rows[i].FSi_Flag, 0);
            QCOMPARE(rows[i].FSt_SalT, int64_t(0));
        }
        QCOMPARE(rows[0].FSs_Code, std::string("A'1"));
        QCOMPARE(rows[3].FSd_OriP, 12.3);
        QCOMPARE(writeGoodsImport(fx.core(), {}, 1331000000), 0);
        QCOMPARE(fx.core().get_srec_count(nullptr), 5);
    }

    void aFailureAnywhereLeavesNothing() {
        // The last unit of many is refused by the store: the units before it,
        // already handed over in earlier texts, go too.
        QCOMPARE(fx.core().exec_sql("CREATE TRIGGER refuse BEFORE INSERT ON Store WHEN NEW.FSs_Code='BAD' "
                                    "BEGIN SELECT RAISE(ABORT,'refused'); END;"),
                 0);
        std::vector<CsvRecord> records;
        for (int i = 0; i < 5; ++i)
            records.push_back(line(i + 2, {{GiCode, QStringLiteral("G%1").arg(i)}, {GiQuantity, "1,000"}}));
        records.push_back(line(7, {{GiCode, "BAD"}}));
        const GoodsImportCheck c =
            checkGoodsImport(records, identity(), fx.shell->st.types, fx.shell->st.suppliers);
        QCOMPARE(c.units, 5001LL);
        long long heardMost = 0;
        QCOMPARE(writeGoodsImport(fx.core(), c.lines, 1331000000,
                                  [&](long long done, long long) { heardMost = std::max(heardMost, done); }),
                 -1);
        QVERIFY(heardMost >= 4000); // several texts went in before the refusal
        QCOMPARE(fx.core().get_srec_count(nullptr), 0);
        // The store is usable afterwards, and a closed one enters nothing.
        QCOMPARE(writeGoodsImport(fx.core(), {c.lines[0]}, 1331000000), 1000);
        fx.core().close();
        QCOMPARE(writeGoodsImport(fx.core(), c.lines, 1331000000), -1);
        QCOMPARE(fx.core().open(), 0);
        QCOMPARE(fx.core().get_srec_count(nullptr), 1000);
    }
};

QTEST_MAIN(TestGoodsImportCheck)
#include "test_goodsimportcheck.moc"
