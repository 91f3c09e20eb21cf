// Shop data that looks real enough for demos and for measuring the store: names
// are composed from word lists, prices keep the shop's order (purchase < the
// discounted prices < retail), and every sale lies after its unit's stock time.
#include "gen.h"

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

struct Kind {
    const char* type;
    const char* products[6];
    const char* sizes[4];
    double low, high; // purchase price range, yuan
};

// Sources are UTF-8; every text goes through to_gbk() before it reaches a record.
const Kind kKinds[10] = {
    {"饮料",
     {"矿泉水", "绿茶", "橙汁", "可乐", "冰红茶", "椰汁"},
     {"550ml", "500ml", "1.5L", "330ml"},
     1.0,
     6.0},
    {"休闲零食",
     {"薯片", "苏打饼干", "巧克力", "瓜子", "牛肉干", "果冻"},
     {"70g", "150g", "200g", "500g"},
     2.0,
     30.0},
    {"日用百货",
     {"抽纸", "洗衣液", "洗洁精", "垃圾袋", "保鲜膜", "卷纸"},
     {"3包", "2kg", "500g", "10卷"},
     3.0,
     40.0},
    {"粮油",
     {"大米", "花生油", "面粉", "挂面", "小米", "玉米油"},
     {"5kg", "10kg", "1.8L", "1kg"},
     5.0,
     120.0},
    {"调味品", {"酱油", "香醋", "蚝油", "食盐", "鸡精", "料酒"}, {"500ml", "250g", "400g", "1L"}, 1.5, 20.0},
    {"酒水",
     {"啤酒", "白酒", "红酒", "黄酒", "米酒", "果酒"},
     {"500ml", "750ml", "330ml", "6瓶"},
     3.0,
     300.0},
    {"乳制品",
     {"纯牛奶", "酸奶", "奶粉", "奶酪", "豆奶", "乳酸菌"},
     {"250ml", "1L", "900g", "12盒"},
     2.0,
     200.0},
    {"个人护理",
     {"洗发水", "沐浴露", "洗面奶", "护手霜", "牙膏", "牙刷"},
     {"400ml", "750ml", "100g", "2支"},
     5.0,
     80.0},
    {"文具",
     {"中性笔", "笔记本", "橡皮", "铅笔", "文件夹", "便利贴"},
     {"12支", "A5", "1块", "10个"},
     1.0,
     25.0},
    {"家居",
     {"毛巾", "拖鞋", "衣架", "水杯", "收纳盒", "台灯"},
     {"1条", "42码", "10个", "400ml"},
     5.0,
     150.0},
};

const char* const kBrands[] = {"康源", "金穗", "禾丰", "鲜乐", "优品", "百味", "嘉禾", "山野",
                               "蓝海", "华味", "恒美", "佳佳", "福润", "雅洁", "清泉", "乐享"};
const char* const kVariants[] = {"",     "原味", "经典", "家庭装", "清香型",
                                 "特浓", "低糖", "精选", "新品",   "实惠装"};
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
        proto.FSs_Name =
            to_gbk(std::string(rnd.pick(kBrands)) + rnd.pick(kVariants) + kind.products[rnd.range(0, 5)]);
        proto.FSi_Type = res.type_ids[kind_index];
        proto.FSs_Size = to_gbk(kind.sizes[rnd.range(0, 3)]);
        const double ori = tenths(rnd.real(kind.low, kind.high));
        const double ret = tenths(std::max(ori * rnd.real(1.15, 1.6), ori + 0.5));
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

} // namespace vorn::bench
