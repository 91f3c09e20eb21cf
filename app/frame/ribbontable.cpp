#include "frame/ribbontable.h"

#include "res/commandids.h"
#include "res/tabs.h"

#include <iterator>

namespace vorn::ui {

namespace {

using K = RibbonKind;

RibbonControl large(int id, const char* icon) {
    return {K::Large, id, 0, icon, {}, {}, RibbonScope::Page};
}
RibbonControl popup(int id, const char* icon, std::vector<int> menu) {
    return {K::LargePopup, id, 0, icon, std::move(menu), {}, RibbonScope::Page};
}
RibbonControl small(int id, int width, const char* icon) {
    return {K::Small, id, width, icon, {}, {}, RibbonScope::Page};
}
RibbonControl text(int id, int width) {
    return {K::SmallText, id, width, nullptr, {}, {}, RibbonScope::Page};
}
RibbonControl check(int id) {
    return {K::Check, id, 0, nullptr, {}, {}, RibbonScope::Page};
}
RibbonControl radio(int id) {
    return {K::Radio, id, 0, nullptr, {}, {}, RibbonScope::Page};
}
RibbonControl edit(int id, int width) {
    return {K::Edit, id, width, nullptr, {}, {}, RibbonScope::Page};
}
RibbonControl combo(int id, int width, QStringList items = {}) {
    return {K::Combo, id, width, nullptr, {}, std::move(items), RibbonScope::Page};
}
RibbonControl label(int id) {
    return {K::Label, id, 0, nullptr, {}, {}, RibbonScope::Page};
}
RibbonControl spacer(int width = 80) {
    return {K::Spacer, cmd::Spacer, width, nullptr, {}, {}, RibbonScope::Page};
}
RibbonControl brk() {
    return {K::Break, 0, 0, nullptr, {}, {}, RibbonScope::Page};
}
RibbonControl global(RibbonControl c) {
    c.scope = RibbonScope::Global;
    return c;
}
RibbonControl web(int id) {
    return {K::Large, id, 0, "web", {}, {}, RibbonScope::Always};
}
RibbonControl always(RibbonControl c) {
    c.scope = RibbonScope::Always;
    return c;
}

std::vector<RibbonTab> build() {
    using namespace cmd;
    std::vector<RibbonTab> t;

    t.push_back({tabs::Counter,
                 false,
                 true,
                 {{{large(SwitchUser, "switch_user"), large(MemberDiscount, "member_discount"),
                    large(GoodsDiscount, "goods_discount"), global(large(PrintReceipt, "print")),
                    large(DaySales, "day_sales"), large(ReturnGoods, "return_goods"),
                    // Parking a sale, and the shift's commands, stacked small.
                    small(HoldSale, 76, "sales_export"), small(RecallSale, 76, "sales_open"), brk(),
                    text(OpenShift, 48), text(HandOver, 48), text(OpenDrawer, 48)}},
                  {{spacer(), check(RunAlarm), large(Alarm, "alarm_201"), spacer(), check(RunBirthday),
                    large(Birthday, "alarm_201")}}}});

    // The sale journal: what its page lists, then the search, laid out as the goods' search.
    t.push_back({tabs::SaleJournal,
                 false,
                 false,
                 {{{large(OpenSale, "sales_open"), large(ReprintSale, "print"), large(ExportSales, "sales_export"),
                   large(DayCashUp, "sheets"), large(PastShifts, "calendar")}},
                  {{edit(SaleNumber, 120), edit(SaleCashier, 120), edit(SaleMember, 120), brk(),
                    edit(SaleGoods, 120),
                    combo(SaleMethod, 120,
                          {QStringLiteral("全部"), QStringLiteral("现金"), QStringLiteral("微信"),
                           QStringLiteral("支付宝"), QStringLiteral("银行卡"), QStringLiteral("其他")}),
                    brk(), small(SaleSpan, 216, "calendar"), text(ClearSaleSearch, 216),
                    large(SearchSales, "sales_search")}}}});

    t.push_back(
        {tabs::Goods,
         false,
         false,
         {{{large(AddGoods, "goods_add"), large(RemoveGoods, "goods_remove"), large(EditGoods, "goods_edit"),
            popup(Categories, "categories", {GoodsTypes, Suppliers}),
            popup(GoodsSheets, "sheets", {ImportGoods, ExportGoods}), large(StockTake, "goods_search")}},
          {{edit(GoodsCode, 120), edit(GoodsName, 120), edit(GoodsSize, 120), brk(), combo(GoodsType, 120),
            combo(GoodsState, 120, {QStringLiteral("库存中"), QStringLiteral("已销售"), QStringLiteral("已报损")}),
            check(ByArticle),
            brk(), small(StockTime, 216, "calendar"), small(SaleTime, 216, "calendar"),
            text(ClearGoodsSearch, 216), large(SearchGoods, "goods_search"), label(GoodsHint1),
            label(GoodsHint1 + 1), label(GoodsHint1 + 2)}}}});

    t.push_back({tabs::Shop,
                 false,
                 false,
                 {{{large(SystemUsers, "users"), popup(Backup, "backup", {QuickBackup, BackupTo}),
                    popup(Restore, "restore", {QuickRestore, RestoreFrom}),
                    large(ReceiptPrinter, "receipt_printer"), large(ShopKey, "shop_key"),
                    large(CounterRules, "goods_discount"), large(MoveToServer, "backup")}}}});

    t.push_back({tabs::Members,
                 false,
                 false,
                 {{{large(AddMember, "member_add"), large(DeleteMember, "member_delete"),
                    large(EditMember, "member_edit"), popup(MemberSheets, "sheets", {ImportMembers, ExportMembers})}},
                  {{edit(MemberCode, 120), edit(MemberName, 120), spacer(), brk(),
                    combo(MemberType, 144, {QStringLiteral("普通会员"), QStringLiteral("金卡会员")}),
                    spacer(), spacer(), brk(), small(CreateTime, 216, "calendar"), spacer(),
                    text(ClearMemberSearch, 216), large(SearchMember, "member_search"), label(MemberHint1),
                    label(MemberHint1 + 1), label(MemberHint1 + 2)}}}});

    t.push_back({tabs::Stats,
                 false,
                 false,
                 {{{radio(StatByYear), text(SetYears, 144), brk(), radio(StatByCustom), text(SetCustom, 144),
                    large(MakeCharts, "chart_make")}},
                  {{spacer(80), large(ZoomChart, "chart_zoom"), large(PrevChart, "chart_prev"),
                    large(NextChart, "chart_next"), large(AllCharts, "chart_all"),
                    large(ExportFigures, "chart_export")}},
                  {{large(SalesRanking, "day_sales")}}}});

    // The web tabs: their buttons open pages of the maker's site.
    const std::vector<int> webButtons[] = {
        {185, 186, 187, 188}, {189, 190, 191, 192, 193}, {194}, {195, 196, 197}, {198, 199}};
    static_assert(std::size(webButtons) == 5);
    for (size_t w = 0; w < std::size(webButtons); ++w) {
        RibbonGroup group;
        for (int id : webButtons[w])
            group.controls.push_back(web(id));
        t.push_back({tabs::Web.at(static_cast<qsizetype>(w)), true, true, {group}});
    }

    t.push_back({tabs::About, true, true, {{{always(large(Help, "help")), always(large(Support, "support"))}}}});
    return t;
}

} // namespace

const std::vector<RibbonTab>& ribbonTable() {
    static const std::vector<RibbonTab> table = build();
    return table;
}

const RibbonTab* ribbonTab(const QString& name) {
    for (const auto& tab : ribbonTable())
        if (tab.name == name) return &tab;
    return nullptr;
}

const RibbonControl* findRibbonControl(int id, int* tabIndex) {
    if (id <= 0 || id == cmd::Spacer) return nullptr;
    const auto& tabs = ribbonTable();
    for (size_t t = 0; t < tabs.size(); ++t) {
        for (const auto& g : tabs[t].groups) {
            for (const auto& c : g.controls) {
                bool inMenu = false;
                for (int m : c.menu)
                    inMenu = inMenu || m == id;
                if (c.id == id || inMenu) {
                    if (tabIndex) *tabIndex = static_cast<int>(t);
                    return &c;
                }
            }
        }
    }
    if (tabIndex) *tabIndex = -1;
    return nullptr;
}

RibbonScope commandScope(int id) {
    int tab = -1;
    const RibbonControl* c = findRibbonControl(id, &tab);
    if (!c) return RibbonScope::Page;
    if (c->scope == RibbonScope::Page && ribbonTable()[static_cast<size_t>(tab)].alwaysEnabled)
        return RibbonScope::Always;
    return c->scope;
}

QString commandTab(int id) {
    int tab = -1;
    if (!findRibbonControl(id, &tab) || commandScope(id) != RibbonScope::Page) return QString();
    return ribbonTable()[static_cast<size_t>(tab)].name;
}

} // namespace vorn::ui
