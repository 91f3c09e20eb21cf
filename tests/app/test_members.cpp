// The member page inside the real main window: adding members through the
// ribbon, searching with the ribbon's inputs, editing and deleting, the commands
// that follow the page's state, and (with VORN_SCREENSHOT_DIR set) its picture.
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLayout>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>
#include <ctime>

#include "frame/look.h"
#include "vipadddlg.h"
#include "vipinputdlg.h"
#include "vipview.h"
#include "res/commandids.h"
#include "res/strings.h"
#include "vorn/sqltext.h"
#include "frame_fixture.h"
#include "res/tabs.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

const bool kShopZone = [] {
    qputenv("TZ", "Asia/Shanghai");
    tzset();
    return true;
}();

template <class T> T* field(QWidget* w, const char* name) {
    T* f = w->findChild<T*>(QString::fromLatin1(name));
    if (!f) qFatal("no field %s", name);
    return f;
}

void selectRows(CVIPView& page, std::initializer_list<int> rows) {
    auto* sel = page.table()->selectionModel();
    sel->clearSelection();
    for (int r : rows)
        sel->select(page.model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void settle(QWidget& w) {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        if (w.layout()) w.layout()->activate();
    }
}

void shoot(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    settle(w);
    const QString file = QDir(dir).filePath(name);
    QVERIFY2(w.grab().save(file), qPrintable(file));
}

// Three dozen members of a small shop: Chinese names, both types, birthdays
// (one unknown), points and addresses.
void fillMembers(AppState& state) {
    const QStringList surnames = {QStringLiteral("王"), QStringLiteral("李"), QStringLiteral("张"),
                                  QStringLiteral("刘"), QStringLiteral("陈"), QStringLiteral("杨"),
                                  QStringLiteral("赵"), QStringLiteral("黄"), QStringLiteral("周")};
    const QStringList given = {QStringLiteral("秀英"), QStringLiteral("建国"), QStringLiteral("丽娟"),
                               QStringLiteral("志强"), QStringLiteral("海燕"), QStringLiteral("伟"),
                               QStringLiteral("晓明"), QStringLiteral("桂兰")};
    const QStringList roads = {QStringLiteral("人民路"), QStringLiteral("解放大街"), QStringLiteral("中山北路"),
                               QStringLiteral("建设巷")};
    const QStringList remarks = {QString(), QStringLiteral("老顾客"), QString(), QStringLiteral("只收现金"),
                                 QString(), QStringLiteral("送货上门")};
    std::vector<vorn::VIPRec> members;
    for (int i = 0; i < 36; ++i) {
        vorn::VIPRec m;
        m.FVs_Code = QStringLiteral("8800%1").arg(i + 1, 4, 10, QLatin1Char('0')).toStdString();
        m.FVi_Type = i % 4 == 1 ? 1 : 0;
        m.FVs_Name = gbk(surnames[i % surnames.size()] + given[(i * 5) % given.size()]);
        m.FVt_BirT = i == 7 ? 0 : vorn::local_time_of(1950 + (i * 7) % 55, 1 + i % 12, 1 + (i * 3) % 28, 0, 0, 1);
        m.FVi_Grade = (i * 397) % 5000;
        m.FVs_EMail = i % 3 == 0 ? std::string() : "member" + std::to_string(i + 1) + "@qq.com";
        m.FVs_Phone = "13" + std::to_string(800000000 + i * 7919);
        m.FVs_Addr = gbk(roads[i % roads.size()] + QString::number(10 + i * 3) + QStringLiteral("号"));
        m.FVt_CreT = vorn::local_time_of(2025, 1 + i / 4, 1 + i % 28, 9 + i % 9, (i * 13) % 60, 0);
        m.FVs_Remark = gbk(remarks[i % remarks.size()]);
        members.push_back(m);
    }
    QCOMPARE(state.core.insert_viprec(members.data(), static_cast<int>(members.size())), 36);
}

} // namespace

class TestFrameMembers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpApplication();
        applyLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    void addSearchEditDelete() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Members);
        flush();
        auto* page = qobject_cast<CVIPView*>(f.frame->view());
        QVERIFY(page);
        QVERIFY(f.frame->windowTitle().endsWith(QStringLiteral("会员管理")));

        // Nothing listed yet: adding and searching on, editing and deleting off.
        for (int id : {cmd::AddMember, cmd::SearchMember, cmd::MemberCode, cmd::MemberName, cmd::MemberType,
                       cmd::CreateTime, cmd::ClearMemberSearch})
            QVERIFY2(f.frame->isEnabled(id), qPrintable(QString::number(id)));
        QVERIFY(!f.frame->isEnabled(cmd::EditMember));
        QVERIFY(!f.frame->isEnabled(cmd::DeleteMember));

        // Three members through the entry dialog, as a user fills it.
        page->setDialogRunner([](QDialog& d) {
            auto* dlg = qobject_cast<CVIPAddDlg*>(&d);
            if (!dlg) return 0;
            const struct {
                const char* code;
                QString name;
                int type;
            } rows[] = {{"M'01", QStringLiteral("王秀英"), 1},
                        {"M02", QStringLiteral("李建国"), 0},
                        {"M03", QStringLiteral("张丽娟"), 1}};
            for (const auto& r : rows) {
                field<QLineEdit>(dlg, "code")->setText(QString::fromLatin1(r.code));
                field<QLineEdit>(dlg, "name")->setText(r.name);
                field<QComboBox>(dlg, "type")->setCurrentIndex(r.type);
                field<QDateEdit>(dlg, "birthday")->setDate(QDate(1966, 6, 6));
                dlg->stageMember();
            }
            dlg->save();
            return dlg->result();
        });
        f.frame->onCommand(cmd::AddMember);
        QCOMPARE(f.frame->statusText(), QStringLiteral("成功\"添加\"3个会员"));
        QCOMPARE(f.frame->state().core.get_viprec_count(nullptr), 3);
        QVERIFY(f.messages.shown.isEmpty());
        QCOMPARE(page->model()->rowCount(), 0); // listed only by the next search

        // The code typed on the ribbon, quote and all, finds its member.
        f.frame->setRibbonText(cmd::MemberCode, QStringLiteral("M'01"));
        f.frame->onCommand(cmd::SearchMember);
        flush();
        QCOMPARE(f.frame->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到1个会员"));
        QVERIFY(f.frame->isEnabled(cmd::EditMember));
        QVERIFY(f.frame->isEnabled(cmd::DeleteMember));

        // The type drop-down of the ribbon: the gold card members.
        f.frame->setRibbonText(cmd::MemberCode, QString());
        f.frame->setRibbonIndex(cmd::MemberType, 1);
        QCOMPARE(f.frame->ribbonText(cmd::MemberType), QStringLiteral("金卡会员"));
        f.frame->onCommand(cmd::SearchMember);
        QCOMPARE(f.frame->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到2个会员"));
        QCOMPARE(page->searchCondition(), std::string("FVi_Type=1"));

        // Editing: the panel keeps the rows in place, so search and delete wait.
        selectRows(*page, {1});
        f.frame->onCommand(cmd::EditMember);
        CVIPInputDlg* panel = page->panel();
        QVERIFY(panel->isVisible());
        QVERIFY(!f.frame->isEnabled(cmd::SearchMember));
        QVERIFY(!f.frame->isEnabled(cmd::DeleteMember));
        QVERIFY(f.frame->isEnabled(cmd::EditMember));
        field<QLineEdit>(panel, "points")->setText(QStringLiteral("88"));
        panel->save();
        QCOMPARE(f.frame->statusText(), QStringLiteral("成功\"编辑\"1个会员"));
        QVERIFY(f.frame->isEnabled(cmd::SearchMember));
        QCOMPARE(f.frame->state().core.get_viprec_count("FVs_Code='M03' AND FVi_Grade=88"), 1);

        // A failed save is said in the error box and the list shows the store again.
        QCOMPARE(f.frame->state().core.exec_sql(
                     "CREATE TRIGGER keep BEFORE UPDATE ON VIP BEGIN SELECT RAISE(ABORT,'no'); END;"),
                 0);
        selectRows(*page, {1});
        f.frame->onCommand(cmd::EditMember);
        field<QLineEdit>(panel, "points")->setText(QStringLiteral("1"));
        panel->save();
        const QString failed = QStringLiteral("未知异常导致会员\"编辑\"失败，放弃该次\"编辑\"操作");
        QCOMPARE(f.frame->statusText(), failed);
        QCOMPARE(f.messages.shown, QStringList{failed + QStringLiteral("。")});
        QCOMPARE(page->model()->data(page->model()->index(1, 4)).toString(), QStringLiteral("88"));

        // Deleting one after the question.
        f.messages.shown.clear();
        f.messages.answers = {true};
        selectRows(*page, {0});
        f.frame->onCommand(cmd::DeleteMember);
        QCOMPARE(f.messages.shown, QStringList{QStringLiteral("你的下一步操作将永久\"删除\"会员，是否要继续？")});
        QCOMPARE(f.frame->statusText(), QStringLiteral("成功\"删除\"1个会员"));
        QCOMPARE(f.frame->state().core.get_viprec_count(nullptr), 2);

        // The inputs live on the main window: away and back, the type is still
        // chosen while the list starts empty again.
        f.frame->selectTab(tabs::About);
        flush();
        QVERIFY(!f.frame->isEnabled(cmd::AddMember));
        QVERIFY(!f.frame->isEnabled(cmd::SearchMember));
        f.frame->selectTab(tabs::Members);
        flush();
        page = qobject_cast<CVIPView*>(f.frame->view());
        QVERIFY(page);
        QCOMPARE(f.frame->ribbonText(cmd::MemberType), QStringLiteral("金卡会员"));
        QCOMPARE(page->model()->rowCount(), 0);
        QVERIFY(!f.frame->isEnabled(cmd::EditMember));

        // Clearing the conditions lists everyone.
        f.frame->onCommand(cmd::ClearMemberSearch);
        QVERIFY(f.frame->ribbonText(cmd::MemberType).isEmpty());
        f.frame->onCommand(cmd::SearchMember);
        QCOMPARE(f.frame->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到2个会员"));
    }

    void spanCaptionOnTheRibbon() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Members);
        flush();
        auto* page = qobject_cast<CVIPView*>(f.frame->view());
        QVERIFY(page);
        page->setSpanPrompt([](const QDate&, const QDate&, QWidget*) {
            return SpanAnswer{1, QDate(2025, 1, 1), QDate(2025, 3, 31)};
        });
        f.frame->onCommand(cmd::CreateTime);
        QCOMPARE(f.ribbon().caption(cmd::CreateTime), QStringLiteral("创建时间: 2025-01-01 到 2025-03-31"));
        fillMembers(f.frame->state());
        f.frame->onCommand(cmd::SearchMember);
        QCOMPARE(f.frame->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到12个会员"));
        f.frame->onCommand(cmd::ClearMemberSearch);
        QCOMPARE(f.ribbon().caption(cmd::CreateTime), QStringLiteral("创建时间"));
    }

    void picture() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        fillMembers(f.frame->state());
        f.frame->selectTab(tabs::Members);
        flush();
        auto* page = qobject_cast<CVIPView*>(f.frame->view());
        QVERIFY(page);
        // A common laptop screen: wide enough for all ten columns at their widths.
        f.frame->resize(1366, 768);
        f.frame->onCommand(cmd::SearchMember);
        page->sortBy(4, false); // by points, most first
        flush();
        QCOMPARE(page->model()->rowCount(), 36);
        selectRows(*page, {2});
        shoot(*f.frame, QStringLiteral("members.png"));

        page->openEditor({2});
        settle(*page->panel());
        shoot(*page->panel(), QStringLiteral("members-edit.png"));
        page->panel()->hide();

        CVIPAddDlg dlg(*f.frame, f.frame.get());
        field<QLineEdit>(&dlg, "code")->setText(QStringLiteral("88000037"));
        field<QLineEdit>(&dlg, "name")->setText(QStringLiteral("吴海燕"));
        dlg.stageMember();
        field<QLineEdit>(&dlg, "code")->setText(QStringLiteral("88000038"));
        field<QLineEdit>(&dlg, "name")->setText(QStringLiteral("郑志强"));
        field<QComboBox>(&dlg, "type")->setCurrentIndex(1);
        dlg.stageMember();
        dlg.show();
        settle(dlg);
        shoot(dlg, QStringLiteral("members-add.png"));
        dlg.reject();
    }
};

QTEST_MAIN(TestFrameMembers)
#include "test_members.moc"
