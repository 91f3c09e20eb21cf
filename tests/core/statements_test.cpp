// Statement texts of the record types, quoting, money and long texts.
#include <cstring>
#include <limits>
#include <memory>

#include "core_fixture.h"

using namespace vorntest;
using namespace vorn;

namespace {

// One statement in a buffer of exactly the size the record asks for, so a
// writer that outgrows its estimate shows up under AddressSanitizer.
template <class Rec> std::string render(const Rec& r, int (Rec::*make)(char*) const) {
    std::size_t cap = r.sql_capacity();
    std::unique_ptr<char[]> buf(new char[cap]);
    int n = (r.*make)(buf.get());
    EXPECT_EQ(static_cast<std::size_t>(n), std::strlen(buf.get()));
    EXPECT_LT(static_cast<std::size_t>(n), cap);
    return std::string(buf.get());
}
template <class Rec> std::string ins(const Rec& r) {
    return render(r, &Rec::make_insert_sql);
}
template <class Rec> std::string upd(const Rec& r) {
    return render(r, &Rec::make_update_sql);
}
template <class Rec> std::string del(const Rec& r) {
    return render(r, &Rec::make_delete_sql);
}

SRec sample_unit() {
    SRec r = unit("6901234567890", gbk("可乐"), 0, 0, 0, local_time_of(2012, 3, 5, 9, 30, 0), 0);
    r.FSi_Id = 42;
    r.FSi_Type = 3;
    r.FSs_Size = "500ml";
    r.FSd_OriP = 1.5;
    r.FSd_RetP = 12.25; // exactly halfway: printf's "%.1f" would give 12.2
    r.FSd_MemP = 11.0;
    r.FSd_GolP = 10.35; // just below halfway in binary; as typed it rounds up
    r.FSd_WhoP = 9.0;
    r.FSd_SpeP = 8.5;
    r.FSi_Supplier = 2;
    r.FSs_Remark = "r";
    return r;
}

} // namespace

TEST(Statements, StoreUnit) {
    SRec r = sample_unit();
    const std::string head = "INSERT INTO Store VALUES(NULL,'6901234567890','" + gbk("可乐") +
                             "',3,'500ml',1.5,12.3,11.0,10.4,9.0,8.5,";
    EXPECT_EQ(ins(r), head + "'2012-03-05 09:30:00',0.0,NULL,0,2,'r');");
    EXPECT_EQ(upd(r),
              "UPDATE Store SET FSs_Code='6901234567890',FSs_Name='" + gbk("可乐") +
                  "',FSi_Type=3,FSs_Size='500ml',FSd_OriP=1.5,FSd_RetP=12.3,FSd_MemP=11.0,FSd_GolP=10.4,"
                  "FSd_WhoP=9.0,FSd_SpeP=8.5,FSt_StoT='2012-03-05 09:30:00',FSd_ReaP=0.0,FSt_SalT=NULL,"
                  "FSi_Flag=0,FSi_Supplier=2,FSs_Remark='r' WHERE FSi_Id=42;");
    EXPECT_EQ(del(r), "DELETE FROM Store WHERE FSi_Id=42;");
    // Each time field is rendered on its own value.
    r.FSt_StoT = 0;
    r.FSt_SalT = local_time_of(2013, 4, 6, 18, 5, 9);
    r.FSd_ReaP = -11.25;
    r.FSi_Flag = 1;
    r.FSs_Remark.clear();
    EXPECT_EQ(ins(r), head + "NULL,-11.3,'2013-04-06 18:05:09',1,2,'');");
}

TEST(Statements, OtherRecords) {
    TRec t;
    t.FTi_Id = 7;
    t.FTs_Name = gbk("饮料");
    EXPECT_EQ(ins(t) + upd(t) + del(t), "INSERT INTO Type VALUES(NULL,'" + gbk("饮料") +
                                            "');UPDATE Type SET FTs_Name='" + gbk("饮料") +
                                            "' WHERE FTi_Id=7;DELETE FROM Type WHERE FTi_Id=7;");
    SPRec s;
    s.FSPi_Id = 12;
    s.FSPs_Name = "ACME";
    EXPECT_EQ(ins(s) + upd(s) + del(s), "INSERT INTO Supplier VALUES(NULL,'ACME');"
                                        "UPDATE Supplier SET FSPs_Name='ACME' WHERE FSPi_Id=12;"
                                        "DELETE FROM Supplier WHERE FSPi_Id=12;");
    URec u;
    u.FUi_Id = 5;
    u.FUs_Name = "li";
    u.FUs_Pas = "pw";
    u.FUi_Auth = 2;
    EXPECT_EQ(ins(u) + upd(u) + del(u),
              "INSERT INTO User VALUES(NULL,'li','pw',2);"
              "UPDATE User SET FUs_Name='li',FUs_Pas='pw',FUi_Auth=2 WHERE FUi_Id=5;"
              "DELETE FROM User WHERE FUi_Id=5;");
    ARec a;
    a.FAi_Id = 3;
    a.FAs_Name = "n";
    EXPECT_EQ(ins(a) + upd(a) + del(a), "INSERT INTO Addition VALUES(NULL,'n', '');"
                                        "UPDATE Addition SET FAs_Name='n',FAs_Value='' WHERE FAi_Id=3;"
                                        "DELETE FROM Addition WHERE FAi_Id=3;");

    VIPRec v = member("V001", gbk("张三"), 0, local_time_of(2012, 3, 5, 9, 30, 0));
    v.FVi_Id = 9;
    v.FVi_Type = 1;
    v.FVi_Grade = 120;
    const std::string mid = "'V001',1,'" + gbk("张三") + "',120,'a@b.c','13800000000','addr',";
    EXPECT_EQ(ins(v), "INSERT INTO VIP VALUES(NULL," + mid + "'2012-03-05 09:30:00','',NULL);");
    EXPECT_EQ(upd(v), "UPDATE VIP SET FVs_Code='V001',FVi_Type=1,FVs_Name='" + gbk("张三") +
                          "',FVi_Grade=120,FVs_EMail='a@b.c',FVs_Phone='13800000000',FVs_Addr='addr',"
                          "FVt_CreT='2012-03-05 09:30:00',FVs_Remark='',FVt_BirT=NULL WHERE FVi_Id=9;");
    EXPECT_EQ(del(v), "DELETE FROM VIP WHERE FVi_Id=9;");
    v.FVt_BirT = local_time_of(1950, 6, 15, 8, 0, 0); // before 1970, and no creation time
    v.FVt_CreT = 0;
    EXPECT_EQ(ins(v), "INSERT INTO VIP VALUES(NULL," + mid + "NULL,'','1950-06-15 08:00:00');");
}

TEST(Statements, AppendToOneBufferAndQuote) {
    SRec a = sample_unit(), b = sample_unit();
    b.FSs_Code = "X";
    TRec t;
    t.FTi_Id = 2;
    t.FTs_Name = "O'Brien's";
    std::vector<char> buf(a.sql_capacity() * 3 + t.sql_capacity());
    char* p = buf.data();
    p += a.make_insert_sql(p);
    p += b.make_update_sql(p);
    p += a.make_delete_sql(p);
    p += t.make_insert_sql(p);
    const std::string expected = ins(a) + upd(b) + del(a) + "INSERT INTO Type VALUES(NULL,'O''Brien''s');";
    EXPECT_EQ(std::string(buf.data()), expected);
    EXPECT_EQ(static_cast<std::size_t>(p - buf.data()), expected.size());
    EXPECT_EQ(upd(t), "UPDATE Type SET FTs_Name='O''Brien''s' WHERE FTi_Id=2;");
    EXPECT_EQ(sql_escape("O'Brien's"), "O''Brien''s");
    EXPECT_EQ(sql_escape(""), "");
    EXPECT_EQ(sql_escape(gbk("店") + "''"), gbk("店") + "''''");
}

TEST(Money, HalfwayRoundsAwayFromZero) {
    const std::pair<double, const char*> cases[] = {{11.25, "11.3"},
                                                    {12.35, "12.4"},
                                                    {12.25, "12.3"},
                                                    {-11.25, "-11.3"},
                                                    {0.15, "0.2"},
                                                    {1.45, "1.5"},
                                                    {3.0, "3.0"},
                                                    {0.0, "0.0"},
                                                    {100.0, "100.0"},
                                                    {11.24, "11.2"},
                                                    {11.26, "11.3"},
                                                    {-3.04, "-3.0"},
                                                    {99999.95, "100000.0"},
                                                    {1234567.85, "1234567.9"},
                                                    {std::numeric_limits<double>::quiet_NaN(), "0.0"}};
    for (auto [value, text] : cases)
        EXPECT_EQ(format_money(value), text) << value;
}

TEST_F(StoreTest, PricesQuotesAndLongTextsRoundTrip) {
    SRec r = unit("C'1", "O'Brien's");
    r.FSd_OriP = 12.25;
    r.FSd_RetP = 12.34;
    r.FSd_MemP = -11.25;
    r.FSd_WhoP = 0.15;
    r.FSd_ReaP = 12.35;
    r.FSs_Remark = "'";
    SRec evil = unit("E", "x'); DELETE FROM Store; --");
    SRec batch[] = {r, evil};
    ASSERT_EQ(core.insert_srec(batch, 2), 2);
    std::string cond = "FSs_Name='" + sql_escape("O'Brien's") + "' AND FSs_Code='" + sql_escape("C'1") + "'";
    std::vector<SRec> got = all_units(core, cond.c_str());
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].FSs_Remark, "'");
    EXPECT_EQ(got[0].FSd_OriP, 12.3); // the store holds what the statement showed
    EXPECT_EQ(got[0].FSd_RetP, 12.3);
    EXPECT_EQ(got[0].FSd_MemP, -11.3);
    EXPECT_EQ(got[0].FSd_WhoP, 0.2);
    EXPECT_EQ(got[0].FSd_ReaP, 12.4);
    got[0].FSs_Name += " 'x'";
    got[0].FSd_ReaP = 12.25;
    ASSERT_EQ(core.update_srec(got.data(), 1), 1);
    EXPECT_EQ(all_units(core)[0].FSs_Name, "O'Brien's 'x'");
    EXPECT_EQ(all_units(core)[0].FSd_ReaP, 12.3);
    EXPECT_EQ(core.get_srec_count(nullptr), 2);

    // Texts far beyond their declared widths, with quotes, in every table.
    const std::string big = std::string(3000, 'n') + gbk("长") + "'" + std::string(2000, 'z');
    std::vector<SRec> units(30, unit(std::string(200, 'C'), big));
    for (int i = 0; i < 30; ++i)
        units[i].FSs_Remark = big + std::to_string(i);
    units[0].FSs_Size = big;
    EXPECT_GT(units[0].sql_capacity(), 15000u);
    (void)ins(units[0]);
    (void)upd(units[0]);
    ASSERT_EQ(core.insert_srec(units.data(), 30), 30);
    got = all_units(core, "FSi_Id>2");
    ASSERT_EQ(got.size(), 30u);
    for (int i = 0; i < 30; ++i)
        EXPECT_TRUE(got[i].FSs_Remark == big + std::to_string(i) && got[i].FSs_Name == big);
    EXPECT_EQ(got[0].FSs_Size, big);
    for (SRec& s : got)
        s.FSs_Remark += "+";
    ASSERT_EQ(core.update_srec(got.data(), 30), 30);
    EXPECT_EQ(core.get_srec_count(("FSs_Remark='" + sql_escape(big) + "7+'").c_str()), 1);

    TRec t;
    t.FTs_Name = big;
    SPRec s;
    s.FSPs_Name = big;
    URec u;
    u.FUs_Name = u.FUs_Pas = big;
    u.FUi_Auth = 2;
    VIPRec v = member(big, big);
    v.FVs_EMail = v.FVs_Phone = v.FVs_Addr = v.FVs_Remark = big;
    (void)ins(v);
    (void)upd(v);
    ASSERT_EQ(core.insert_trec(&t, 1) + core.insert_sprec(&s, 1) + core.insert_urec(&u, 1) +
                  core.insert_viprec(&v, 1),
              4);
    TRec ts[1];
    SPRec ss[1];
    URec us[1];
    VIPRec vs[1];
    ASSERT_EQ(core.select_trec(ts, "FTi_Id=2") + core.select_sprec(ss, "FSPi_Id=2") +
                  core.select_urec(us, "FUi_Id=2") + core.select_viprec(vs, nullptr),
              4);
    EXPECT_EQ(ts[0].FTs_Name, big);
    EXPECT_EQ(ss[0].FSPs_Name, big);
    EXPECT_EQ(us[0].FUs_Name + us[0].FUs_Pas, big + big);
    EXPECT_EQ(vs[0].FVs_Code + vs[0].FVs_Name + vs[0].FVs_EMail + vs[0].FVs_Phone + vs[0].FVs_Addr +
                  vs[0].FVs_Remark,
              big + big + big + big + big + big);
    core.set_shop_pa(big.c_str());
    EXPECT_EQ(core.get_shop_pa(), big);
}
