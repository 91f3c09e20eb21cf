// The ribbon, page switching and command state of the main window.
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include "frame/internetview.h"
#include "frame/ribbontable.h"
#include "birthdayreminder.h"
#include "kit/page/busy.h"
#include "kit/text/clock.h"
#include "kit/remind/reminder.h"
#include "saleview.h"
#include "res/commandids.h"
#include "res/tabs.h"
#include "frame_fixture.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {
QImage pixels(const QIcon& icon) {
    return icon.pixmap(32, 32).toImage();
}

void addUnits(AppState& state, const char* code, int n) {
    std::vector<vorn::SRec> units(static_cast<size_t>(n));
    for (auto& u : units) {
        u.FSs_Code = code;
        u.FSs_Name = code;
        u.FSi_Type = 1;
        u.FSi_Supplier = 1;
        u.FSi_Flag = 0;
    }
    QCOMPARE(state.core.insert_srec(units.data(), n), n);
}
} // namespace

class TestFrameRibbon : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpApplication();
        CInternetView::useBrowser(false);
    }
    void cleanup() { setNowForTests(0); }

    void ribbonHoldsTheTableWithCaptions() {
        FrameFixture f;
        QVERIFY(f.create());
        Ribbon& r = f.ribbon();
        const QStringList names{"销售前台", "销售记录", "商品管理", "店铺设置", "会员管理", "销售统计",
                                "商家店铺", "Zumo团购", "Zumo商城", "Zumo活动", "打折促销", "关于系统"};
        QCOMPARE(r.tabCount(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(r.tabText(i), names[i]);
            QCOMPARE(r.tabIndex(names[i]), i);
            QCOMPARE(ribbonTab(names[i])->name, names[i]);
        }
        QCOMPARE(r.tabIndex(QStringLiteral("用户登录")), -1); // a page, not a tab
        QVERIFY(!ribbonTab(QStringLiteral("用户登录")));
        // Controls show their captions, menu entries and input labels included.
        const QList<QPair<int, QString>> captions = {
            {cmd::SwitchUser, QStringLiteral("切换用户")},   {cmd::AddGoods, QStringLiteral("录入商品")},
            {cmd::Categories, QStringLiteral("类别定义")},   {cmd::GoodsTypes, QStringLiteral("商品类型")},
            {cmd::Suppliers, QStringLiteral("供货商")},      {cmd::GoodsCode, QStringLiteral("编码:")},
            {cmd::GoodsType, QStringLiteral("  类型:")},     {cmd::GoodsState, QStringLiteral("  状态:")},
            {cmd::StockTime, QStringLiteral("入库时间")},    {cmd::SaleTime, QStringLiteral("售出时间")},
            {cmd::ClearGoodsSearch, QStringLiteral("清除所有搜索条件")},
            {cmd::SearchGoods, QStringLiteral("搜索商品")},  {cmd::BackupTo, QStringLiteral("备份到指定位置")},
            {cmd::SearchMember, QStringLiteral("搜索会员")}, {cmd::StatByYear, QStringLiteral("以年份统计")},
            {cmd::Help, QStringLiteral("使用帮助")},         {cmd::DaySales, QStringLiteral("今日销售")},
            {cmd::SaleSpan, QStringLiteral("销售时间")},     {cmd::SaleMethod, QStringLiteral("付款方式:")},
            {cmd::SearchSales, QStringLiteral("搜索记录")},  {cmd::ReprintSale, QStringLiteral("重打小票")},
        };
        for (const auto& [id, text] : captions)
            QCOMPARE(r.caption(id), text);
        // Every command of the table has a control, the pop-up entries included.
        for (int id : {cmd::AddGoods,      cmd::RemoveGoods,  cmd::EditGoods,     cmd::Categories,
                       cmd::GoodsTypes,    cmd::Suppliers,    cmd::GoodsCode,     cmd::GoodsName,
                       cmd::GoodsSize,     cmd::GoodsType,    cmd::GoodsState,    cmd::StockTime,
                       cmd::SaleTime,      cmd::ClearGoodsSearch, cmd::SearchGoods, cmd::SystemUsers,
                       cmd::Backup,        cmd::Restore,      cmd::QuickBackup,   cmd::BackupTo,
                       cmd::QuickRestore,  cmd::RestoreFrom,  cmd::AddMember,     cmd::DeleteMember,
                       cmd::EditMember,    cmd::MemberCode,   cmd::MemberName,    cmd::MemberType,
                       cmd::CreateTime,    cmd::ClearMemberSearch, cmd::SearchMember, cmd::StatByYear,
                       cmd::StatByCustom,  cmd::SetYears,     cmd::SetCustom,     cmd::MakeCharts,
                       cmd::ZoomChart,     cmd::PrevChart,    cmd::NextChart,     cmd::AllCharts,
                       cmd::Help,          cmd::Support,      cmd::SwitchUser,    cmd::MemberDiscount,
                       cmd::GoodsDiscount, cmd::PrintReceipt, cmd::RunAlarm,      cmd::Alarm,
                       cmd::RunBirthday,   cmd::Birthday,     cmd::DaySales,      cmd::SaleSpan,
                       cmd::SaleNumber,    cmd::SaleCashier,  cmd::SaleMember,    cmd::SaleGoods,
                       cmd::SaleMethod,    cmd::ClearSaleSearch, cmd::SearchSales, cmd::OpenSale,
                       cmd::ReprintSale,   cmd::ExportSales})
            QVERIFY2(r.hasCommand(id), qPrintable(QString::number(id)));
        for (int id = cmd::FirstWebButton; id <= cmd::LastWebButton; ++id)
            QVERIFY(r.hasCommand(id));
        // Drop-down lists: the types as loaded, the fixed entries.
        QCOMPARE(r.items(cmd::GoodsType), QStringList{QStringLiteral("未知")});
        QCOMPARE(r.items(cmd::GoodsState),
                 (QStringList{QStringLiteral("库存中"), QStringLiteral("已销售"), QStringLiteral("已报损")}));
        QCOMPARE(r.items(cmd::MemberType),
                 (QStringList{QStringLiteral("普通会员"), QStringLiteral("金卡会员")}));
        QCOMPARE(r.items(cmd::SaleMethod), (QStringList{"全部", "现金", "微信", "支付宝", "银行卡", "其他"}));
        // The table places commands on their tabs.
        QCOMPARE(commandTab(cmd::GoodsTypes), tabs::Goods);
        QCOMPARE(commandTab(cmd::SwitchUser), tabs::Counter);
        QCOMPARE(commandTab(cmd::MakeCharts), tabs::Stats);
        QCOMPARE(commandTab(cmd::DaySales), tabs::Counter);
        for (int id : {cmd::SaleSpan, cmd::SaleMethod, cmd::ClearSaleSearch, cmd::SearchSales, cmd::ExportSales})
            QCOMPARE(commandTab(id), tabs::SaleJournal);
        // Who sees which tab: the journal is for administrators and shop owners.
        QVERIFY(ribbonTab(tabs::Counter)->everyRole);
        QVERIFY(!ribbonTab(tabs::SaleJournal)->everyRole);
        QVERIFY(!ribbonTab(tabs::Goods)->everyRole);
        QVERIFY(ribbonTab(tabs::About)->everyRole);
        // Empty: the command works on any page, or there is no such command.
        QCOMPARE(commandTab(cmd::FirstWebButton + 2), QString());
        QCOMPARE(commandTab(cmd::Help), QString());
        QCOMPARE(commandTab(cmd::PrintReceipt), QString());
        QCOMPARE(commandTab(999), QString());
        QVERIFY(findRibbonControl(cmd::Help));
        QVERIFY(!findRibbonControl(999));
    }

    // A page's registration names its tab and the commands it carries out; the
    // ribbon table only lays them out. Both must agree, both ways.
    void registeredCommandsSitOnTheirPagesTab() {
        FrameFixture f;
        QVERIFY(f.create());
        const PageRegistry& registry = f.frame->registry();
        // What the frame carries out itself, whichever tab shows the control.
        QSet<int> frameCommands{cmd::SwitchUser};
        for (const auto& make : registry.reminders()) {
            const auto source = make();
            frameCommands << source->toggleCommand() << source->buttonCommand();
        }
        QSet<QString> filled;
        for (const PageEntry& page : registry.pages()) {
            QVERIFY2(ribbonTab(page.tab), qPrintable(page.tab));
            QVERIFY2(!filled.contains(page.tab), qPrintable(page.tab));
            filled << page.tab;
            for (int id : page.commands) {
                int index = -1;
                const QString what = QStringLiteral("%1 of %2").arg(id).arg(page.tab);
                QVERIFY2(findRibbonControl(id, &index), qPrintable(what));
                QVERIFY2(!frameCommands.contains(id), qPrintable(what));
                QCOMPARE(ribbonTable()[static_cast<size_t>(index)].name, page.tab);
            }
        }
        int checked = 0;
        for (const RibbonTab& tab : ribbonTable()) {
            const PageEntry* page = registry.forTab(tab.name);
            if (!page) continue; // hidden, as checked below
            for (const RibbonGroup& group : tab.groups) {
                for (const RibbonControl& c : group.controls) {
                    const bool inert = c.kind == RibbonKind::Label || c.kind == RibbonKind::Spacer ||
                                       c.kind == RibbonKind::Break;
                    if (inert || commandScope(c.id) != RibbonScope::Page) continue;
                    std::vector<int> ids = c.menu;
                    ids.push_back(c.id);
                    for (int id : ids) {
                        if (frameCommands.contains(id)) continue;
                        const QString what = QStringLiteral("%1 on %2").arg(id).arg(tab.name);
                        QVERIFY2(page && page->serves(id), qPrintable(what));
                        ++checked;
                    }
                }
            }
        }
        QVERIFY(checked >= 40);
        // A tab no page fills is not offered.
        for (int i = 0; i < f.ribbon().tabCount(); ++i)
            QCOMPARE(f.ribbon().isTabVisible(i), filled.contains(f.ribbon().tabText(i)));
    }

    void tabSelectionSwitchesPageTitleAndStatus() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        // Tab 0 is shown already, so clicking it changes nothing: come back to it last.
        QList<int> order;
        for (int i = 1; i < f.ribbon().tabCount(); ++i)
            if (f.ribbon().isTabVisible(i)) order << i;
        QVERIFY(order.size() >= 10);
        order << 0;
        for (int i : order) {
            f.ribbon().clickTab(i);
            flush();
            const QString page = ribbonTable()[static_cast<size_t>(i)].name;
            QCOMPARE(f.frame->currentPage(), page);
            QCOMPARE(f.ribbon().currentTab(), i);
            QCOMPARE(f.frame->windowTitle(), QStringLiteral("Qelto进销存 - ") + page);
            QCOMPARE(f.frame->statusText(), QStringLiteral("打开\"%1\"页面").arg(page));
            QCOMPARE(
                f.frame->centralWidget()->findChildren<CPage*>(QString(), Qt::FindDirectChildrenOnly).size(),
                1);
        }
        QVERIFY(qobject_cast<CSaleView*>(f.frame->view()));
        f.frame->selectTab(QStringLiteral("没有这一页")); // no such tab
        QCOMPARE(f.frame->currentPage(), tabs::Counter);
        QVERIFY(qobject_cast<CSaleView*>(f.frame->view()));
    }

    void webTabsShareOneViewAndNavigate() {
        FrameFixture f;
        QFile ini(f.path("vorn.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[internet]\nshop=http://shop.example/\nmall=http://mall.example/\n");
        ini.close();
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.ribbon().clickTab(tabs::Web[0]);
        auto* web = qobject_cast<CInternetView*>(f.frame->view());
        QVERIFY(web);
        QCOMPARE(web->address(), QStringLiteral("http://shop.example/"));
        f.ribbon().clickTab(tabs::Web[2]);
        flush();
        QCOMPARE(f.frame->view(), web);
        QCOMPARE(web->address(), QStringLiteral("http://mall.example/"));
        QCOMPARE(f.frame->currentPage(), tabs::Web[2]);
        f.ribbon().clickTab(tabs::Web[1]);
        QCOMPARE(web->address(), QString()); // no address: a blank page
        QCOMPARE(f.frame->statusText(), QStringLiteral("打开\"Zumo团购\"页面"));
    }

    void commandsFollowTheActivePage() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Shop);
        QVERIFY(f.frame->isEnabled(cmd::SystemUsers));
        QVERIFY(f.frame->isEnabled(cmd::QuickBackup));
        QVERIFY(!f.frame->isEnabled(cmd::MakeCharts));
        QVERIFY(!f.frame->isEnabled(cmd::RunAlarm));
        QVERIFY(f.frame->isEnabled(cmd::FirstWebButton + 2)); // web buttons work anywhere
        QVERIFY(f.frame->isEnabled(cmd::Support));       // so do help and support
        QVERIFY(!f.frame->isEnabled(cmd::PrintReceipt)); // nothing printed yet
        QVERIFY(f.ribbon().isCommandEnabled(cmd::QuickBackup));
        f.frame->selectTab(tabs::Stats);
        QVERIFY(!f.frame->isEnabled(cmd::SystemUsers));
        QVERIFY(!f.ribbon().isCommandEnabled(cmd::QuickBackup));
        QVERIFY(f.ribbon().isCommandEnabled(cmd::MakeCharts));
    }

    void popupButtonsSendTheirMenuEntries() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        QSignalSpy spy(&f.ribbon(), &Ribbon::command);
        f.frame->selectTab(tabs::Counter);
        f.ribbon().trigger(cmd::QuickBackup); // not on its page: disabled
        QCOMPARE(spy.count(), 0);
        f.frame->selectTab(tabs::Shop);
        f.ribbon().trigger(cmd::Backup); // the button only opens its menu
        QCOMPARE(spy.count(), 0);
        f.ribbon().trigger(cmd::QuickBackup);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), cmd::QuickBackup);
    }

    void alarmAndReminderSwitches() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        QVERIFY(!f.frame->isChecked(cmd::RunAlarm));
        QVERIFY(!f.frame->isEnabled(cmd::Alarm));
        f.ribbon().trigger(cmd::RunAlarm);
        QVERIFY(f.frame->reminder(cmd::Alarm)->enabled());
        QVERIFY(f.frame->state().core.get_run_alarm());
        QCOMPARE(f.frame->statusText(), QStringLiteral("启用商品库存报警"));
        QVERIFY(f.ribbon().isCommandChecked(cmd::RunAlarm));
        QVERIFY(f.ribbon().isCommandEnabled(cmd::Alarm));
        f.ribbon().trigger(cmd::RunAlarm);
        QVERIFY(!f.frame->state().core.get_run_alarm());
        QCOMPARE(f.frame->statusText(), QStringLiteral("关闭商品库存报警"));
        QVERIFY(!f.ribbon().isCommandChecked(cmd::RunAlarm));

        f.ribbon().trigger(cmd::RunBirthday);
        QVERIFY(f.frame->state().core.get_run_birt_alarm());
        QCOMPARE(f.frame->statusText(), QStringLiteral("启用会员生日提醒"));
        QVERIFY(f.ribbon().isCommandEnabled(cmd::Birthday));
        f.ribbon().trigger(cmd::RunBirthday);
        QVERIFY(!f.frame->state().core.get_run_birt_alarm());
        QCOMPARE(f.frame->statusText(), QStringLiteral("关闭会员生日提醒"));

        // A new window on the same store starts from the stored switches, with a
        // state of its own: nobody logged in.
        f.ribbon().trigger(cmd::RunAlarm);
        f.frame.reset();
        flush();
        QVERIFY(f.create());
        QVERIFY(f.frame->reminder(cmd::Alarm)->enabled());
        QVERIFY(!f.frame->reminder(cmd::Birthday)->enabled());
        QVERIFY(f.frame->state().currentUser.FUs_Name.empty());
    }

    void lowStockBlinksOnlyOnTheSalesCounter() {
        FrameFixture f;
        QVERIFY(f.create());
        addUnits(f.frame->state(), "A1", 3);
        addUnits(f.frame->state(), "B2", 7);
        f.frame->state().core.set_alarm_limit(5);
        BlinkingReminder& alarm = *f.frame->reminder(cmd::Alarm);
        alarm.setLimit(5);
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        QCOMPARE(alarm.blink(), 0); // alarm off
        f.ribbon().trigger(cmd::RunAlarm);
        QCOMPARE(alarm.count(), 1);
        QCOMPARE(alarm.blink(), 1);
        QVERIFY(alarm.timerActive());

        const QImage normal = pixels(Ribbon::icon("alarm_201"));
        QSignalSpy ticks(&alarm, &BlinkingReminder::iconChanged);
        QTRY_COMPARE_WITH_TIMEOUT(ticks.count(), 3, 4000);
        QCOMPARE(ticks.at(0).at(1).toString(), QStringLiteral("alarm_203")); // the first tick shows 203
        QCOMPARE(ticks.at(1).at(1).toString(), QStringLiteral("alarm_202"));
        QCOMPARE(ticks.at(2).at(1).toString(), QStringLiteral("alarm_203"));
        QCOMPARE(pixels(f.ribbon().commandIcon(cmd::Alarm)), pixels(Ribbon::icon("alarm_203")));
        QVERIFY(pixels(Ribbon::icon("alarm_203")) != normal);

        // Leaving the counter stops it and restores the normal icon.
        f.frame->selectTab(tabs::Goods);
        flush();
        QCOMPARE(alarm.blink(), 0);
        QVERIFY(!alarm.timerActive());
        QCOMPARE(pixels(f.ribbon().commandIcon(cmd::Alarm)), normal);
        // Coming back starts it again while codes are still low.
        f.frame->selectTab(tabs::Counter);
        QCOMPARE(alarm.blink(), 1);
        f.ribbon().trigger(cmd::RunAlarm);
        QCOMPARE(alarm.blink(), 0);
    }

    void checksWaitForABusyJob() {
        FrameFixture f;
        QVERIFY(f.create());
        addUnits(f.frame->state(), "A1", 3);
        BlinkingReminder& alarm = *f.frame->reminder(cmd::Alarm);
        alarm.setLimit(5);
        alarm.setEnabled(true);
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Goods);
        flush();
        int countInJob = -1;
        runBusy(f.frame.get(), [&] {
            // The frame asks for a check while the job runs: it must not run yet.
            QMetaObject::invokeMethod(
                f.frame.get(), [&] { f.frame->selectTab(tabs::Counter); }, Qt::BlockingQueuedConnection);
            countInJob = alarm.blink();
        });
        QCOMPARE(countInJob, 0);
        QTRY_COMPARE(alarm.blink(), 1);
    }

    void dateWatchRunsWithTheSalesCounter() {
        // 2024-03-30 12:00 local time
        const QDateTime start(QDate(2024, 3, 30), QTime(12, 0));
        setNowForTests(start.toSecsSinceEpoch());
        FrameFixture f;
        QVERIFY(f.create());
        BlinkingReminder& reminder = *f.frame->reminder(cmd::Birthday);
        auto& birthdays = dynamic_cast<BirthdaySource&>(reminder.source());
        QCOMPARE(birthdays.window().start.date(), QDate(2024, 3, 30));
        std::vector<BirthdayWindow> asked;
        birthdays.setCondition([&](const BirthdayWindow& w) {
            asked.push_back(w);
            return std::string("1");
        });
        f.frame->state().core.set_birt_alarm_limit(5);
        reminder.setLimit(5);
        QCOMPARE(birthdays.window().end.date(), QDate(2024, 4, 4));

        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Counter);
        QVERIFY(f.frame->dateWatchRunning());
        f.ribbon().trigger(cmd::RunBirthday);
        QCOMPARE(asked.size(), size_t(1));

        // Same day: nothing recomputed.
        setNowForTests(start.addSecs(3600).toSecsSinceEpoch());
        f.frame->dateWatchTick();
        QCOMPARE(asked.size(), size_t(1));
        // Next day: the window moves and the check runs with it.
        setNowForTests(start.addDays(1).toSecsSinceEpoch());
        f.frame->dateWatchTick();
        QCOMPARE(asked.size(), size_t(2));
        QCOMPARE(asked.back().start.date(), QDate(2024, 3, 31));
        QCOMPARE(asked.back().end.date(), QDate(2024, 4, 5));
        QCOMPARE(asked.back().limit, 5);

        f.frame->selectTab(tabs::About);
        flush();
        QVERIFY(!f.frame->dateWatchRunning());
    }

    void statisticsRadiosHoldTheMode() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Stats);
        QVERIFY(f.ribbon().isCommandChecked(cmd::StatByYear));
        f.ribbon().trigger(cmd::StatByCustom);
        QVERIFY(f.ribbon().isCommandChecked(cmd::StatByCustom));
        QVERIFY(!f.ribbon().isCommandChecked(cmd::StatByYear));
        // Clicking the selected radio keeps it selected.
        f.ribbon().trigger(cmd::StatByCustom);
        QVERIFY(f.ribbon().isCommandChecked(cmd::StatByCustom));
        // The mode outlives the page.
        f.frame->selectTab(tabs::Goods);
        flush();
        f.frame->selectTab(tabs::Stats);
        QVERIFY(f.ribbon().isCommandChecked(cmd::StatByCustom));
    }

    void globalCommandOnAnyPage() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        bool ready = false;
        int runs = 0;
        f.frame->setGlobalCommand(
            cmd::PrintReceipt, [&] { return ready; }, [&] { ++runs; });
        f.frame->selectTab(tabs::About);
        QVERIFY(!f.frame->isEnabled(cmd::PrintReceipt));
        f.frame->onCommand(cmd::PrintReceipt);
        QCOMPARE(runs, 0);
        ready = true;
        f.frame->updateCommands();
        QVERIFY(f.ribbon().isCommandEnabled(cmd::PrintReceipt));
        f.frame->onCommand(cmd::PrintReceipt);
        QCOMPARE(runs, 1);
    }

    void ribbonInputsOutliveThePages() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Goods);
        f.frame->setRibbonText(cmd::GoodsCode, QStringLiteral("690123"));
        f.frame->setRibbonIndex(cmd::GoodsState, 1);
        f.frame->setRibbonCaption(cmd::StockTime, QStringLiteral("入库时间: 2024-01-01 到 2024-01-31"));
        f.frame->selectTab(tabs::Counter);
        f.frame->selectTab(tabs::Goods);
        QCOMPARE(f.frame->ribbonText(cmd::GoodsCode), QStringLiteral("690123"));
        QCOMPARE(f.frame->ribbonIndex(cmd::GoodsState), 1);
        QCOMPARE(f.frame->ribbonText(cmd::GoodsState), QStringLiteral("已销售"));
        QCOMPARE(f.ribbon().caption(cmd::StockTime), QStringLiteral("入库时间: 2024-01-01 到 2024-01-31"));
        f.frame->setRibbonIndex(cmd::GoodsState, 5); // out of range: no choice
        QCOMPARE(f.frame->ribbonIndex(cmd::GoodsState), -1);
    }

    void searchEditsDropWhatGbkCannotHold() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        addUnits(f.frame->state(), "AB", 2);
        addUnits(f.frame->state(), "CD", 1);
        f.frame->selectTab(tabs::Goods);
        flush();
        auto* code = qobject_cast<QLineEdit*>(f.ribbon().widget(cmd::GoodsCode));
        QVERIFY(code);
        // Pasted with a character GBK has no code for: the rest is kept, the status says why.
        code->insert(QStringLiteral("A\U0001F600B"));
        QCOMPARE(f.ribbon().text(cmd::GoodsCode), QStringLiteral("AB"));
        QCOMPARE(f.frame->statusText(), QStringLiteral("输入的文字中含有无法保存的字符，请修改后重试"));
        f.frame->onCommand(cmd::SearchGoods);
        QCOMPARE(f.frame->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到2件商品"));
        // A text that GBK holds is taken as it is.
        code->clear();
        code->insert(QStringLiteral("商品"));
        QCOMPARE(f.ribbon().text(cmd::GoodsCode), QStringLiteral("商品"));
        QCOMPARE(f.frame->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到2件商品"));
    }

    void typeListRefills() {
        FrameFixture f;
        QVERIFY(f.create());
        vorn::TRec t[2];
        t[0].FTs_Name = gbk(QStringLiteral("饮料"));
        t[1].FTs_Name = gbk(QStringLiteral("零食"));
        QCOMPARE(f.frame->state().core.insert_trec(t, 2), 2);
        QVERIFY(f.frame->state().loadTypesAndSuppliers()); // the type drop-down follows by itself
        QCOMPARE(f.ribbon().items(cmd::GoodsType),
                 (QStringList{QStringLiteral("未知"), QStringLiteral("饮料"), QStringLiteral("零食")}));
        QCOMPARE(f.frame->ribbonIndex(cmd::GoodsType), -1);
    }
};

QTEST_MAIN(TestFrameRibbon)
#include "test_ribbon.moc"
