// The member page driven as the main window drives it: commands by id, the
// ribbon's inputs, the list with its sorting, deleting, and the editing panel.
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

#include "memberstate.h"
#include "birthdaypicker.h"
#include "membercells.h"
#include "memberlimits.h"
#include "vipinputdlg.h"
#include "vipview.h"
#include "kit/text/gbklimit.h"
#include "vipfixture.h"
#include "vorn/sqltext.h"

using namespace vorn::ui;
using vorn::ui::test::VipFixture;

namespace {

QString cell(CVIPView& page, int row, int col) {
    return page.model()->data(page.model()->index(row, col)).toString();
}

void selectRows(CVIPView& page, std::initializer_list<int> rows) {
    auto* sel = page.table()->selectionModel();
    sel->clearSelection();
    for (int r : rows)
        sel->select(page.model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

template <class T> T* field(QWidget* w, const char* name) {
    T* f = w->findChild<T*>(QString::fromLatin1(name));
    if (!f) qFatal("no field %s", name);
    return f;
}

QString searched(int n) {
    return QStringLiteral("在当前设定条件下，\"搜索\"到%1个会员").arg(n);
}

} // namespace

class TestVipView : public QObject {
    Q_OBJECT

    VipFixture fx;
    std::unique_ptr<CVIPView> page;

private slots:
    void init() {
        fx.setUp();
        // Five members by id: codes E D C B A, points 10..50, every other one gold.
        const char* codes[] = {"E", "D", "C", "B", "A"};
        const QString names[] = {QStringLiteral("赵一"), QStringLiteral("钱二"), QStringLiteral("孙三"),
                                 QStringLiteral("李四"), QStringLiteral("周五")};
        std::vector<vorn::VIPRec> members;
        for (int i = 0; i < 5; ++i)
            members.push_back(VipFixture::member(codes[i], names[i], i % 2, VipFixture::at(1960 + 10 * i, 3, 4),
                                                 10 * (i + 1), VipFixture::at(2012, 1, 10 + 10 * i, 9, 0, 0)));
        fx.insert(members);
        page = std::make_unique<CVIPView>(*fx.shell);
    }
    void cleanup() {
        page.reset();
        fx.tearDown();
    }

    void startsEmpty() {
        QCOMPARE(page->model()->rowCount(), 0);
        QCOMPARE(page->model()->columnCount(), 10);
        QVERIFY(!page->isCommandEnabled(cmd::EditMember));
        QVERIFY(!page->isCommandEnabled(cmd::DeleteMember));
        for (int id : {cmd::SearchMember, cmd::AddMember, cmd::MemberCode, cmd::MemberName, cmd::MemberType,
                       cmd::CreateTime, cmd::ClearMemberSearch})
            QVERIFY(page->isCommandEnabled(id));
        QVERIFY(!page->isCommandEnabled(cmd::SearchGoods));
        QVERIFY(!page->panelVisible());
    }

    void searchWithoutInputsListsAll() {
        QVERIFY(page->onCommand(cmd::SearchMember));
        QCOMPARE(fx.shell->statusText(), searched(5));
        QCOMPARE(page->model()->rowCount(), 5);
        QCOMPARE(page->searchCondition(), std::string());
        QCOMPARE(cell(*page, 0, MColCode), QStringLiteral("E"));
        QCOMPARE(cell(*page, 1, MColType), QStringLiteral("金卡会员"));
        QCOMPARE(cell(*page, 0, MColName), QStringLiteral("赵一"));
        QCOMPARE(cell(*page, 0, MColBirT), QStringLiteral("1960-03-04"));
        QCOMPARE(cell(*page, 4, MColGrade), QStringLiteral("50"));
        QCOMPARE(cell(*page, 0, MColCreT), QStringLiteral("2012-01-10 09:00:00"));
        QCOMPARE(page->model()->data(page->model()->index(0, MColGrade), Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignRight | Qt::AlignVCenter));
        QVERIFY(page->isCommandEnabled(cmd::EditMember));
        QVERIFY(page->isCommandEnabled(cmd::DeleteMember));
    }

    void searchFindingNothing() {
        page->onCommand(cmd::SearchMember);
        fx.shell->setRibbonText(cmd::MemberCode, QStringLiteral("nope"));
        page->onCommand(cmd::SearchMember);
        QCOMPARE(fx.shell->statusText(), searched(0));
        QCOMPARE(page->model()->rowCount(), 0);
        QVERIFY(!page->isCommandEnabled(cmd::EditMember));
        QVERIFY(!page->isCommandEnabled(cmd::DeleteMember));
    }

    void ribbonInputsMakeTheCondition() {
        fx.insert({VipFixture::member("it's", QStringLiteral("O'Brien"), 1)});
        fx.shell->setRibbonText(cmd::MemberCode, QStringLiteral("it's"));
        fx.shell->setRibbonText(cmd::MemberName, QStringLiteral("O'Brien"));
        fx.shell->setRibbonIndex(cmd::MemberType, 1);
        page->onCommand(cmd::SearchMember);
        QCOMPARE(page->searchCondition(), std::string("FVs_Code='it''s' AND FVi_Type=1 AND FVs_Name='O''Brien'"));
        QCOMPARE(page->model()->rowCount(), 1);
        QCOMPARE(cell(*page, 0, MColCode), QStringLiteral("it's"));
        fx.shell->setRibbonIndex(cmd::MemberType, 0);
        page->onCommand(cmd::SearchMember);
        QCOMPARE(page->model()->rowCount(), 0);

        fx.shell->setRibbonText(cmd::MemberCode, QString());
        fx.shell->setRibbonText(cmd::MemberName, QString());
        page->onCommand(cmd::SearchMember);
        QCOMPARE(page->searchCondition(), std::string("FVi_Type=0"));
        QCOMPARE(page->model()->rowCount(), 3);

        // Text the store's code page cannot hold matches nobody and is said so.
        fx.shell->setRibbonText(cmd::MemberName, QStringLiteral("\U0001F600"));
        page->onCommand(cmd::SearchMember);
        QCOMPARE(fx.shell->failures, QStringList{unrepresentableTextMessage()});
        QCOMPARE(page->searchCondition(), std::string("FVi_Type=0")); // the last search stands
    }

    void headerSortReloadsInOrder() {
        page->onCommand(cmd::SearchMember);
        QCOMPARE(page->sortClause(), std::string());
        page->sortBy(MColCode, true);
        QCOMPARE(page->sortClause(), std::string(" ORDER BY FVs_Code ASC"));
        QCOMPARE(cell(*page, 0, MColCode), QStringLiteral("A"));
        page->sortBy(MColGrade, false);
        QCOMPARE(page->sortClause(), std::string(" ORDER BY FVi_Grade DESC"));
        QCOMPARE(cell(*page, 0, MColGrade), QStringLiteral("50"));
        QCOMPARE(cell(*page, 4, MColGrade), QStringLiteral("10"));
        page->sortBy(MColBirT, true);
        QCOMPARE(cell(*page, 0, MColBirT), QStringLiteral("1960-03-04"));
        QCOMPARE(cell(*page, 4, MColBirT), QStringLiteral("2000-03-04"));
        // The remark cannot be sorted: clause, rows and the header's arrow stay.
        page->sortBy(MColRemark, false);
        QCOMPARE(page->sortClause(), std::string(" ORDER BY FVt_BirT ASC"));
        QCOMPARE(page->table()->horizontalHeader()->sortIndicatorSection(), int(MColBirT));
        QCOMPARE(cell(*page, 0, MColBirT), QStringLiteral("1960-03-04"));
        QCOMPARE(fx.shell->statusText(), searched(5)); // sorting says nothing
    }

    void sortClauseRidesAfterTheCondition() {
        fx.insert({VipFixture::member("M01", QStringLiteral("甲")), VipFixture::member("M01", QStringLiteral("乙"))});
        fx.shell->setRibbonText(cmd::MemberCode, QStringLiteral("M01"));
        page->onCommand(cmd::SearchMember);
        QCOMPARE(page->searchCondition(), std::string("FVs_Code='M01'"));
        page->sortBy(MColName, false);
        QCOMPARE(page->model()->rowCount(), 2);
        // Names order by their GBK bytes, which for these is their pinyin: jia before yi.
        QCOMPARE(cell(*page, 0, MColName), QStringLiteral("乙"));
        page->sortBy(MColName, true);
        QCOMPARE(cell(*page, 0, MColName), QStringLiteral("甲"));
    }

    void creationSpanCaptionAndSearch() {
        SpanAnswer answer{1, QDate(2012, 1, 1), QDate(2012, 1, 31)};
        QDate askedFrom, askedTo;
        page->setSpanPrompt([&](const QDate& f, const QDate& t, QWidget*) {
            askedFrom = f;
            askedTo = t;
            return answer;
        });
        page->onCommand(cmd::CreateTime);
        QVERIFY(!askedFrom.isValid());
        QCOMPARE(fx.shell->captions[cmd::CreateTime], QStringLiteral("创建时间: 2012-01-01 到 2012-01-31"));
        page->onCommand(cmd::SearchMember);
        QCOMPARE(page->searchCondition(),
                 std::string("FVt_CreT>='2012-01-01 00:00:00' AND FVt_CreT<='2012-01-31 23:59:59'"));
        QCOMPARE(page->model()->rowCount(), 3); // created on the 10th, 20th and 30th

        answer = {-1, {}, {}}; // cancelled: nothing changes
        page->onCommand(cmd::CreateTime);
        QCOMPARE(askedFrom, QDate(2012, 1, 1));
        QCOMPARE(askedTo, QDate(2012, 1, 31));
        QCOMPARE(fx.shell->captions[cmd::CreateTime], QStringLiteral("创建时间: 2012-01-01 到 2012-01-31"));
        answer = {0, {}, {}}; // no span
        page->onCommand(cmd::CreateTime);
        QCOMPARE(fx.shell->captions[cmd::CreateTime], QStringLiteral("创建时间"));
        QVERIFY(!memberState(fx.shell->st).spans[cmd::CreateTime].isSet());
        page->onCommand(cmd::SearchMember);
        QCOMPARE(page->model()->rowCount(), 5);
    }

    void clearingAllConditions() {
        fx.shell->setRibbonText(cmd::MemberCode, QStringLiteral("A"));
        fx.shell->setRibbonText(cmd::MemberName, QStringLiteral("n"));
        fx.shell->setRibbonIndex(cmd::MemberType, 1);
        page->setSpanPrompt([](const QDate&, const QDate&, QWidget*) {
            return SpanAnswer{1, QDate(2012, 1, 1), QDate(2012, 1, 2)};
        });
        page->onCommand(cmd::CreateTime);
        page->onCommand(cmd::SearchMember);
        QCOMPARE(page->model()->rowCount(), 0);
        page->onCommand(cmd::ClearMemberSearch);
        for (int id : {cmd::MemberCode, cmd::MemberName, cmd::MemberType})
            QCOMPARE(fx.shell->ribbonText(id), QString());
        QCOMPARE(fx.shell->captions[cmd::CreateTime], QStringLiteral("创建时间"));
        QVERIFY(!memberState(fx.shell->st).spans[cmd::CreateTime].isSet());
        page->onCommand(cmd::SearchMember);
        QCOMPARE(page->model()->rowCount(), 5);
    }

    void inputsOutliveThePageButTheListDoesNot() {
        fx.shell->setRibbonText(cmd::MemberCode, QStringLiteral("B"));
        page->onCommand(cmd::SearchMember);
        QCOMPARE(page->model()->rowCount(), 1);
        page = std::make_unique<CVIPView>(*fx.shell);
        QCOMPARE(page->model()->rowCount(), 0);
        QVERIFY(memberState(fx.shell->st).rows.empty());
        QCOMPARE(memberState(fx.shell->st).rows.capacity(), size_t(0)); // freed with the old page
        page->onCommand(cmd::SearchMember);
        QCOMPARE(page->model()->rowCount(), 1);
    }

    void deletingTwoOfFive() {
        page->onCommand(cmd::SearchMember);
        selectRows(*page, {3, 1});
        fx.boxes.answers = {true};
        page->onCommand(cmd::DeleteMember);
        QCOMPARE(fx.boxes.shown, QStringList{QStringLiteral("你的下一步操作将永久\"删除\"会员，是否要继续？")});
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"删除\"2个会员"));
        QCOMPARE(page->model()->rowCount(), 3);
        QCOMPARE(cell(*page, 0, MColCode), QStringLiteral("E"));
        QCOMPARE(cell(*page, 1, MColCode), QStringLiteral("C"));
        QCOMPARE(cell(*page, 2, MColCode), QStringLiteral("A"));
        QCOMPARE(fx.core().get_viprec_count(nullptr), 3);
        QCOMPARE(fx.core().get_viprec_count("FVs_Code='D' OR FVs_Code='B'"), 0);
        QVERIFY(page->isCommandEnabled(cmd::DeleteMember));
    }

    void deletingAnsweredNoOrEverything() {
        page->onCommand(cmd::SearchMember);
        selectRows(*page, {0});
        fx.boxes.answers = {false};
        fx.shell->statuses.clear();
        page->onCommand(cmd::DeleteMember);
        QCOMPARE(fx.boxes.shown.size(), 1);
        QCOMPARE(page->model()->rowCount(), 5);
        QCOMPARE(fx.core().get_viprec_count(nullptr), 5);
        QVERIFY(fx.shell->statuses.isEmpty());

        selectRows(*page, {0, 1, 2, 3, 4});
        fx.boxes.answers = {true};
        page->onCommand(cmd::DeleteMember);
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"删除\"5个会员"));
        QCOMPARE(page->model()->rowCount(), 0);
        QCOMPARE(fx.core().get_viprec_count(nullptr), 0);
        QVERIFY(!page->hasRecord());
        QVERIFY(!page->isCommandEnabled(cmd::DeleteMember));
        QVERIFY(!page->isCommandEnabled(cmd::EditMember));
    }

    void deletingWithoutSelectionOrFailing() {
        page->onCommand(cmd::SearchMember);
        page->table()->clearSelection();
        page->onCommand(cmd::DeleteMember);
        QVERIFY(fx.boxes.shown.isEmpty()); // nothing chosen, nothing asked
        QCOMPARE(fx.core().exec_sql("CREATE TRIGGER keep BEFORE DELETE ON VIP BEGIN SELECT RAISE(ABORT,'no'); END;"), 0);
        selectRows(*page, {2});
        fx.boxes.answers = {true};
        page->onCommand(cmd::DeleteMember);
        QCOMPARE(fx.shell->failures, QStringList{QStringLiteral("未知异常导致会员\"删除\"失败，放弃该次\"删除\"操作")});
        QCOMPARE(page->model()->rowCount(), 5);
        QCOMPARE(fx.core().get_viprec_count(nullptr), 5);
    }

    void editingOneMember() {
        page->onCommand(cmd::SearchMember);
        selectRows(*page, {1});
        page->onCommand(cmd::EditMember);
        CVIPInputDlg* panel = page->panel();
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->windowTitle(), QStringLiteral("会员编辑"));
        QCOMPARE(field<QLineEdit>(panel, "code")->text(), QStringLiteral("D"));
        QVERIFY(field<QLineEdit>(panel, "code")->isReadOnly());
        QCOMPARE(field<QComboBox>(panel, "type")->currentText(), QStringLiteral("金卡会员"));
        QCOMPARE(field<QLineEdit>(panel, "name")->text(), QStringLiteral("钱二"));
        QCOMPARE(field<QDateEdit>(panel, "birthday")->date(), QDate(1970, 3, 4));
        QCOMPARE(field<QLineEdit>(panel, "points")->text(), QStringLiteral("20"));
        QCOMPARE(field<QLineEdit>(panel, "created")->text(), QStringLiteral("2012-01-20 09:00:00"));
        QVERIFY(field<QLineEdit>(panel, "created")->isReadOnly());

        // While the panel is up the rows must stay: no search, no delete; edit reopens.
        QVERIFY(!page->isCommandEnabled(cmd::SearchMember));
        QVERIFY(!page->isCommandEnabled(cmd::DeleteMember));
        QVERIFY(page->isCommandEnabled(cmd::EditMember));

        field<QComboBox>(panel, "type")->setCurrentIndex(0);
        field<QLineEdit>(panel, "name")->setText(QStringLiteral("钱二'二"));
        field<QDateEdit>(panel, "birthday")->setDate(QDate(1958, 7, 9));
        field<QLineEdit>(panel, "points")->setText(QStringLiteral("12abc"));
        field<QPlainTextEdit>(panel, "remark")->setPlainText(QStringLiteral("改过"));
        QTest::keyClick(field<QLineEdit>(panel, "name"), Qt::Key_Return); // Enter saves
        QVERIFY(!panel->isVisible());
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"编辑\"1个会员"));
        QVERIFY(page->isCommandEnabled(cmd::SearchMember));

        const auto stored = fx.stored("FVs_Code='D'");
        QCOMPARE(stored.size(), size_t(1));
        const vorn::VIPRec& m = stored[0];
        QCOMPARE(m.FVi_Type, 0);
        QCOMPARE(m.FVs_Name, gbk(QStringLiteral("钱二'二")));
        QCOMPARE(m.FVt_BirT, VipFixture::at(1958, 7, 9)); // the stored time of day kept
        QCOMPARE(m.FVi_Grade, 12);
        QCOMPARE(m.FVs_Remark, gbk(QStringLiteral("改过")));
        QCOMPARE(m.FVt_CreT, VipFixture::at(2012, 1, 20, 9, 0, 0));
        QCOMPARE(cell(*page, 1, MColName), QStringLiteral("钱二'二"));
        QCOMPARE(cell(*page, 1, MColGrade), QStringLiteral("12"));
        QCOMPARE(cell(*page, 1, MColBirT), QStringLiteral("1958-07-09"));

        page->onCommand(cmd::EditMember);
        field<QLineEdit>(panel, "points")->setText(QStringLiteral("abc"));
        panel->save();
        QCOMPARE(fx.stored("FVs_Code='D'").at(0).FVi_Grade, 0);
    }

    void editingTwoMembersGivesBothTheChangedValues() {
        page->onCommand(cmd::SearchMember);
        selectRows(*page, {4, 0});
        page->onCommand(cmd::EditMember);
        CVIPInputDlg* panel = page->panel();
        QCOMPARE(panel->recordCount(), 2);
        QCOMPARE(panel->windowTitle(), QStringLiteral("会员编辑(注意: 当前编辑针对所有选定会员)"));
        QCOMPARE(field<QLineEdit>(panel, "code")->text(), QStringLiteral("A")); // the first selected
        field<QLineEdit>(panel, "name")->setText(QStringLiteral("同名"));
        panel->save();
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"编辑\"2个会员"));
        const std::pair<const char*, int> pointsOf[] = {{"A", 50}, {"E", 10}};
        for (const auto& [code, points] : pointsOf) {
            const vorn::VIPRec m = fx.stored((std::string("FVs_Code='") + code + "'").c_str()).at(0);
            QCOMPARE(m.FVs_Name, gbk(QStringLiteral("同名")));
            QCOMPARE(m.FVi_Grade, points); // not changed in the panel: each keeps its own
            QCOMPARE(m.FVs_Code, std::string(code));
        }
        QCOMPARE(cell(*page, 0, MColName), QStringLiteral("同名"));
        QCOMPARE(cell(*page, 0, MColCode), QStringLiteral("E"));
        QCOMPARE(cell(*page, 0, MColGrade), QStringLiteral("10"));
        QCOMPARE(cell(*page, 2, MColName), QStringLiteral("孙三"));
    }

    // Making members gold card must not give them the first one's name, points,
    // birthday, phone, e-mail, address or remark: only what the user changed in
    // the panel is written, each member keeps the rest.
    void aBatchEditWritesOnlyTheChangedFields() {
        vorn::VIPRec f = VipFixture::member("F", QStringLiteral("吴六"), 0, 0, 7);
        f.FVs_Remark = gbk(QStringLiteral("六的备注"));
        fx.insert({f});
        page->onCommand(cmd::SearchMember);
        const std::vector<vorn::VIPRec> before = fx.stored();
        selectRows(*page, {5, 1, 3}); // F (no birthday), D and B (ordinary and gold)
        page->onCommand(cmd::EditMember);
        CVIPInputDlg* panel = page->panel();
        QCOMPARE(field<QLineEdit>(panel, "code")->text(), QStringLiteral("F"));
        QCOMPARE(field<QDateEdit>(panel, "birthday")->text(), QStringLiteral("未设置"));
        field<QComboBox>(panel, "type")->setCurrentIndex(1);
        panel->save();
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"编辑\"3个会员"));
        const std::vector<vorn::VIPRec> after = fx.stored();
        QCOMPARE(after.size(), before.size());
        for (size_t i = 0; i < after.size(); ++i) {
            const vorn::VIPRec& a = after[i];
            const vorn::VIPRec& b = before[i];
            const bool edited = a.FVs_Code == "F" || a.FVs_Code == "D" || a.FVs_Code == "B";
            QCOMPARE(a.FVi_Type, edited ? 1 : b.FVi_Type);
            QCOMPARE(a.FVs_Name, b.FVs_Name);
            QCOMPARE(a.FVi_Grade, b.FVi_Grade);
            QCOMPARE(a.FVt_BirT, b.FVt_BirT);
            QCOMPARE(a.FVs_Phone, b.FVs_Phone);
            QCOMPARE(a.FVs_EMail, b.FVs_EMail);
            QCOMPARE(a.FVs_Addr, b.FVs_Addr);
            QCOMPARE(a.FVs_Remark, b.FVs_Remark);
            QCOMPARE(a.FVt_CreT, b.FVt_CreT);
        }
        // The list shows what the store holds.
        QCOMPARE(cell(*page, 1, MColName), QStringLiteral("钱二"));
        QCOMPARE(cell(*page, 3, MColGrade), QStringLiteral("40"));
        QCOMPARE(cell(*page, 5, MColType), QStringLiteral("金卡会员"));

        // A birthday picked for all of them, then taken away from all of them.
        page->onCommand(cmd::EditMember);
        field<QDateEdit>(panel, "birthday")->setDate(QDate(1980, 6, 1));
        panel->save();
        QCOMPARE(fx.core().get_viprec_count(("FVt_BirT='" + vorn::format_time(VipFixture::at(1980, 6, 1)) + "'")
                                                .c_str()),
                 3);
        page->onCommand(cmd::EditMember);
        field<BirthdayPicker>(panel, "birthdayPicker")->clear();
        field<QLineEdit>(panel, "points")->setText(QStringLiteral("5"));
        panel->save();
        QCOMPARE(fx.core().get_viprec_count("FVt_BirT IS NULL AND FVi_Grade=5"), 3);
        QCOMPARE(fx.core().get_viprec_count("FVt_BirT IS NULL"), 3);
        QCOMPARE(fx.stored("FVs_Code='D'").at(0).FVs_Name, gbk(QStringLiteral("钱二")));
    }

    void pointsAboveTheLimitAreRefused() {
        page->onCommand(cmd::SearchMember);
        selectRows(*page, {0});
        page->onCommand(cmd::EditMember);
        CVIPInputDlg* panel = page->panel();
        for (const char* text : {"100000001", "2147483647", "99999999999"}) {
            fx.shell->failures.clear();
            field<QLineEdit>(panel, "points")->setText(QString::fromLatin1(text));
            field<QLineEdit>(panel, "name")->setText(QStringLiteral("改名"));
            panel->save();
            QCOMPARE(fx.shell->failures, QStringList{QStringLiteral("会员积分不能超过上限100000000")});
            QVERIFY2(panel->isVisible(), text); // open on the points, nothing written
            QCOMPARE(fx.stored("FVs_Code='E'").at(0).FVi_Grade, 10);
            QCOMPARE(fx.stored("FVs_Code='E'").at(0).FVs_Name, gbk(QStringLiteral("赵一")));
        }
        field<QLineEdit>(panel, "points")->setText(QStringLiteral("100000000"));
        panel->save();
        QVERIFY(!panel->isVisible());
        QCOMPARE(fx.stored("FVs_Code='E'").at(0).FVi_Grade, kMaxMemberPoints);
    }

    void unsetBirthdayStaysUnsetUnlessChanged() {
        fx.insert({VipFixture::member("N", QStringLiteral("无生日"), 0, 0, 3)});
        fx.shell->setRibbonText(cmd::MemberCode, QStringLiteral("N"));
        page->onCommand(cmd::SearchMember);
        selectRows(*page, {0});
        page->onCommand(cmd::EditMember);
        CVIPInputDlg* panel = page->panel();
        QVERIFY(!field<BirthdayPicker>(panel, "birthdayPicker")->hasDay());
        field<QLineEdit>(panel, "phone")->setText(QStringLiteral("555"));
        panel->save();
        QCOMPARE(fx.stored("FVs_Code='N'").at(0).FVt_BirT, int64_t(0));
        QCOMPARE(cell(*page, 0, MColBirT), QString());
        page->onCommand(cmd::EditMember);
        field<QDateEdit>(panel, "birthday")->setDate(QDate(1949, 10, 1));
        panel->save();
        QCOMPARE(fx.stored("FVs_Code='N'").at(0).FVt_BirT, VipFixture::at(1949, 10, 1));
    }

    void failedUpdateReloadsFromTheStore() {
        page->onCommand(cmd::SearchMember);
        QCOMPARE(fx.core().exec_sql("CREATE TRIGGER keep BEFORE UPDATE ON VIP BEGIN SELECT RAISE(ABORT,'no'); END;"), 0);
        // Another hand changed a member meanwhile; the reload shows the store's truth.
        QCOMPARE(fx.core().exec_sql("DROP TRIGGER keep; UPDATE VIP SET FVi_Grade=777 WHERE FVs_Code='C';"
                                    "CREATE TRIGGER keep BEFORE UPDATE ON VIP BEGIN SELECT RAISE(ABORT,'no'); END;"),
                 0);
        selectRows(*page, {0});
        page->onCommand(cmd::EditMember);
        CVIPInputDlg* panel = page->panel();
        field<QLineEdit>(panel, "name")->setText(QStringLiteral("不会保存"));
        panel->save();
        QVERIFY(!panel->isVisible());
        const QString failed = QStringLiteral("未知异常导致会员\"编辑\"失败，放弃该次\"编辑\"操作");
        QCOMPARE(fx.shell->failures, QStringList{failed});
        QCOMPARE(cell(*page, 0, MColName), QStringLiteral("赵一"));
        QCOMPARE(cell(*page, 2, MColGrade), QStringLiteral("777"));
        QCOMPARE(fx.stored("FVs_Code='E'").at(0).FVs_Name, gbk(QStringLiteral("赵一")));
    }

    void panelClosedWithEscapeWritesNothing() {
        page->onCommand(cmd::SearchMember);
        selectRows(*page, {0});
        page->onCommand(cmd::EditMember);
        field<QLineEdit>(page->panel(), "name")->setText(QStringLiteral("other"));
        QTest::keyClick(page->panel(), Qt::Key_Escape);
        QVERIFY(!page->panel()->isVisible());
        QCOMPARE(cell(*page, 0, MColName), QStringLiteral("赵一"));
        QCOMPARE(fx.stored("FVs_Code='E'").at(0).FVs_Name, gbk(QStringLiteral("赵一")));
        QVERIFY(page->isCommandEnabled(cmd::DeleteMember));
    }

    void panelFieldsDropWhatGbkCannotHold() {
        page->onCommand(cmd::SearchMember);
        selectRows(*page, {0});
        page->onCommand(cmd::EditMember);
        CVIPInputDlg* panel = page->panel();
        fx.shell->statuses.clear();
        QLineEdit* email = field<QLineEdit>(panel, "email");
        email->clear();
        email->insert(QStringLiteral("a\U0001F600@b"));
        QCOMPARE(email->text(), QStringLiteral("a@b"));
        QCOMPARE(fx.shell->statuses, QStringList{unrepresentableTextMessage()});
        auto* addr = field<QPlainTextEdit>(panel, "addr");
        addr->clear();
        addr->insertPlainText(QStringLiteral("东\U0001F600路"));
        QCOMPARE(addr->toPlainText(), QStringLiteral("东路"));
        panel->save();
        const vorn::VIPRec m = fx.stored("FVs_Code='E'").at(0);
        QCOMPARE(m.FVs_EMail, std::string("a@b"));
        QCOMPARE(m.FVs_Addr, gbk(QStringLiteral("东路")));
    }

    void doubleClickOpensThePanelOnThatRow() {
        page->onCommand(cmd::SearchMember);
        page->resize(1200, 400);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        QWidget* rows = page->table()->viewport();
        const QRect r = page->table()->visualRect(page->model()->index(2, MColName));
        // A real double click is press, release, press, double click, release.
        QTest::mouseClick(rows, Qt::LeftButton, {}, r.center());
        QTest::mousePress(rows, Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(rows, Qt::LeftButton, {}, r.center());
        QVERIFY(page->panelVisible());
        QCOMPARE(page->panel()->recordCount(), 1);
        QCOMPARE(field<QLineEdit>(page->panel(), "code")->text(), QStringLiteral("C"));
        QCOMPARE(page->table()->selectionModel()->selectedRows().size(), 1);
    }

    void sortingWhileThePanelIsOpenStillEditsTheRightMember() {
        page->onCommand(cmd::SearchMember);
        selectRows(*page, {0}); // E
        page->onCommand(cmd::EditMember);
        page->sortBy(MColCode, true); // E is now the last row
        field<QLineEdit>(page->panel(), "points")->setText(QStringLiteral("999"));
        page->panel()->save();
        QCOMPARE(cell(*page, 4, MColCode), QStringLiteral("E"));
        QCOMPARE(cell(*page, 4, MColGrade), QStringLiteral("999"));
        QCOMPARE(cell(*page, 0, MColGrade), QStringLiteral("50"));
        QCOMPARE(fx.stored("FVs_Code='E'").at(0).FVi_Grade, 999);
    }
};

QTEST_MAIN(TestVipView)
#include "test_vipview.moc"
