// Shop data that looks real enough for demos and for measuring the store: names
// are composed from word lists, prices keep the shop's order (purchase < the
// discounted prices < retail), and every sale lies after its unit's stock time.
#include "gen.h"

#include "vorn/sqltext.h"

#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>
#include <stdexcept>
#include <vector>

namespace vorn::bench {

namespace {

// An article as a shop sells it: a size and the purchase price range of that
// size in yuan, so that a 330 ml beer never costs what a bottle of spirits does.
struct Sized {
    const char* size;
    double low, high;
};

struct Product {
    const char* name;
    Sized sizes[2];
};

struct Kind {
    const char* type;
    Product products[6];
    const char* variants[5]; // words that fit the kind's names ("" for none)
};

// Sources are UTF-8; every text goes through to_gbk() before it reaches a record.
// Purchase prices as a small shop in a Chinese city pays its wholesalers.
const Kind kKinds[10] = {
    {"饮料",
     {{"矿泉水", {{"550ml", 0.8, 1.2}, {"1.5L", 1.8, 2.6}}},
      {"绿茶", {{"500ml", 2.0, 2.8}, {"1L", 3.5, 4.5}}},
      {"橙汁", {{"450ml", 2.5, 3.5}, {"1.5L", 6.0, 8.5}}},
      {"可乐", {{"330ml", 1.5, 2.2}, {"2L", 4.5, 6.0}}},
      {"冰红茶", {{"500ml", 2.0, 2.8}, {"1L", 3.5, 4.5}}},
      {"椰汁", {{"245ml", 2.2, 3.0}, {"1.25L", 8.0, 11.0}}}},
     {"", "无糖", "低糖", "家庭装", "冰爽"}},
    {"休闲零食",
     {{"薯片", {{"70g", 3.5, 5.0}, {"135g", 6.5, 8.5}}},
      {"苏打饼干", {{"100g", 2.5, 3.8}, {"400g", 8.0, 11.0}}},
      {"巧克力", {{"43g", 3.5, 5.0}, {"200g", 15.0, 22.0}}},
      {"瓜子", {{"160g", 4.5, 6.5}, {"500g", 12.0, 16.0}}},
      {"牛肉干", {{"100g", 15.0, 22.0}, {"250g", 35.0, 48.0}}},
      {"果冻", {{"200g", 4.0, 6.0}, {"1kg", 14.0, 20.0}}}},
     {"", "原味", "香辣", "家庭装", "实惠装"}},
    {"日用百货",
     {{"抽纸", {{"3包", 8.0, 12.0}, {"10包", 25.0, 35.0}}},
      {"洗衣液", {{"1kg", 12.0, 18.0}, {"3kg", 30.0, 42.0}}},
      {"洗洁精", {{"500g", 4.0, 6.0}, {"1.5kg", 10.0, 14.0}}},
      {"垃圾袋", {{"30只", 3.0, 5.0}, {"100只", 8.0, 12.0}}},
      {"保鲜膜", {{"20m", 4.0, 6.5}, {"50m", 9.0, 13.0}}},
      {"卷纸", {{"10卷", 14.0, 20.0}, {"27卷", 32.0, 45.0}}}},
     {"", "家庭装", "实惠装", "超值", "大包装"}},
    {"粮油",
     {{"大米", {{"5kg", 22.0, 32.0}, {"10kg", 42.0, 60.0}}},
      {"花生油", {{"1.8L", 26.0, 35.0}, {"5L", 65.0, 85.0}}},
      {"面粉", {{"1kg", 4.5, 6.5}, {"5kg", 18.0, 26.0}}},
      {"挂面", {{"500g", 3.0, 4.5}, {"1kg", 5.5, 8.0}}},
      {"小米", {{"500g", 5.0, 7.5}, {"2.5kg", 22.0, 30.0}}},
      {"玉米油", {{"1.8L", 20.0, 28.0}, {"5L", 50.0, 68.0}}}},
     {"", "东北", "精选", "家庭装", "特级"}},
    {"调味品",
     {{"酱油", {{"500ml", 4.5, 7.0}, {"1.9L", 14.0, 20.0}}},
      {"香醋", {{"500ml", 3.5, 5.5}, {"1.9L", 10.0, 14.0}}},
      {"蚝油", {{"260g", 4.0, 6.0}, {"700g", 8.5, 12.0}}},
      {"食盐", {{"400g", 1.5, 2.2}, {"1kg", 3.0, 4.5}}},
      {"鸡精", {{"200g", 5.0, 7.5}, {"454g", 10.0, 14.0}}},
      {"料酒", {{"500ml", 3.0, 4.5}, {"1.75L", 8.0, 11.0}}}},
     {"", "特级", "精选", "家庭装", "古法"}},
    {"酒水",
     {{"啤酒", {{"330ml", 2.0, 3.2}, {"500ml", 3.0, 4.5}}},
      {"白酒", {{"500ml", 30.0, 120.0}, {"125ml", 8.0, 15.0}}},
      {"红酒", {{"750ml", 35.0, 90.0}, {"187ml", 12.0, 20.0}}},
      {"黄酒", {{"500ml", 6.0, 12.0}, {"2.5L", 25.0, 40.0}}},
      {"米酒", {{"500g", 4.0, 6.5}, {"900g", 7.0, 11.0}}},
      {"果酒", {{"275ml", 6.0, 9.0}, {"750ml", 25.0, 45.0}}}},
     {"", "经典", "特制", "窖藏", "清爽"}},
    {"乳制品",
     {{"纯牛奶", {{"250ml", 2.2, 3.2}, {"12盒", 38.0, 52.0}}},
      {"酸奶", {{"200g", 3.0, 4.5}, {"1kg", 11.0, 16.0}}},
      {"奶粉", {{"400g", 35.0, 60.0}, {"900g", 90.0, 180.0}}},
      {"奶酪", {{"100g", 9.0, 14.0}, {"200g", 16.0, 25.0}}},
      {"豆奶", {{"250ml", 1.8, 2.8}, {"12盒", 24.0, 32.0}}},
      {"乳酸菌", {{"340ml", 4.0, 6.0}, {"5瓶", 5.0, 7.0}}}},
     {"", "全脂", "低脂", "高钙", "原味"}},
    {"个人护理",
     {{"洗发水", {{"400ml", 20.0, 35.0}, {"750ml", 35.0, 55.0}}},
      {"沐浴露", {{"400ml", 15.0, 28.0}, {"750ml", 25.0, 42.0}}},
      {"洗面奶", {{"100g", 12.0, 30.0}, {"150g", 18.0, 40.0}}},
      {"护手霜", {{"50g", 6.0, 15.0}, {"100g", 12.0, 25.0}}},
      {"牙膏", {{"120g", 5.0, 10.0}, {"180g", 8.0, 15.0}}},
      {"牙刷", {{"1支", 3.0, 8.0}, {"3支", 8.0, 18.0}}}},
     {"", "清爽", "滋润", "草本", "家庭装"}},
    {"文具",
     {{"中性笔", {{"1支", 0.8, 1.5}, {"12支", 8.0, 14.0}}},
      {"笔记本", {{"A5", 3.0, 6.0}, {"B5", 4.0, 8.0}}},
      {"橡皮", {{"1块", 0.5, 1.2}, {"4块", 1.8, 3.5}}},
      {"铅笔", {{"1支", 0.4, 0.9}, {"12支", 4.0, 7.0}}},
      {"文件夹", {{"A4", 1.5, 3.5}, {"10个", 12.0, 25.0}}},
      {"便利贴", {{"1本", 1.2, 2.5}, {"6本", 6.0, 12.0}}}},
     {"", "学生", "办公", "彩色", "经典"}},
    {"家居",
     {{"毛巾", {{"1条", 8.0, 18.0}, {"2条", 15.0, 30.0}}},
      {"拖鞋", {{"42码", 8.0, 20.0}, {"38码", 8.0, 20.0}}},
      {"衣架", {{"10个", 6.0, 12.0}, {"20个", 10.0, 20.0}}},
      {"水杯", {{"400ml", 8.0, 25.0}, {"600ml", 12.0, 35.0}}},
      {"收纳盒", {{"小号", 6.0, 12.0}, {"大号", 15.0, 30.0}}},
      {"台灯", {{"LED", 35.0, 80.0}, {"护眼", 60.0, 120.0}}}},
     {"", "加厚", "简约", "家用", "经典"}},
};

// The demo shop: what the counter's title and every receipt's head show.
const char* const kShopName = "邻里惠便利超市";
const char* const kShopPhone = "0571-88362417";
const char* const kShopAddr = "杭州市西湖区文三路218号";
const char* const kShopNote = "谢谢惠顾，欢迎再次光临！请当面核对商品与找零。";

const char* const kBrands[] = {"康源", "金穗", "禾丰", "鲜乐", "优品", "百味", "嘉禾", "山野",
                               "蓝海", "华味", "恒美", "佳佳", "福润", "雅洁", "清泉", "乐享"};
const char* const kSuppliers[5] = {"恒顺商贸有限公司", "鑫源食品批发部", "华达日化贸易公司", "金福粮油经销处",
                                   "远东文体用品公司"};
const char* const kRemarks[] = {"促销", "临期特价", "赠品", "新到货"};

const char* const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周",
                                 "徐", "孙", "马", "朱", "胡", "郭", "何", "林", "罗", "高"};
const char* const kGiven[] = {"伟", "芳",   "娜",   "敏",   "静",   "丽",   "强",   "磊",   "军",   "洋",
                              "勇", "艳",   "杰",   "娟",   "涛",   "明",   "超",   "秀英", "华",   "平",
                              "刚", "桂英", "建国", "小红", "志强", "婷婷", "浩然", "子涵", "雨萱", "海燕"};
const char* const kPlaces[] = {"北京市朝阳区", "北京市海淀区", "上海市浦东新区", "上海市徐汇区",
                               "广州市天河区", "深圳市南山区", "杭州市西湖区",   "成都市武侯区",
                               "武汉市江汉区", "南京市鼓楼区"};
const char* const kRoads[] = {"建设路", "人民路", "解放路", "中山路", "和平路", "长江路", "幸福路", "文化路"};
const char* const kMailHosts[] = {"qq.com", "163.com", "126.com", "sina.com"};

class Random {
public:
    explicit Random(uint64_t seed) : engine_(seed) {}
    // Uniform in [lo, hi].
    int64_t range(int64_t lo, int64_t hi) {
        return lo + static_cast<int64_t>(engine_() % static_cast<uint64_t>(hi - lo + 1));
    }
    double real(double lo, double hi) {
        return lo + (hi - lo) * (static_cast<double>(engine_() >> 11) * 0x1.0p-53);
    }
    bool chance(double p) { return real(0.0, 1.0) < p; }
    template <class T, std::size_t N> T pick(T (&list)[N]) { return list[range(0, N - 1)]; }

private:
    std::mt19937_64 engine_;
};

double tenths(double v) {
    return std::round(v * 10.0) / 10.0;
}

// A moment of the local day that contains t, during opening hours.
int64_t during_opening(int64_t t, Random& rnd) {
    std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    return vorn::local_time_of(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                               static_cast<int>(rnd.range(8, 21)), static_cast<int>(rnd.range(0, 59)),
                               static_cast<int>(rnd.range(0, 59)));
}

std::string digits(Random& rnd, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>('0' + rnd.range(0, 9));
    return s;
}

// The last records of a table after a batch insert are the batch's, in order.
template <class Rec, class Count, class Select>
std::vector<Rec> last_rows(Count count, Select select, int n) {
    int total = count();
    if (total < n) return {};
    std::vector<Rec> all(static_cast<std::size_t>(total));
    if (select(all.data()) != total) return {};
    return std::vector<Rec>(all.end() - n, all.end());
}

} // namespace

std::string to_gbk(std::string_view utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert to GBK");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t in_left = utf8.size();
    char* o = out.data();
    std::size_t out_left = out.size();
    const std::size_t r = iconv(cd, &in, &in_left, &o, &out_left);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1)) throw std::runtime_error("text has no GBK form");
    out.resize(out.size() - out_left);
    return out;
}

int code_count(int units) {
    return std::max(1, units / 50);
}

std::string goods_code(int k) {
    // Multiplying by a number prime to 10^8 permutes the 8 digits, so codes differ.
    const uint64_t body = (static_cast<uint64_t>(k) * 3776483u + 12345678u) % 100000000u;
    char buf[16];
    std::snprintf(buf, sizeof buf, "6920%08llu", static_cast<unsigned long long>(body));
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (buf[i] - '0') * (i % 2 ? 3 : 1);
    buf[12] = static_cast<char>('0' + (10 - sum % 10) % 10);
    buf[13] = '\0';
    return buf;
}

bool write_demo_shop(vorn::Core& core) {
    return core.set_shop_name(to_gbk(kShopName).c_str()) && core.set_shop_phone(kShopPhone) &&
           core.set_shop_addr(to_gbk(kShopAddr).c_str()) && core.set_shop_pa(to_gbk(kShopNote).c_str());
}

int generate(vorn::Core& core, const GenOptions& opt, const Progress& progress, GenResult* result) {
    Random rnd(opt.seed);
    GenResult res;
    res.span_end = opt.now != 0 ? opt.now : static_cast<int64_t>(std::time(nullptr));
    res.span_begin = res.span_end - static_cast<int64_t>(opt.years) * 365 * 86400;
    const int batch = std::max(1, opt.batch);

    // Types and suppliers, beside the fallback entries of id 1.
    std::vector<vorn::TRec> types(10);
    for (int i = 0; i < 10; ++i) {
        types[i].FTi_Id = 0;
        types[i].FTs_Name = to_gbk(kKinds[i].type);
    }
    if (core.insert_trec(types.data(), 10) != 10) return -1;
    types = last_rows<vorn::TRec>([&] { return core.get_trec_count(nullptr); },
                                  [&](vorn::TRec* out) { return core.select_trec(out, nullptr); }, 10);
    if (types.size() != 10) return -1;
    for (int i = 0; i < 10; ++i)
        res.type_ids[i] = types[i].FTi_Id;

    std::vector<vorn::SPRec> suppliers(5);
    for (int i = 0; i < 5; ++i) {
        suppliers[i].FSPi_Id = 0;
        suppliers[i].FSPs_Name = to_gbk(kSuppliers[i]);
    }
    if (core.insert_sprec(suppliers.data(), 5) != 5) return -1;
    suppliers = last_rows<vorn::SPRec>([&] { return core.get_sprec_count(nullptr); },
                                       [&](vorn::SPRec* out) { return core.select_sprec(out, nullptr); }, 5);
    if (suppliers.size() != 5) return -1;
    if (progress) progress("types", 15, 15);

    // Goods: each code gets a share of the units, entered in a few deliveries.
    const int codes = opt.units > 0 ? code_count(opt.units) : 0;
    res.codes = codes;
    std::vector<vorn::SRec> buf;
    buf.reserve(static_cast<std::size_t>(batch));
    long written = 0;
    auto flush = [&]() {
        if (buf.empty()) return true;
        if (core.insert_srec(buf.data(), static_cast<int>(buf.size())) != static_cast<int>(buf.size()))
            return false;
        written += static_cast<long>(buf.size());
        buf.clear();
        if (progress) progress("goods", written, opt.units);
        return true;
    };
    int remaining = opt.units;
    const int64_t span = res.span_end - res.span_begin;
    for (int k = 0; k < codes; ++k) {
        const int left_codes = codes - k;
        const int avg = remaining / left_codes;
        int n = k == codes - 1
                    ? remaining
                    : static_cast<int>(std::min<int64_t>(remaining, rnd.range(avg / 2, avg + avg / 2)));
        remaining -= n;

        const Kind& kind = kKinds[rnd.range(0, 9)];
        const int kind_index = static_cast<int>(&kind - kKinds);
        vorn::SRec proto;
        proto.FSi_Id = 0;
        proto.FSs_Code = goods_code(k);
        // As many draws as ever, so the benchmarks' shops keep their shape: only
        // the words and the price ranges fit together now.
        const char* brand = rnd.pick(kBrands);
        const char* variant = kind.variants[rnd.range(0, 9) % 5];
        const Product& product = kind.products[rnd.range(0, 5)];
        const Sized& sized = product.sizes[rnd.range(0, 3) % 2];
        proto.FSs_Name = to_gbk(std::string(brand) + variant + product.name);
        proto.FSi_Type = res.type_ids[kind_index];
        proto.FSs_Size = to_gbk(sized.size);
        const double ori = tenths(rnd.real(sized.low, sized.high));
        // A margin of 30 to 60 percent keeps even the special price above the purchase price.
        const double ret = tenths(std::max(ori * rnd.real(1.3, 1.6), ori + 0.5));
        proto.FSd_OriP = ori;
        proto.FSd_RetP = ret;
        proto.FSd_MemP = std::min(tenths(ret * 0.95), ret - 0.1);
        proto.FSd_GolP = std::min(tenths(ret * 0.90), ret - 0.2);
        proto.FSd_WhoP = std::min(tenths(ret * 0.85), ret - 0.3);
        proto.FSd_SpeP = std::min(tenths(ret * 0.80), ret - 0.4);
        proto.FSd_ReaP = 0.0;
        proto.FSt_SalT = 0;
        proto.FSi_Flag = 0;
        proto.FSi_Supplier = suppliers[rnd.range(0, 4)].FSPi_Id;
        // How fast a code sells differs; on average opt.sold_share of the units are gone.
        const double sell_rate = std::clamp(opt.sold_share + rnd.real(-0.3, 0.3), 0.0, 1.0);

        int deliveries = static_cast<int>(std::min<int64_t>(n, rnd.range(1, 4)));
        for (int d = 0; d < deliveries; ++d) {
            const int in_delivery =
                d == deliveries - 1 ? n - (n / deliveries) * (deliveries - 1) : n / deliveries;
            vorn::SRec unit = proto;
            unit.FSt_StoT = during_opening(res.span_begin + rnd.range(0, span - 86400), rnd);
            unit.FSs_Remark = rnd.chance(0.05) ? to_gbk(rnd.pick(kRemarks)) : std::string();
            for (int u = 0; u < in_delivery; ++u) {
                vorn::SRec r = unit;
                if (rnd.chance(sell_rate)) {
                    int64_t sale =
                        during_opening(unit.FSt_StoT + rnd.range(0, res.span_end - unit.FSt_StoT), rnd);
                    if (sale <= unit.FSt_StoT || sale > res.span_end)
                        sale = std::min(res.span_end, unit.FSt_StoT + rnd.range(60, 3600));
                    r.FSt_SalT = sale;
                    r.FSi_Flag = 1;
                    r.FSd_ReaP = rnd.chance(0.7) ? r.FSd_RetP : r.FSd_MemP;
                    ++res.sold;
                }
                buf.push_back(std::move(r));
                if (static_cast<int>(buf.size()) >= batch && !flush()) return -1;
            }
        }
    }
    if (!flush()) return -1;
    res.units = static_cast<int>(written);

    // Members.
    std::vector<vorn::VIPRec> members;
    members.reserve(static_cast<std::size_t>(std::min(batch, std::max(0, opt.members))));
    long members_written = 0;
    for (int i = 0; i < opt.members; ++i) {
        vorn::VIPRec v;
        v.FVi_Id = 0;
        char code[16];
        std::snprintf(code, sizeof code, "8800%06d", i + 1);
        v.FVs_Code = code;
        v.FVi_Type = rnd.chance(0.2) ? 1 : 0;
        v.FVs_Name = to_gbk(std::string(rnd.pick(kSurnames)) + rnd.pick(kGiven));
        v.FVt_BirT =
            vorn::local_time_of(static_cast<int>(rnd.range(1940, 2006)), static_cast<int>(rnd.range(1, 12)),
                                static_cast<int>(rnd.range(1, 28)), 0, 0, 0);
        v.FVi_Grade = static_cast<int>(rnd.range(0, 5000));
        v.FVs_Phone = "1" + std::string(1, "3578"[rnd.range(0, 3)]) + digits(rnd, 9);
        v.FVs_EMail = rnd.chance(0.6) ? digits(rnd, 8) + "@" + rnd.pick(kMailHosts) : std::string();
        v.FVs_Addr = to_gbk(std::string(rnd.pick(kPlaces)) + rnd.pick(kRoads)) +
                     std::to_string(rnd.range(1, 300)) + to_gbk("号");
        v.FVt_CreT = during_opening(res.span_begin + rnd.range(0, span - 86400), rnd);
        v.FVs_Remark = std::string();
        members.push_back(std::move(v));
        if (static_cast<int>(members.size()) >= batch || i == opt.members - 1) {
            if (core.insert_viprec(members.data(), static_cast<int>(members.size())) !=
                static_cast<int>(members.size()))
                return -1;
            members_written += static_cast<long>(members.size());
            members.clear();
            if (progress) progress("members", members_written, opt.members);
        }
    }
    res.members = static_cast<int>(members_written);
    if (result) *result = res;
    return 0;
}

bool restock(vorn::Core& core, const char* code, int stock) {
    const std::string cond = std::string("FSi_Flag=0 AND FSs_Code='") + code + "'";
    int have = core.get_srec_count(cond.c_str());
    if (have < 0) return false;
    vorn::SRec proto;
    proto.FSs_Code = code;
    proto.FSs_Name = to_gbk("基准测试商品");
    proto.FSi_Type = 1;
    proto.FSs_Size = "500g";
    proto.FSd_OriP = 2.0;
    proto.FSd_RetP = 3.5;
    proto.FSd_MemP = 3.2;
    proto.FSd_GolP = 3.0;
    proto.FSd_WhoP = 2.8;
    proto.FSd_SpeP = 2.5;
    proto.FSt_StoT = 1700000000;
    proto.FSi_Supplier = 1;
    while (have < stock) {
        const int n = std::min(stock - have, 10000);
        std::vector<vorn::SRec> batch(static_cast<size_t>(n), proto);
        if (core.insert_srec(batch.data(), n) != n) return false;
        have += n;
    }
    return true;
}

bool group_sales(vorn::Core& core, int g, std::mt19937_64& rnd) {
    const int n = core.get_srec_count("FSi_Flag=1");
    if (n < 0) return false;
    std::vector<vorn::SRec> sold(static_cast<size_t>(n));
    if (core.select_srec(sold.data(), "FSi_Flag=1 ORDER BY FSt_SalT,FSi_Id") != n) return false;
    std::string sql;
    size_t i = 0;
    while (i < sold.size()) {
        const size_t size = 1 + rnd() % static_cast<unsigned>(2 * g - 1);
        const std::string t = vorn::format_time(sold[i].FSt_SalT);
        std::string ids;
        for (size_t k = i + 1; k < std::min(sold.size(), i + size); ++k)
            ids += (ids.empty() ? "" : ",") + std::to_string(sold[k].FSi_Id);
        if (!ids.empty()) sql += "UPDATE Store SET FSt_SalT='" + t + "' WHERE FSi_Id IN (" + ids + ");";
        i += size;
    }
    return core.exec_in_transaction(sql) == 0;
}

} // namespace vorn::bench
