// Command ids of the ribbon. A control's caption is the string of the same
// number (kit/strings.h), so these numbers are fixed and shared by every subsystem.
#pragma once

namespace vorn::ui::cmd {

// 销售前台
constexpr int SwitchUser = 124;
constexpr int MemberDiscount = 121;
constexpr int GoodsDiscount = 174;
constexpr int PrintReceipt = 183;
constexpr int RunAlarm = 200;    // check box
constexpr int Alarm = 201;       // also the alarm's normal icon (its blink icons are 202 and 203)
constexpr int RunBirthday = 207; // check box
constexpr int Birthday = 208;
constexpr int DaySales = 321; // the cashier's own sales of the day, to print one again (F9)
constexpr int ReturnGoods = 380; // goods brought back: refund and stock (F8)
constexpr int HandOver = 400;    // 交班: the cash counted, the shift's report, the shift closed
constexpr int OpenShift = 401;   // 开班: the float the shift starts with
constexpr int OpenDrawer = 402;  // 开钱箱: the drawer opened without a sale, counted with the shift
constexpr int HoldSale = 410;    // 挂单: park the list for the next customer (F4)
constexpr int RecallSale = 411;  // 取单: bring a parked list back (F5)

// 销售记录
constexpr int SaleSpan = 310;       // the date span of the sales listed
constexpr int SaleNumber = 316;     // edit
constexpr int SaleCashier = 317;    // edit
constexpr int SaleMember = 318;     // edit: member code
constexpr int SaleGoods = 319;      // edit: goods code
constexpr int SaleMethod = 320;     // drop-down list: payment method
constexpr int ClearSaleSearch = 315;
constexpr int SearchSales = 311;
constexpr int OpenSale = 312;       // the sale's lines and payments
constexpr int ReprintSale = 313;    // 重打小票
constexpr int ExportSales = 314;
constexpr int DayCashUp = 403;      // 日结: a whole day's figures (administrators and shop owners)
constexpr int PastShifts = 404;     // past shifts and days, any report again

// 商品管理
constexpr int AddGoods = 102;
constexpr int RemoveGoods = 103;
constexpr int EditGoods = 105;
constexpr int Categories = 116;   // pop-up
constexpr int GoodsTypes = 32771; // menu item of 116
constexpr int Suppliers = 32772;  // menu item of 116
constexpr int GoodsCode = 106;    // edit
constexpr int GoodsName = 107;    // edit
constexpr int GoodsSize = 109;    // edit
constexpr int GoodsType = 108;    // drop-down list
constexpr int GoodsState = 122;   // drop-down list
constexpr int StockTime = 111;
constexpr int SaleTime = 113;
constexpr int ClearGoodsSearch = 204;
constexpr int SearchGoods = 114;
constexpr int GoodsSheets = 300;   // pop-up: goods in from and out to spreadsheets
constexpr int ImportGoods = 32790; // menu item of 300
constexpr int ExportGoods = 32791; // menu item of 300
constexpr int ByArticle = 330;     // check box: one row per goods code instead of one per unit
constexpr int SetPrices = 331;     // new prices for an article's units in stock
constexpr int Restock = 332;       // entry prefilled from an article
constexpr int StockTake = 430;     // 盘点: count the stock, write the differences off or in

// 店铺设置
constexpr int SystemUsers = 118;
constexpr int Backup = 131; // pop-up
constexpr int QuickBackup = 32777;
constexpr int BackupTo = 32778;
constexpr int Restore = 143; // pop-up
constexpr int QuickRestore = 32779;
constexpr int RestoreFrom = 32780;
constexpr int ReceiptPrinter = 303; // where receipts are printed
constexpr int ShopKey = 304;        // the owner's own key of the store (administrator only)
constexpr int CounterRules = 420;   // 收银设置: float, a salesperson's limits, the counter's habits
constexpr int MoveToServer = 379;   // 迁移到服务器: the store file into a PostgreSQL database (administrator only)

// 会员管理
constexpr int AddMember = 120;
constexpr int DeleteMember = 155;
constexpr int EditMember = 157;
constexpr int MemberCode = 115; // edit
constexpr int MemberName = 117; // edit
constexpr int MemberType = 119; // drop-down list
constexpr int CreateTime = 110;
constexpr int ClearMemberSearch = 205;
constexpr int SearchMember = 112;
constexpr int MemberSheets = 301;    // pop-up: members in from and out to spreadsheets
constexpr int ImportMembers = 32792; // menu item of 301
constexpr int ExportMembers = 32793; // menu item of 301

// 销售统计
constexpr int StatByYear = 126;   // radio
constexpr int StatByCustom = 127; // radio
constexpr int SetYears = 129;
constexpr int SetCustom = 130;
constexpr int MakeCharts = 141;
constexpr int ZoomChart = 123;
constexpr int PrevChart = 167;
constexpr int NextChart = 128;
constexpr int AllCharts = 125;
constexpr int ExportFigures = 302; // the figures behind the shown charts, to a spreadsheet
constexpr int SalesRanking = 440;  // 商品销售排行: what sells, net of returns

// Web buttons: 185 to 199 in the order of their INI keys.
constexpr int FirstWebButton = 185;
constexpr int LastWebButton = 199;

// 关于系统
constexpr int Help = 182;
constexpr int Support = 151;

// Strings that are not commands.
constexpr int Spacer = 104; // the blank label
constexpr int AboutText = 184;
constexpr int GoodsHint1 = 168;  // 168..170
constexpr int MemberHint1 = 171; // 171..173

} // namespace vorn::ui::cmd
