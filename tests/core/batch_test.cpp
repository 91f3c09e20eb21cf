// Batch writes of every record type: both overloads, empty batches, failures and
// what a failed batch leaves behind.
#include "core_fixture.h"

using namespace vorntest;
using namespace vorn;

namespace {

// One face over the per-type operations, so each record type runs the same checks.
template <class R> struct Ops;
#define VORN_OPS(R, x, Id, Text, Table)                                                                      \
    template <> struct Ops<R> {                                                                              \
        static constexpr const char* table = Table;                                                          \
        static int count(Core& c) { return c.get_##x##_count(nullptr); }                                     \
        static int select(Core& c, R* o) { return c.select_##x(o, nullptr); }                                \
        template <class P> static int insert(Core& c, P r, int n) { return c.insert_##x(r, n); }             \
        template <class P> static int update(Core& c, P r, int n) { return c.update_##x(r, n); }             \
        template <class P> static int remove(Core& c, P r, int n) { return c.delete_##x(r, n); }             \
        static int& id(R& r) { return r.Id; }                                                                \
        static std::string& text(R& r) { return r.Text; }                                                    \
    };
VORN_OPS(SRec, srec, FSi_Id, FSs_Name, "Store")
VORN_OPS(TRec, trec, FTi_Id, FTs_Name, "Type")
VORN_OPS(SPRec, sprec, FSPi_Id, FSPs_Name, "Supplier")
VORN_OPS(URec, urec, FUi_Id, FUs_Name, "User")
VORN_OPS(VIPRec, viprec, FVi_Id, FVs_Name, "VIP")
#undef VORN_OPS

template <class R> R make(const std::string& text) {
    R r;
    if constexpr (std::is_same_v<R, SRec>) r = unit("C", "", 0, 10, 0, 1300000000);
    if constexpr (std::is_same_v<R, VIPRec>) r = member("V", "", 0, 1300000000);
    if constexpr (std::is_same_v<R, URec>) r.FUs_Pas = "pw", r.FUi_Auth = 2;
    Ops<R>::id(r) = 0;
    Ops<R>::text(r) = text;
    return r;
}

template <class R> std::vector<R> rows(Core& c) {
    std::vector<R> v(static_cast<size_t>(std::max(0, Ops<R>::count(c))));
    EXPECT_EQ(Ops<R>::select(c, v.data()), static_cast<int>(v.size()));
    return v;
}

// The texts of the rows after the first skip (the fallback or admin rows).
template <class R> std::vector<std::string> texts(Core& c, size_t skip) {
    std::vector<std::string> out;
    for (R& r : rows<R>(c))
        out.push_back(Ops<R>::text(r));
    return std::vector<std::string>(out.begin() + std::min(skip, out.size()), out.end());
}
using Texts = std::vector<std::string>;

template <class R> class Batch : public StoreTest {};
using RecordTypes = ::testing::Types<SRec, TRec, SPRec, URec, VIPRec>;
TYPED_TEST_SUITE(Batch, RecordTypes);

} // namespace

TYPED_TEST(Batch, BothOverloadsOfEveryWrite) {
    using R = TypeParam;
    using O = Ops<R>;
    Core& c = this->core;
    const size_t base = static_cast<size_t>(O::count(c));

    std::vector<R> arr = {make<R>("a0"), make<R>("a1"), make<R>("a2")};
    R p0 = make<R>("p0"), p1 = make<R>("p1");
    R* ptrs[] = {&p0, &p1};
    ASSERT_EQ(O::insert(c, arr.data(), 3), 3);
    ASSERT_EQ(O::insert(c, ptrs, 2), 2);
    std::vector<R> all = rows<R>(c);
    ASSERT_EQ(all.size(), base + 5);
    for (size_t i = base; i < base + 5; ++i)
        EXPECT_EQ(O::id(all[i]), O::id(all[base]) + int(i - base));
    EXPECT_EQ(texts<R>(c, base), (Texts{"a0", "a1", "a2", "p0", "p1"}));

    std::vector<R> u = {all[base], all[base + 2]};
    O::text(u[0]) = "A0", O::text(u[1]) = "A2";
    ASSERT_EQ(O::update(c, u.data(), 2), 2);
    O::text(all[base + 3]) = "P0", O::text(all[base + 4]) = "P1";
    R* up[] = {&all[base + 3], &all[base + 4]};
    ASSERT_EQ(O::update(c, up, 2), 2);
    EXPECT_EQ(texts<R>(c, base), (Texts{"A0", "a1", "A2", "P0", "P1"}));

    // Empty batches change nothing.
    EXPECT_EQ(O::insert(c, arr.data(), 0) + O::insert(c, ptrs, 0) + O::update(c, u.data(), 0) +
                  O::update(c, up, 0) + O::remove(c, u.data(), 0) + O::remove(c, up, 0),
              0);
    EXPECT_EQ(texts<R>(c, base), (Texts{"A0", "a1", "A2", "P0", "P1"}));

    ASSERT_EQ(O::remove(c, &all[base + 1], 1), 1);
    R* dp[] = {&all[base], &all[base + 4]};
    ASSERT_EQ(O::remove(c, dp, 2), 2);
    EXPECT_EQ(texts<R>(c, base), (Texts{"A2", "P0"}));

    // With its table gone every batch fails and leaves no transaction open.
    ASSERT_EQ(c.exec_sql((std::string("DROP TABLE ") + O::table + ";").c_str()), 0);
    EXPECT_EQ(O::insert(c, arr.data(), 3), -1);
    EXPECT_EQ(O::update(c, ptrs, 2), -1);
    EXPECT_EQ(O::remove(c, u.data(), 2), -1);
    EXPECT_EQ(c.exec_sql("BEGIN;"), 0);
    EXPECT_EQ(c.exec_sql("ROLLBACK;"), 0);
}

TEST_F(StoreTest, HundredUnitsInOneCallAndSettingRows) {
    SRec first = unit("F", "f");
    ASSERT_EQ(core.insert_srec(&first, 1), 1);
    std::vector<SRec> units;
    for (int i = 0; i < 100; ++i)
        units.push_back(unit("H", "u" + std::to_string(i)));
    ASSERT_EQ(core.insert_srec(units.data(), 100), 100);
    std::vector<SRec> got = all_units(core, "FSs_Code='H'");
    ASSERT_EQ(got.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_TRUE(got[i].FSi_Id == 2 + i && got[i].FSs_Name == "u" + std::to_string(i));

    ARec a[9];
    ASSERT_EQ(core.select_arec(a, nullptr), 9);
    a[1].FAs_Value = "v2", a[2].FAs_Value = "v3", a[3].FAs_Value = "v4";
    ARec* ap[] = {&a[2], &a[3]};
    EXPECT_EQ(core.update_arec(&a[1], 1) + core.update_arec(ap, 2) + core.update_arec(a, 0), 3);
    EXPECT_EQ(core.get_shop_phone() + core.get_shop_addr() + core.get_shop_pa(), "v2v3v4");
}

namespace {

// A Store table that refuses the code "BAD", to make one statement of a batch fail.
class CheckedCore : public Core {
protected:
    int create_table() override {
        int rc = Core::create_table();
        return rc ? rc
                  : exec_sql(
                        "DROP TABLE Store;CREATE TABLE Store (FSi_Id INTEGER PRIMARY KEY,FSs_Code CHAR(32) "
                        "CHECK(FSs_Code<>'BAD'),FSs_Name,FSi_Type,FSs_Size,FSd_OriP,FSd_RetP,FSd_MemP,FSd_"
                        "GolP,"
                        "FSd_WhoP,FSd_SpeP,FSt_StoT,FSd_ReaP,FSt_SalT,FSi_Flag,FSi_Supplier,FSs_Remark);");
    }
};

} // namespace

TEST_F(TempDirTest, FailedBatchRollsBackAndLeavesNoTransaction) {
    VORN_FILE_ONLY();
    CheckedCore core;
    ASSERT_EQ(core.open(), 0);
    SRec keep = unit("OK", "keep"), bad = unit("BAD", "x");
    ASSERT_EQ(core.insert_srec(&keep, 1), 1);
    std::vector<SRec> batch = {unit("A", "1"), unit("B", "2"), unit("BAD", "3"), unit("C", "4")};
    EXPECT_EQ(core.insert_srec(batch.data(), 4), -1);
    EXPECT_EQ(core.get_srec_count(nullptr), 1); // A and B went with the failed batch
    EXPECT_EQ(core.exec_sql("BEGIN;"), 0) << "the failed batch left its transaction open";
    EXPECT_EQ(core.exec_sql("ROLLBACK;"), 0);

    SRec* ptrs[] = {&batch[0], &batch[1]};
    ASSERT_EQ(core.insert_srec(ptrs, 2), 2);
    std::vector<SRec> rows = all_units(core);
    ASSERT_EQ(rows.size(), 3u);
    rows[0].FSs_Name = "changed";
    rows[1].FSs_Code = "BAD";
    SRec* up[] = {&rows[0], &rows[1]};
    EXPECT_EQ(core.update_srec(rows.data(), 2), -1);
    EXPECT_EQ(core.update_srec(up, 2), -1);
    SRec* bp[] = {&bad, &keep};
    EXPECT_EQ(core.insert_srec(bp, 2), -1);
    core.close();

    Core again; // what survives is what was committed
    ASSERT_EQ(again.open(), 0);
    EXPECT_EQ(again.get_srec_count(nullptr), 3);
    EXPECT_EQ(again.get_srec_count("FSs_Name='changed' OR FSs_Code='BAD'"), 0);
    EXPECT_EQ(again.get_srec_count("FSs_Code IN ('OK','A','B')"), 3);
    again.close();
}
