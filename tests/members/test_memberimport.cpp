// Members from a CSV file: how a line's texts are read, what checking every
// line refuses (the duplicate rule of member entry included), the one
// all-or-nothing write, and the whole command from the member page with its
// file, its two dialogs and each way of leaving them.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <climits>

#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "memberimport.h"
#include "memberexport.h"
#include "memberimportcheck.h"
#include "memberlimits.h"
#include "vipfixture.h"
#include "vipview.h"

using namespace vorn::ui;
using vorn::ui::test::VipFixture;

namespace {

// Fields in field order: code, name, type, birthday, points, e-mail, phone, address, remark.
const std::vector<int> kInOrder = {0, 1, 2, 3, 4, 5, 6, 7, 8};

bool noneStored(const std::vector<std::string>&, std::unordered_set<std::string>&) {
    return true;
}

MemberImportCheck check(const QString& text, const StoredCodeLookup& stored = noneStored) {
    return checkMemberImport(parseCsv(text), kInOrder, stored);
}

// "<line> <text>", a line entered with a note marked "+".
QStringList problemTexts(const MemberImportCheck& c) {
    QStringList out;
    for (const ImportProblem& p : c.problems)
        out << QStringLiteral("%1%2 %3").arg(p.skipped ? "" : "+").arg(p.line).arg(p.text);
    return out;
}

QByteArray gbkBytes(const QString& text) {
    QStringEncoder enc("GBK");
    return enc.encode(text);
}

QByteArray utf8WithBom(const QString& text) {
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A file as the member export writes it: the list's headings and columns.
const QString kExported =
    QStringLiteral("会员编号,类型,会员名称,生日,积分,e-mail,联系方式,地址,创建日期,备注\r\n"
                   "M01,金卡会员,王小明,1990-05-12,1200,wxm@example.com,13800001111,\"人民路1号, "
                   "3楼\",2012-01-15 09:30:00,老顾客\r\n"
                   "M02,普通会员,李娜,,0,,,,2012-01-15 09:30:00,\r\n"
                   "M04,普通会员,赵六,1970-01-01,十,,,,2012-01-15 09:30:00,\r\n");
// A name GBK cannot hold; only a UTF-8 file can carry it.
const QString kEmojiLine = QStringLiteral("M03,普通会员,张\U0001F600三,1988-01-02,5,,,,,\r\n");

} // namespace

class TestMemberImport : public QObject {
    Q_OBJECT

    VipFixture fx;

    // The page's dialogs, answered without a modal loop: by default the mapping
    // is accepted as it stands and the report confirmed.
    struct Script {
        QString file;
        std::function<int(CImportDlg&)> mapping = [](CImportDlg& d) {
            d.accept();
            return d.result();
        };
        std::function<int(CImportReportDlg&)> report = [](CImportReportDlg& d) {
            d.confirmButton()->click();
            return d.result();
        };
        int mappings = 0, reports = 0;
        QStringList folders; // where each file dialog started
    };

    void run(CVIPView& page, Script& s) {
        setImportFileChooser(fx.shell->st, [&s](QWidget*, const QString& folder) {
            s.folders << folder;
            return s.file;
        });
        page.setDialogRunner([&s](QDialog& d) {
            if (auto* m = qobject_cast<CImportDlg*>(&d)) return ++s.mappings, s.mapping(*m);
            if (auto* r = qobject_cast<CImportReportDlg*>(&d)) return ++s.reports, s.report(*r);
            return int(QDialog::Rejected);
        });
        page.onCommand(cmd::ImportMembers);
    }

private slots:
    void init() {
        fx.setUp();
        setNowForTests(VipFixture::at(2024, 3, 8, 10, 20, 30));
    }
    void cleanup() {
        setNowForTests(0);
        fx.tearDown();
    }

    void cellsAsSpreadsheetsWriteThem() {
        for (const char* t : {"1990-05-12", "1990/5/12", "1990.5.12", "1990年5月12日", "19900512",
                              "1990/5/12 0:00", " 1990-05-12 00:00:01 ", "１９９０／５／１２"}) {
            QDate d;
            QVERIFY2(parseImportBirthday(QString::fromUtf8(t), d) && d == QDate(1990, 5, 12), t);
        }
        QDate d(2000, 1, 1);
        QVERIFY(parseImportBirthday(QString(), d) && d.isNull());
        // Not a day, a day the picker does not offer, or a guess at the order of day and month.
        for (const char* t : {"1990-02-30", "12/5/1990", "1899-12-31", "2100-01-01", "19901301",
                              "1990-05-12 25:00", "32994", "生日"})
            QVERIFY2(!parseImportBirthday(QString::fromUtf8(t), d), t);

        const std::pair<const char*, int> points[] = {{"0", 0},     {"1200", 1200},         {"1,200", 1200},
                                                      {"+5", 5},    {"1200.00", 1200},      {"", 0},
                                                      {"１２", 12}, {"100,000,000", kMaxMemberPoints}};
        for (const auto& [t, v] : points) {
            int p = -1;
            QVERIFY2(parseImportPoints(QString::fromUtf8(t), p) && p == v, t);
        }
        // Above the most a member may hold, or above what an int holds.
        for (const char* t : {"-1", "1.5", "12abc", "100000001", "2147483647", "2147483648", "1,20", "abc"}) {
            int p = -1;
            QVERIFY2(!parseImportPoints(QString::fromLatin1(t), p), t);
        }

        QCOMPARE(memberTypeOfText(QStringLiteral("普通会员")), 0);
        QCOMPARE(memberTypeOfText(QStringLiteral("普通")), 0);
        QCOMPARE(memberTypeOfText(QStringLiteral(" 金卡会员 ")), 1);
        QCOMPARE(memberTypeOfText(QStringLiteral("金卡")), 1);
        // Stored codes or ordinals would be guesses.
        for (const char* t : {"1", "0", "VIP", "Err", ""})
            QCOMPARE(memberTypeOfText(QString::fromLatin1(t)), -1);
    }

    void aLineBecomesAMember() {
        const MemberImportCheck c = check(QStringLiteral(
            "M01,王小明,金卡,1990/5/12,\"1,200\",wxm@example.com,13800001111,人民路1号,老顾客\n"
            "  M02  ,李娜\n"));
        QVERIFY(c.problems.empty());
        QCOMPARE(c.lines, (std::vector<int>{1, 2}));
        const vorn::VIPRec& m = c.members[0];
        QCOMPARE(m.FVs_Code, std::string("M01"));
        QCOMPARE(m.FVs_Name, gbk(QStringLiteral("王小明")));
        QCOMPARE(m.FVi_Type, 1);
        QCOMPARE(m.FVt_BirT, VipFixture::at(1990, 5, 12, 0, 0, 1));
        QCOMPARE(m.FVi_Grade, 1200);
        QCOMPARE(m.FVs_Phone, std::string("13800001111"));
        QCOMPARE(m.FVs_Addr, gbk(QStringLiteral("人民路1号")));
        QCOMPARE(m.FVs_Remark, gbk(QStringLiteral("老顾客")));
        QCOMPARE(m.FVt_CreT, int64_t(0));
        // A short line, blanks around the code: the entry dialog's first type, no birthday.
        const vorn::VIPRec& n = c.members[1];
        QCOMPARE(n.FVs_Code, std::string("M02"));
        QCOMPARE(n.FVi_Type, 0);
        QCOMPARE(n.FVt_BirT, int64_t(0));
        // Fields without a column (or with one past the record) are empty.
        const MemberImportCheck u = checkMemberImport(parseCsv(QStringLiteral("M05,名字,金卡,1990-01-01,7")),
                                                      {0, -1, -1, -1, 4, 99}, noneStored);
        QVERIFY(u.members.at(0).FVs_Name.empty() && u.members[0].FVi_Type == 0 &&
                u.members[0].FVi_Grade == 7);
    }

    void faultsAreListedAndTheirLinesSkipped() {
        const QString fourteen(14, QChar(0x5F20)), fifteen(15, QChar(0x5F20)); // 28 and 30 GBK bytes
        const MemberImportCheck c = check(QStringLiteral(",无编号\n"
                                                         "A2,甲,,1990-02-30\n"
                                                         "A3,乙,,,12abc\n"
                                                         "A4,张\U0001F600三\n"
                                                         "A5,%1\n"
                                                         "A6,%2\n"
                                                         "6.22202E+15,丙\n"
                                                         "A8,丁,,19900231,-3\n"
                                                         "A9,戊,VIP\n"
                                                         "A10,己,,,,,,,%3\n")
                                              .arg(fourteen, fifteen, QString(253, QLatin1Char('r'))));
        const QString badDate = QStringLiteral("%1 生日\"%2\"不是有效的日期（如 1990-05-12），跳过该行");
        QCOMPARE(problemTexts(c),
                 (QStringList{
                     QStringLiteral("1 缺少会员编号，跳过该行"),
                     badDate.arg(2).arg(QStringLiteral("1990-02-30")),
                     QStringLiteral("3 积分\"12abc\"不是0到100000000之间的整数，跳过该行"),
                     QStringLiteral("4 会员名称含有无法保存的字符，跳过该行"),
                     QStringLiteral("6 会员名称超过28个字节（一个汉字占两个字节），跳过该行"),
                     QStringLiteral("7 "
                                    "会员编号\"6.22202E+"
                                    "15\"已被表格软件写成科学计数法，请把该列设为文本后重新保存，跳过该行"),
                     badDate.arg(8).arg(QStringLiteral("19900231")),
                     QStringLiteral("8 积分\"-3\"不是0到100000000之间的整数，跳过该行"),
                     QStringLiteral("+9 会员类型\"VIP\"无法识别，按\"普通会员\"导入"),
                     QStringLiteral("10 备注超过252个字节（一个汉字占两个字节），跳过该行"),
                 }));
        QCOMPARE(c.skipped, 8);
        QCOMPARE(c.lines, (std::vector<int>{5, 9}));
        QCOMPARE(c.members[0].FVs_Name, gbk(fourteen));
        QCOMPARE(memberImportSummary(c), QStringLiteral("将导入 2 位会员；跳过 8 行"));
        QVERIFY(memberImportAllowed(c));
        // Bytes that were not text in the chosen encoding point at the encoding.
        const MemberImportCheck wrong = check(QStringLiteral("B1,\uFFFD\uFFFD\n"));
        QCOMPARE(problemTexts(wrong),
                 QStringList{QStringLiteral("1 会员名称含有无法识别的字符（文件的编码可能不对），跳过该行")});
        QVERIFY(!memberImportAllowed(wrong));
    }

    void controlCharacters_data() {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("oneLine");   // "王?五" as a name is entered
        QTest::addColumn<QString>("multiLine"); // "一?楼" as an address is entered
        QTest::newRow("NUL") << QString(QChar(0)) << "NUL" << QStringLiteral("王五") << QStringLiteral("一楼");
        QTest::newRow("tab") << "\t" << QStringLiteral("制表符") << QStringLiteral("王 五")
                             << QStringLiteral("一 楼");
        QTest::newRow("ESC") << "\x1b" << "ESC" << QStringLiteral("王五") << QStringLiteral("一楼");
        QTest::newRow("GS") << "\x1d" << "GS" << QStringLiteral("王五") << QStringLiteral("一楼");
        QTest::newRow("LF") << "\n" << QStringLiteral("换行") << QStringLiteral("王 五") << QStringLiteral("一\n楼");
        QTest::newRow("CR") << "\r" << QStringLiteral("换行") << QStringLiteral("王 五") << QStringLiteral("一\n楼");
    }

    // As for goods: a code with a control character is refused by its line, the
    // other texts lose them with a note, address and remark keep line breaks,
    // and what passes is what the store takes.
    void controlCharacters() {
        QFETCH(QString, ch);
        QFETCH(QString, name);
        QFETCH(QString, oneLine);
        QFETCH(QString, multiLine);
        CsvRecord bad{{QStringLiteral("M") + ch + QStringLiteral("1"), QStringLiteral("甲")}, 1};
        CsvRecord good{{QStringLiteral("M2"), QStringLiteral("王") + ch + QStringLiteral("五"), QString(),
                        QString(), QString(), QStringLiteral("a") + ch + QStringLiteral("@b.cn"),
                        QStringLiteral("138") + ch + QStringLiteral("0"), QStringLiteral("一") + ch + QStringLiteral("楼"),
                        QStringLiteral("一") + ch + QStringLiteral("楼")},
                       2};
        MemberImportCheck c = checkMemberImport({bad, good}, kInOrder, noneStored);
        const QString cleaned = QStringLiteral("+2 %1中的控制字符（") + name + QStringLiteral("）已去掉");
        QStringList expected = {
            QStringLiteral("1 会员编号含有键盘无法输入的控制字符（%1），跳过该行").arg(name),
            cleaned.arg(QStringLiteral("会员名称")), cleaned.arg(QStringLiteral("电子邮件")),
            cleaned.arg(QStringLiteral("联系电话"))};
        const bool keptBreak = multiLine.contains(u'\n');
        if (!keptBreak) expected << cleaned.arg(QStringLiteral("地址")) << cleaned.arg(QStringLiteral("备注"));
        QCOMPARE(problemTexts(c), expected);
        QCOMPARE(c.members.size(), size_t(1));
        const vorn::VIPRec& m = c.members[0];
        QCOMPARE(fromGbk(m.FVs_Name), oneLine);
        QCOMPARE(fromGbk(m.FVs_Addr), multiLine);
        QCOMPARE(fromGbk(m.FVs_Remark), multiLine);
        QCOMPARE(writeMemberImport(fx.core(), c.members, VipFixture::at(2024, 3, 8)), 1);
        QCOMPARE(fromGbk(fx.stored().at(0).FVs_Name), oneLine);
    }

    // One NUL in one name among thousands of lines used to pass the check and
    // then cut the statement, failing the whole write with no line named.
    void aNulAmongThousandsOfLinesIsCaughtByTheCheck() {
        QString text;
        for (int i = 0; i < 5000; ++i)
            text += QStringLiteral("N%1,名字%1,,,%1\n").arg(i);
        text.replace(QStringLiteral("名字2500"), QStringLiteral("名") + QChar(0) + QStringLiteral("字"));
        MemberImportCheck c = check(text);
        QCOMPARE(c.members.size(), size_t(5000));
        QCOMPARE(problemTexts(c), QStringList{QStringLiteral("+2501 会员名称中的控制字符（NUL）已去掉")});
        QCOMPARE(writeMemberImport(fx.core(), c.members, VipFixture::at(2024, 3, 8)), 5000);
        QCOMPARE(fx.stored("FVs_Code='N2500'").at(0).FVs_Name, gbk(QStringLiteral("名字")));
    }

    // Texts a spreadsheet would run go out guarded and read back as they were.
    void anExportReadsBackAsTheSameMembers() {
        vorn::VIPRec a = VipFixture::member("-M1", QStringLiteral("=HYPERLINK(\"http://x\",\"点\")"), 1,
                                            VipFixture::at(1980, 2, 3), 42);
        a.FVs_Phone = "+8613800000000";
        a.FVs_Remark = "@SUM(A1)";
        a.FVs_Addr = gbk(QStringLiteral("'=一楼"));
        vorn::VIPRec b = VipFixture::member("'M2", QStringLiteral("+王"), 0, 0, kMaxMemberPoints);
        b.FVs_EMail = "=a@b.cn";
        const std::vector<vorn::VIPRec> members = {a, b};
        const QString path = fx.path(QStringLiteral("会员.csv"));
        QString error;
        QVERIFY2(writeRecordSheet(path, memberSheet(), members, {}, &error), qPrintable(error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("'-M1,"));
        QVERIFY(bytes.contains("\"'=HYPERLINK("));
        std::vector<CsvRecord> records = parseCsv(decodeText(bytes, detectEncoding(bytes)));
        const std::vector<int> mapping = mapHeadings(memberImportFields(), records.front().fields);
        records.erase(records.begin());
        const MemberImportCheck c = checkMemberImport(records, mapping, noneStored);
        QVERIFY2(c.problems.empty(), qPrintable(problemTexts(c).join(u'|')));
        QCOMPARE(c.members.size(), members.size());
        for (size_t i = 0; i < members.size(); ++i) {
            const vorn::VIPRec& got = c.members[i];
            const vorn::VIPRec& want = members[i];
            QCOMPARE(got.FVs_Code, want.FVs_Code);
            QCOMPARE(got.FVi_Type, want.FVi_Type);
            QCOMPARE(got.FVs_Name, want.FVs_Name);
            QCOMPARE(got.FVt_BirT, want.FVt_BirT);
            QCOMPARE(got.FVi_Grade, want.FVi_Grade);
            QCOMPARE(got.FVs_EMail, want.FVs_EMail);
            QCOMPARE(got.FVs_Phone, want.FVs_Phone);
            QCOMPARE(got.FVs_Addr, want.FVs_Addr);
            QCOMPARE(got.FVs_Remark, want.FVs_Remark);
        }
    }

    void duplicateCodesAsMemberEntryRefusesThem() {
        fx.insert({VipFixture::member("M01", QStringLiteral("甲")),
                   VipFixture::member("O'Neil", QStringLiteral("乙"))});
        const MemberImportCheck c = check(QStringLiteral("M01,一\n"     // stored already
                                                         "M02,二\n"     //
                                                         "M02,三,VIP\n" // repeats line 2; its type no matter
                                                         "M03,四,,1990-13-01\n" // left out: claims nothing
                                                         "M03,五\n"             //
                                                         "O'Neil,六\n"          // stored, quote and all
                                                         "m01,七\n"),           // codes differ by case
                                          storedMemberCodes(fx.core()));
        QCOMPARE(problemTexts(c),
                 (QStringList{
                     QStringLiteral("1 会员编号\"M01\"已存在，跳过该行"),
                     QStringLiteral("3 会员编号\"M02\"与第2行重复，跳过该行"),
                     QStringLiteral("4 生日\"1990-13-01\"不是有效的日期（如 1990-05-12），跳过该行"),
                     QStringLiteral("6 会员编号\"O'Neil\"已存在，跳过该行"),
                 }));
        QCOMPARE(c.lines, (std::vector<int>{2, 5, 7}));
        QCOMPARE(c.members[1].FVs_Name, gbk(QStringLiteral("五")));
    }

    void theStoreIsAskedInChunks() {
        std::vector<vorn::VIPRec> stored;
        for (int i = 0; i < 1200; ++i)
            stored.push_back(VipFixture::member("K" + std::to_string(i), QStringLiteral("存")));
        fx.insert(stored);
        QString text;
        for (int i = 0; i < 1300; ++i)
            text += QStringLiteral("K%1,新\n").arg(i * 2);
        const MemberImportCheck c = check(text, storedMemberCodes(fx.core()));
        QCOMPARE(c.skipped, 600); // K0, K2 ... K1198
        QCOMPARE(c.members.size(), size_t(700));
        // A store that cannot answer leaves nothing to enter.
        fx.core().close();
        const MemberImportCheck failed = check(QStringLiteral("X1,一\n"), storedMemberCodes(fx.core()));
        QVERIFY(failed.storeFailed && failed.members.empty() && !memberImportAllowed(failed));
        // More than one addition may hold: nothing can be entered, and the summary says why.
        MemberImportCheck many;
        many.members.resize(kMaxBatchRecords + 1);
        QVERIFY(!memberImportAllowed(many));
        QVERIFY(memberImportSummary(many).endsWith(QStringLiteral("不能超过上限100000个")));
    }

    void gbkAndUtf8FilesReadAlike() {
        const QString text =
            QStringLiteral("M01,王小明,金卡会员,1990-05-12,1200,a@b.cn,138,\"北京市朝阳区, 1号\",“常客”\r\n"
                           "M02,欧阳娜娜,普通会员,1985/1/2,0,,,,\r\n");
        auto read = [](const QByteArray& bytes) {
            return checkMemberImport(parseCsv(decodeText(bytes, detectEncoding(bytes))), kInOrder,
                                     noneStored);
        };
        const MemberImportCheck a = read(utf8WithBom(text)), b = read(gbkBytes(text));
        QVERIFY(a.problems.empty() && b.problems.empty());
        QCOMPARE(a.members.size(), size_t(2));
        QCOMPARE(b.members.size(), size_t(2));
        for (size_t i = 0; i < 2; ++i) {
            QCOMPARE(a.members[i].FVs_Name, b.members[i].FVs_Name);
            QCOMPARE(a.members[i].FVs_Addr, b.members[i].FVs_Addr);
            QCOMPARE(a.members[i].FVs_Remark, b.members[i].FVs_Remark);
        }
        QCOMPARE(fromGbk(b.members[1].FVs_Name), QStringLiteral("欧阳娜娜"));
    }

    void theWriteIsAllOrNothing() {
        std::vector<vorn::VIPRec> members;
        for (int i = 0; i < 2500; ++i)
            members.push_back(
                VipFixture::member("K" + std::to_string(i), QStringLiteral("新"), i % 2, 0, i, 0));
        // The last of three chunks is refused: the two before it must go too.
        QCOMPARE(fx.core().exec_sql("CREATE TRIGGER no BEFORE INSERT ON VIP WHEN NEW.FVs_Code='K2400' "
                                    "BEGIN SELECT RAISE(ABORT,'no'); END;"),
                 0);
        std::vector<vorn::VIPRec> copy = members;
        QCOMPARE(writeMemberImport(fx.core(), copy, 1000), -1);
        QCOMPARE(fx.core().get_viprec_count(nullptr), 0);

        QCOMPARE(fx.core().exec_sql("DROP TRIGGER no;"), 0);
        std::vector<std::pair<int, int>> heard;
        const int64_t created = now();
        QCOMPARE(writeMemberImport(fx.core(), members, created,
                                   [&](int done, int total) { heard.emplace_back(done, total); }),
                 2500);
        QCOMPARE(heard, (std::vector<std::pair<int, int>>{{1000, 2500}, {2000, 2500}, {2500, 2500}}));
        const std::vector<vorn::VIPRec> rows = fx.stored();
        QCOMPARE(rows.size(), size_t(2500));
        QVERIFY(std::all_of(rows.begin(), rows.end(),
                            [&](const vorn::VIPRec& r) { return r.FVt_CreT == created; }));
        QCOMPARE(rows[1].FVi_Type, 1);
        QCOMPARE(rows[1].FVi_Grade, 1);
    }

    void importFromTheMemberPage() {
        fx.insert({VipFixture::member("OLD", QStringLiteral("老会员"))});
        CVIPView page(*fx.shell);
        page.reload(); // a list that shows the store is shown again after the import
        QCOMPARE(page.model()->rowCount(), 1);
        Script s;
        s.file = fx.path(QStringLiteral("会员.csv"));
        writeFile(s.file, gbkBytes(kExported));
        s.mapping = [](CImportDlg& d) {
            // The export's own headings map by themselves; its creation time is not read.
            if (d.encoding() != TextEncoding::Gbk || !d.firstLineIsHeader() ||
                d.mapping() != std::vector<int>{0, 2, 1, 3, 4, 5, 6, 7, 9})
                return int(QDialog::Rejected);
            d.accept();
            return d.result();
        };
        QString summary;
        QStringList problems;
        s.report = [&](CImportReportDlg& d) {
            summary = d.findChild<QLabel*>(QStringLiteral("summaryLabel"))->text();
            problems.clear();
            for (int r = 0; r < d.problemList()->rowCount(); ++r)
                problems << d.problemList()->item(r, 0)->text() + ' ' + d.problemList()->item(r, 1)->text();
            return Script().report(d);
        };
        run(page, s);
        QCOMPARE(summary, QStringLiteral("将导入 2 位会员；跳过 1 行"));
        QCOMPARE(problems, QStringList{QStringLiteral("4 积分\"十\"不是0到100000000之间的整数，跳过该行")});
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"导入\"2个会员，跳过1行"));
        QVERIFY(fx.shell->failures.isEmpty());
        const vorn::VIPRec m01 = fx.stored("FVs_Code='M01'").at(0);
        QCOMPARE(m01.FVi_Type, 1);
        QCOMPARE(m01.FVs_Name, gbk(QStringLiteral("王小明")));
        QCOMPARE(m01.FVs_Addr, gbk(QStringLiteral("人民路1号, 3楼")));
        QCOMPARE(m01.FVt_BirT, VipFixture::at(1990, 5, 12));
        QCOMPARE(m01.FVi_Grade, 1200);
        QCOMPARE(m01.FVt_CreT, now()); // created now, not when the file says
        QCOMPARE(fx.stored("FVs_Code='M02'").at(0).FVt_CreT, now());
        QCOMPARE(page.model()->rowCount(), 3); // the list shows the store again

        // The same file in UTF-8 reads alike: its members are there already now.
        writeFile(s.file, utf8WithBom(kExported + kEmojiLine));
        s.mapping = [](CImportDlg& d) {
            d.accept();
            return d.encoding() == TextEncoding::Utf8 ? d.result() : int(QDialog::Rejected);
        };
        run(page, s);
        QCOMPARE(summary, QStringLiteral("将导入 0 位会员；跳过 4 行"));
        QCOMPARE(problems, (QStringList{QStringLiteral("2 会员编号\"M01\"已存在，跳过该行"),
                                        QStringLiteral("3 会员编号\"M02\"已存在，跳过该行"),
                                        QStringLiteral("4 积分\"十\"不是0到100000000之间的整数，跳过该行"),
                                        QStringLiteral("5 会员名称含有无法保存的字符，跳过该行")}));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未\"导入\"任何会员"));
        QCOMPARE(fx.core().get_viprec_count(nullptr), 3);
    }

    void leavingAnyStepOrFailingWritesNothing() {
        CVIPView page(*fx.shell);
        const QString cancelled = QStringLiteral("放弃该次会员\"导入\"操作");
        Script s;
        run(page, s); // no file chosen
        QCOMPARE(s.mappings, 0);
        QCOMPARE(fx.shell->statusText(), cancelled);

        s.file = fx.path(QStringLiteral("a.csv"));
        writeFile(s.file, kExported.toUtf8());
        auto reject = [](QDialog& d) {
            d.reject();
            return d.result();
        };
        s.mapping = reject;
        run(page, s);
        QCOMPARE(s.reports, 0);
        QCOMPARE(fx.shell->statusText(), cancelled);
        s.mapping = Script().mapping;
        s.report = reject;
        run(page, s);
        QCOMPARE(s.reports, 1);
        QCOMPARE(fx.shell->statusText(), cancelled);
        QVERIFY(fx.shell->failures.isEmpty());

        QCOMPARE(fx.core().exec_sql("CREATE TRIGGER no BEFORE INSERT ON VIP WHEN NEW.FVs_Code='M02' "
                                    "BEGIN SELECT RAISE(ABORT,'no'); END;"),
                 0);
        s.report = Script().report;
        run(page, s);
        QCOMPARE(fx.shell->failures,
                 QStringList{QStringLiteral("未知异常导致会员\"导入\"失败，放弃该次\"导入\"操作")});
        QCOMPARE(fx.core().get_viprec_count(nullptr), 0);
    }

    // As the goods import does: the file dialog starts where the last file was.
    void theNextFileDialogStartsWhereTheLastFileWas() {
        CVIPView page(*fx.shell);
        QVERIFY(QDir(fx.path(QString())).mkpath(QStringLiteral("list")));
        Script s;
        s.file = fx.path(QStringLiteral("list/a.csv"));
        writeFile(s.file, kExported.toUtf8());
        s.mapping = [](CImportDlg& d) {
            d.reject();
            return d.result();
        };
        run(page, s);
        run(page, s);
        QCOMPARE(s.folders, (QStringList{QDir::currentPath(), QFileInfo(s.file).absolutePath()}));
    }

    void filesThatCannotBeRead() {
        CVIPView page(*fx.shell);
        Script s;
        s.file = fx.path(QStringLiteral("missing.csv"));
        run(page, s);
        QVERIFY(fx.shell->failures.value(0).startsWith(QStringLiteral("无法打开文件\"missing.csv\"")));
        s.file = fx.path(QStringLiteral("big.csv"));
        {
            QFile f(s.file);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(kMaxImportFileBytes + 1)); // sparse
        }
        run(page, s);
        QCOMPARE(fx.shell->failures.value(1),
                 QStringLiteral("文件\"big.csv\"太大，不能超过50MB，放弃该次会员\"导入\"操作"));
        s.file = fx.path(QStringLiteral("empty.csv"));
        writeFile(s.file, "\r\n");
        run(page, s);
        QCOMPARE(fx.shell->failures.value(2),
                 QStringLiteral("文件\"empty.csv\"中没有任何内容，未\"导入\"任何会员"));
        QCOMPARE(s.mappings, 0);
    }
};

QTEST_MAIN(TestMemberImport)
#include "test_memberimport.moc"
