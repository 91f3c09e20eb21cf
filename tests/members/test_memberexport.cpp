// Members out to spreadsheets: the export command writes the members the list
// shows, in its order and under its column captions (the headings the member
// import maps); cancelling and failing leave no file.
#include <QFile>
#include <QTest>

#include "memberstate.h"
#include "kit/page/pagehost.h"
#include "kit/text/csv.h"
#include "kit/sheet/sheetwriter.h"
#include "membercells.h"
#include "memberexport.h"
#include "vipfixture.h"
#include "vipview.h"
#include "xlsxread.h"

using namespace vorn::ui;
using vorn::ui::test::VipFixture;

namespace {

std::vector<CsvRecord> readCsv(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = f.readAll();
    if (!bytes.startsWith("\xEF\xBB\xBF")) return {};
    return parseCsv(decodeText(bytes, TextEncoding::Utf8));
}

} // namespace

class TestMemberExport : public QObject {
    Q_OBJECT

    VipFixture fx;
    std::unique_ptr<CVIPView> page;
    QStringList prompts;
    QString answer;

private slots:
    void init() {
        fx.setUp();
        // By id: an ordinary member with everything, a gold member without a
        // birthday whose remark needs quoting, one born before 1970.
        vorn::VIPRec a = VipFixture::member("V001", QStringLiteral("张三"), 0, VipFixture::at(1985, 7, 9),
                                            1200, VipFixture::at(2012, 1, 15, 9, 30, 0));
        a.FVs_Remark = gbk(QStringLiteral("常客"));
        vorn::VIPRec b = VipFixture::member("V002", QStringLiteral("李四, 小李"), 1, 0, 0,
                                            VipFixture::at(2012, 2, 1, 18, 5, 6));
        b.FVs_Remark = gbk(QStringLiteral("说\"包邮\"\n下次再来"));
        b.FVs_EMail.clear();
        vorn::VIPRec c = VipFixture::member("V003", QStringLiteral("王五"), 0, VipFixture::at(1950, 12, 31),
                                            -5, VipFixture::at(2013, 3, 3, 0, 0, 0));
        fx.insert({a, b, c});

        prompts.clear();
        answer.clear();
        setExportPathPrompt([this](QWidget*, const QString&, const QString& suggested) {
            prompts << suggested;
            return answer;
        });
        page = std::make_unique<CVIPView>(*fx.shell);
    }
    void cleanup() {
        setExportPathPrompt({});
        page.reset();
        fx.tearDown();
    }

    // The list's own captions, in its order: the member import maps these.
    void headingsAreTheListsCaptions() {
        QCOMPARE(memberSheet().headings, (QStringList{"会员编号", "类型", "会员名称", "生日", "积分", "e-mail",
                                                     "联系方式", "地址", "创建日期", "备注"}));
    }

    void nothingListedNothingExported() {
        QVERIFY(!page->isCommandEnabled(cmd::ExportMembers));
        exportMembers(*fx.shell, shownRows(*page, memberState(fx.shell->st).rows));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未\"导出\"任何会员"));
        QVERIFY(prompts.isEmpty());
    }

    // Sorted by points, highest first: the file follows the list.
    void csvHoldsTheListedMembersInListOrder() {
        QVERIFY(page->onCommand(cmd::SearchMember));
        page->sortBy(MColGrade, false);
        QCOMPARE(page->model()->rowCount(), 3);
        QVERIFY(page->isCommandEnabled(cmd::ExportMembers));
        answer = fx.path(QStringLiteral("会员.csv"));
        QVERIFY(page->onCommand(cmd::ExportMembers));

        QCOMPARE(prompts.size(), qsizetype(1));
        QVERIFY(prompts[0].startsWith(QStringLiteral("会员-")));
        QCOMPARE(fx.shell->statusText(),
                 QStringLiteral("已导出3条会员记录到\"%1\"").arg(QDir::toNativeSeparators(answer)));

        const std::vector<CsvRecord> rec = readCsv(answer);
        QCOMPARE(rec.size(), size_t(4));
        QCOMPARE(rec[0].fields, memberSheet().headings);
        QCOMPARE(rec[1].fields,
                 (QStringList{"V001", "普通会员", "张三", "1985-07-09", "1200", "V001@example.com",
                              "1380000V001", "人民路V001号", "2012-01-15 09:30:00", "常客"}));
        QCOMPARE(rec[2].fields, (QStringList{"V002", "金卡会员", "李四, 小李", "", "0", "", "1380000V002",
                                             "人民路V002号", "2012-02-01 18:05:06", "说\"包邮\"\n下次再来"}));
        QCOMPARE(rec[3].fields,
                 (QStringList{"V003", "普通会员", "王五", "1950-12-31", "-5", "V003@example.com",
                              "1380000V003", "人民路V003号", "2013-03-03 00:00:00", ""}));
    }

    void xlsxHoldsTheSameMembers() {
        using namespace vorn::ui::test;
        if (!haveUnzip()) QSKIP("unzip is not installed");
        QVERIFY(page->onCommand(cmd::SearchMember));
        answer = fx.path(QStringLiteral("会员.xlsx"));
        QVERIFY(page->onCommand(cmd::ExportMembers));
        QCOMPARE(fx.shell->statusText(),
                 QStringLiteral("已导出3条会员记录到\"%1\"").arg(QDir::toNativeSeparators(answer)));
        QCOMPARE(sheetNames(answer), QStringList{QStringLiteral("会员")});
        const XlsxSheet s = readSheet(answer, 1);
        QCOMPARE(s.rows.size(), qsizetype(4));
        QCOMPARE(s.texts(1), memberSheet().headings);
        // In list order (by id here), cell by cell as the list words them.
        const auto& members = memberState(fx.shell->st).rows;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < MemberColumnCount; ++c)
                if (c != MColGrade) QCOMPARE(s.cell(r + 2, c).value, memberCellText(members[size_t(r)], c));
        // Points are a number to add up.
        QCOMPARE(s.cell(2, MColGrade).type, QStringLiteral("n"));
        QCOMPARE(s.cell(2, MColGrade).value, QStringLiteral("1200"));
        QCOMPARE(s.cell(4, MColGrade).value, QStringLiteral("-5"));
        QVERIFY(s.widths.value(MColAddr + 1) > s.widths.value(MColType + 1));
    }

    void cancelledWritesNothing() {
        QVERIFY(page->onCommand(cmd::SearchMember));
        QVERIFY(page->onCommand(cmd::ExportMembers));
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次会员\"导出\"操作"));
        QVERIFY(fx.shell->failures.isEmpty());
    }

    void failureIsReportedAndLeavesNoFile() {
        QVERIFY(page->onCommand(cmd::SearchMember));
        answer = fx.path(QStringLiteral("nowhere/会员.csv"));
        QVERIFY(page->onCommand(cmd::ExportMembers));
        QCOMPARE(fx.shell->failures.size(), qsizetype(1));
        QVERIFY(fx.shell->failures[0].startsWith(QStringLiteral("会员\"导出\"失败：")));
        QVERIFY(!QFileInfo::exists(answer));
    }
};

QTEST_MAIN(TestMemberExport)
#include "test_memberexport.moc"
