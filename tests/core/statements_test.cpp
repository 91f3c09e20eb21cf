// Statement texts of the record types, quoting, money and long texts.
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "core_fixture.h"

using namespace vorntest;
using vorn::ARec;
using vorn::SPRec;
using vorn::SRec;
using vorn::TRec;
using vorn::URec;
using vorn::VIPRec;

namespace {

// Renders one statement into a buffer of exactly the size the record asks for,
// so a writer that passes its own estimate shows up under AddressSanitizer.
template <class Rec> std::string render(const Rec& r, int (Rec::*make)(char*) const) {
    std::size_t cap = r.sql_capacity();
    std::unique_ptr<char[]> buf(new char[cap]);
    int n = (r.*make)(buf.get());
    EXPECT_GE(n, 0);
    EXPECT_EQ(static_cast<std::size_t>(n), std::strlen(buf.get()));
    EXPECT_LT(static_cast<std::size_t>(n), cap);
    return std::string(buf.get(), n > 0 ? n : 0);
}

template <class Rec> std::string ins(const Rec& r) { return render(r, &Rec::make_insert_sql); }
template <class Rec> std::string upd(const Rec& r) { return render(r, &Rec::make_update_sql); }
template <class Rec> std::string del(const Rec& r) { return render(r, &Rec::make_delete_sql); }

int64_t t_stock() { return vorn::local_time_of(2012, 3, 5, 9, 30, 0); }
int64_t t_sale() { return vorn::local_time_of(2013, 4, 6, 18, 5, 9); }
int64_t t_1950() { return vorn::local_time_of(1950, 6, 15, 8, 0, 0); }

SRec sample_unit() {
    SRec r = unit("6901234567890", gbk("可乐"));
    r.FSi_Id = 42;
    r.FSi_Type = 3;
    r.FSs_Size = "500ml";
    r.FSd_OriP = 1.5;
    r.FSd_RetP = 12.25; // exactly halfway: printf's "%.1f" would give 12.2
    r.FSd_MemP = 11.0;
    r.FSd_GolP = 10.35; // just below halfway in binary; as typed it rounds up
    r.FSd_WhoP = 9.0;
    r.FSd_SpeP = 8.5;
    r.FSt_StoT = t_stock();
    r.FSd_ReaP = 0.0;
    r.FSt_SalT = 0;
    r.FSi_Flag = 0;
    r.FSi_Supplier = 2;
    r.FSs_Remark = "r";
    return r;
}

VIPRec sample_member() {
    VIPRec v = member("V001", gbk("张三"), 0, t_stock());
    v.FVi_Id = 9;
    v.FVi_Type = 1;
    v.FVi_Grade = 120;
    v.FVs_EMail = "z@s.cn";
    v.FVs_Phone = "13900001111";
    v.FVs_Addr = gbk("北京路1号");
    return v;
}

using Store = StoreTest;

} // namespace

TEST(Statements, StoreUnit) {
    SRec r = sample_unit();
    const std::string name = gbk("可乐");
    EXPECT_EQ(ins(r), "INSERT INTO Store VALUES(NULL,'6901234567890','" + name +
                          "',3,'500ml',1.5,12.3,11.0,10.4,9.0,8.5,'2012-03-05 09:30:00',0.0,NULL,0,2,'r');");
    EXPECT_EQ(upd(r), "UPDATE Store SET FSs_Code='6901234567890',FSs_Name='" + name +
                          "',FSi_Type=3,FSs_Size='500ml',FSd_OriP=1.5,FSd_RetP=12.3,FSd_MemP=11.0,FSd_GolP=10.4,"
                          "FSd_WhoP=9.0,FSd_SpeP=8.5,FSt_StoT='2012-03-05 09:30:00',FSd_ReaP=0.0,FSt_SalT=NULL,"
                          "FSi_Flag=0,FSi_Supplier=2,FSs_Remark='r' WHERE FSi_Id=42;");
    EXPECT_EQ(del(r), "DELETE FROM Store WHERE FSi_Id=42;");

    // Each time field is rendered on its own value.
    r.FSt_StoT = 0;
    r.FSt_SalT = t_sale();
    r.FSd_ReaP = 11.0;
    r.FSi_Flag = 1;
    EXPECT_EQ(ins(r), "INSERT INTO Store VALUES(NULL,'6901234567890','" + name +
                          "',3,'500ml',1.5,12.3,11.0,10.4,9.0,8.5,NULL,11.0,'2013-04-06 18:05:09',1,2,'r');");
    r.FSd_OriP = -11.25;
    r.FSs_Remark.clear();
    EXPECT_NE(upd(r).find(",FSd_OriP=-11.3,"), std::string::npos);
    EXPECT_NE(upd(r).find(",FSt_StoT=NULL,"), std::string::npos);
    EXPECT_NE(upd(r).find(",FSs_Remark='' WHERE"), std::string::npos);
}

TEST(Statements, TypeSupplierUserSetting) {
    TRec t;
    t.FTi_Id = 7;
    t.FTs_Name = gbk("饮料");
    EXPECT_EQ(ins(t), "INSERT INTO Type VALUES(NULL,'" + gbk("饮料") + "');");
    EXPECT_EQ(upd(t), "UPDATE Type SET FTs_Name='" + gbk("饮料") + "' WHERE FTi_Id=7;");
    EXPECT_EQ(del(t), "DELETE FROM Type WHERE FTi_Id=7;");

    SPRec s;
    s.FSPi_Id = 12;
    s.FSPs_Name = "ACME";
    EXPECT_EQ(ins(s), "INSERT INTO Supplier VALUES(NULL,'ACME');");
    EXPECT_EQ(upd(s), "UPDATE Supplier SET FSPs_Name='ACME' WHERE FSPi_Id=12;");
    EXPECT_EQ(del(s), "DELETE FROM Supplier WHERE FSPi_Id=12;");

    URec u;
    u.FUi_Id = 5;
    u.FUs_Name = "li";
    u.FUs_Pas = "pw";
    u.FUi_Auth = 2;
    EXPECT_EQ(ins(u), "INSERT INTO User VALUES(NULL,'li','pw',2);");
    EXPECT_EQ(upd(u), "UPDATE User SET FUs_Name='li',FUs_Pas='pw',FUi_Auth=2 WHERE FUi_Id=5;");
    EXPECT_EQ(del(u), "DELETE FROM User WHERE FUi_Id=5;");

    ARec a;
    a.FAi_Id = 3;
    a.FAs_Name = "n";
    a.FAs_Value = "";
    EXPECT_EQ(ins(a), "INSERT INTO Addition VALUES(NULL,'n', '');");
    EXPECT_EQ(upd(a), "UPDATE Addition SET FAs_Name='n',FAs_Value='' WHERE FAi_Id=3;");
    EXPECT_EQ(del(a), "DELETE FROM Addition WHERE FAi_Id=3;");
}

TEST(Statements, Member) {
    VIPRec v = sample_member();
    const std::string name = gbk("张三"), addr = gbk("北京路1号");
    EXPECT_EQ(ins(v), "INSERT INTO VIP VALUES(NULL,'V001',1,'" + name + "',120,'z@s.cn','13900001111','" + addr +
                          "','2012-03-05 09:30:00','',NULL);");
    EXPECT_EQ(upd(v), "UPDATE VIP SET FVs_Code='V001',FVi_Type=1,FVs_Name='" + name +
                          "',FVi_Grade=120,FVs_EMail='z@s.cn',FVs_Phone='13900001111',FVs_Addr='" + addr +
                          "',FVt_CreT='2012-03-05 09:30:00',FVs_Remark='',FVt_BirT=NULL WHERE FVi_Id=9;");
    EXPECT_EQ(del(v), "DELETE FROM VIP WHERE FVi_Id=9;");

    // A birthday before 1970 and no creation time.
    v.FVt_BirT = t_1950();
    v.FVt_CreT = 0;
    EXPECT_EQ(ins(v), "INSERT INTO VIP VALUES(NULL,'V001',1,'" + name + "',120,'z@s.cn','13900001111','" + addr +
                          "',NULL,'','1950-06-15 08:00:00');");
}

TEST(Statements, ConsecutiveStatementsAppendToOneBuffer) {
    SRec a = sample_unit();
    SRec b = sample_unit();
    b.FSi_Id = 43;
    b.FSs_Code = "X";
    TRec t;
    t.FTi_Id = 1;
    t.FTs_Name = "T";
    std::string expected = ins(a) + upd(b) + del(a) + ins(t);
    std::vector<char> buf(a.sql_capacity() + b.sql_capacity() + a.sql_capacity() + t.sql_capacity());
    char* p = buf.data();
    p += a.make_insert_sql(p);
    p += b.make_update_sql(p);
    p += a.make_delete_sql(p);
    p += t.make_insert_sql(p);
    EXPECT_EQ(std::string(buf.data()), expected);
    EXPECT_EQ(static_cast<std::size_t>(p - buf.data()), expected.size());
}

TEST(Statements, QuotesAreDoubled) {
    EXPECT_EQ(vorn::sql_escape("O'Brien's"), "O''Brien''s");
    EXPECT_EQ(vorn::sql_escape(""), "");
    EXPECT_EQ(vorn::sql_escape("''"), "''''");
    EXPECT_EQ(vorn::sql_escape(gbk("店") + "'"), gbk("店") + "''");
    TRec t;
    t.FTi_Id = 2;
    t.FTs_Name = "O'Brien's";
    EXPECT_EQ(ins(t), "INSERT INTO Type VALUES(NULL,'O''Brien''s');");
    EXPECT_EQ(upd(t), "UPDATE Type SET FTs_Name='O''Brien''s' WHERE FTi_Id=2;");
}

TEST(Money, HalfwayRoundsAwayFromZero) {
    EXPECT_EQ(vorn::format_money(11.25), "11.3");
    EXPECT_EQ(vorn::format_money(12.35), "12.4");
    EXPECT_EQ(vorn::format_money(12.25), "12.3");
    EXPECT_EQ(vorn::format_money(-11.25), "-11.3");
    EXPECT_EQ(vorn::format_money(0.15), "0.2");
    EXPECT_EQ(vorn::format_money(1.45), "1.5");
    EXPECT_EQ(vorn::format_money(3.0), "3.0");
    EXPECT_EQ(vorn::format_money(0.0), "0.0");
    EXPECT_EQ(vorn::format_money(100.0), "100.0");
    EXPECT_EQ(vorn::format_money(11.24), "11.2");
    EXPECT_EQ(vorn::format_money(11.26), "11.3");
    EXPECT_EQ(vorn::format_money(-3.04), "-3.0");
    EXPECT_EQ(vorn::format_money(99999.95), "100000.0");
    EXPECT_EQ(vorn::format_money(1234567.85), "1234567.9");
    EXPECT_EQ(vorn::format_money(std::numeric_limits<double>::quiet_NaN()), "0.0");
    EXPECT_EQ(vorn::format_money(std::numeric_limits<double>::infinity()), "0.0");
}

TEST_F(Store, PricesAreStoredAsWritten) {
    SRec r = unit("P", "n");
    r.FSd_OriP = 12.25;
    r.FSd_RetP = 12.34;
    r.FSd_MemP = -11.25;
    r.FSd_GolP = 3.0;
    r.FSd_WhoP = 0.15;
    r.FSd_SpeP = 7.75;
    r.FSd_ReaP = 12.35;
    ASSERT_EQ(core.insert_srec(&r, 1), 1);
    std::vector<SRec> got = all_units(core);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].FSd_OriP, 12.3);
    EXPECT_EQ(got[0].FSd_RetP, 12.3);
    EXPECT_EQ(got[0].FSd_MemP, -11.3);
    EXPECT_EQ(got[0].FSd_GolP, 3.0);
    EXPECT_EQ(got[0].FSd_WhoP, 0.2);
    EXPECT_EQ(got[0].FSd_SpeP, 7.8);
    EXPECT_EQ(got[0].FSd_ReaP, 12.4);
    // The same rounding on update.
    got[0].FSd_ReaP = 12.25;
    ASSERT_EQ(core.update_srec(got.data(), 1), 1);
    EXPECT_EQ(all_units(core)[0].FSd_ReaP, 12.3);
}

TEST_F(Store, QuotedTextsRoundTrip) {
    const std::string q = "O'Brien's";
    SRec r = unit("C'1", q);
    r.FSs_Remark = "'";
    ASSERT_EQ(core.insert_srec(&r, 1), 1);
    std::string cond = "FSs_Name='" + vorn::sql_escape(q) + "' AND FSs_Code='" + vorn::sql_escape("C'1") + "'";
    ASSERT_EQ(core.get_srec_count(cond.c_str()), 1);
    std::vector<SRec> got = all_units(core, cond.c_str());
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].FSs_Name, q);
    EXPECT_EQ(got[0].FSs_Remark, "'");
    got[0].FSs_Name = q + " 'x'";
    ASSERT_EQ(core.update_srec(got.data(), 1), 1);
    EXPECT_EQ(all_units(core)[0].FSs_Name, q + " 'x'");
    // A name that tries to end the statement stays data.
    SRec evil = unit("E", "x'); DELETE FROM Store; --");
    ASSERT_EQ(core.insert_srec(&evil, 1), 1);
    EXPECT_EQ(core.get_srec_count(nullptr), 2);

    TRec t;
    t.FTs_Name = q;
    SPRec s;
    s.FSPs_Name = q;
    URec u;
    u.FUs_Name = q;
    u.FUs_Pas = "p'w";
    u.FUi_Auth = 1;
    VIPRec v = member("V'1", q);
    v.FVs_Addr = q;
    ASSERT_EQ(core.insert_trec(&t, 1), 1);
    ASSERT_EQ(core.insert_sprec(&s, 1), 1);
    ASSERT_EQ(core.insert_urec(&u, 1), 1);
    ASSERT_EQ(core.insert_viprec(&v, 1), 1);
    TRec ts[2];
    SPRec ss[2];
    URec us[2];
    VIPRec vs[1];
    ASSERT_EQ(core.select_trec(ts, nullptr), 2);
    ASSERT_EQ(core.select_sprec(ss, nullptr), 2);
    ASSERT_EQ(core.select_urec(us, nullptr), 2);
    ASSERT_EQ(core.select_viprec(vs, nullptr), 1);
    EXPECT_EQ(ts[1].FTs_Name, q);
    EXPECT_EQ(ss[1].FSPs_Name, q);
    EXPECT_EQ(us[1].FUs_Name, q);
    EXPECT_EQ(us[1].FUs_Pas, "p'w");
    EXPECT_EQ(vs[0].FVs_Code, "V'1");
    EXPECT_EQ(vs[0].FVs_Addr, q);
}

TEST_F(Store, LongTextsBeyondDeclaredWidths) {
    const std::string big(5000, 'R');
    const std::string wide = std::string(3000, 'n') + gbk("长") + "'" + std::string(1000, 'z');
    std::vector<SRec> units;
    for (int i = 0; i < 30; ++i) {
        SRec r = unit(std::string(200, 'C') + std::to_string(i), wide);
        r.FSs_Size = std::string(400, 'S');
        r.FSs_Remark = big + std::to_string(i);
        units.push_back(r);
    }
    EXPECT_GT(units[0].sql_capacity(), 9000u);
    (void)ins(units[0]);
    (void)upd(units[0]);
    ASSERT_EQ(core.insert_srec(units.data(), 30), 30);
    std::vector<SRec> got = all_units(core);
    ASSERT_EQ(got.size(), 30u);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(got[i].FSs_Remark, big + std::to_string(i));
        EXPECT_EQ(got[i].FSs_Name, wide);
        EXPECT_EQ(got[i].FSs_Size, std::string(400, 'S'));
        got[i].FSs_Remark += "+";
    }
    ASSERT_EQ(core.update_srec(got.data(), 30), 30);
    EXPECT_EQ(core.get_srec_count(("FSs_Remark='" + big + "7+'").c_str()), 1);

    TRec t;
    t.FTs_Name = wide;
    SPRec s;
    s.FSPs_Name = big;
    URec u;
    u.FUs_Name = wide;
    u.FUs_Pas = big;
    u.FUi_Auth = 2;
    VIPRec v = member(std::string(300, 'V'), wide);
    v.FVs_EMail = std::string(600, 'e');
    v.FVs_Phone = std::string(600, 'p');
    v.FVs_Addr = big;
    v.FVs_Remark = big;
    (void)ins(v);
    (void)upd(v);
    ASSERT_EQ(core.insert_trec(&t, 1), 1);
    ASSERT_EQ(core.insert_sprec(&s, 1), 1);
    ASSERT_EQ(core.insert_urec(&u, 1), 1);
    ASSERT_EQ(core.insert_viprec(&v, 1), 1);
    TRec ts[2];
    SPRec ss[2];
    URec us[2];
    VIPRec vs[1];
    ASSERT_EQ(core.select_trec(ts, "FTi_Id=2"), 1);
    ASSERT_EQ(core.select_sprec(ss, "FSPi_Id=2"), 1);
    ASSERT_EQ(core.select_urec(us, "FUi_Id=2"), 1);
    ASSERT_EQ(core.select_viprec(vs, nullptr), 1);
    EXPECT_EQ(ts[0].FTs_Name, wide);
    EXPECT_EQ(ss[0].FSPs_Name, big);
    EXPECT_EQ(us[0].FUs_Pas, big);
    EXPECT_EQ(vs[0].FVs_Addr, big);
    EXPECT_EQ(vs[0].FVs_Phone, std::string(600, 'p'));

    ARec a[1];
    ASSERT_EQ(core.select_arec(a, "FAi_Id=4"), 1);
    a[0].FAs_Value = big;
    ASSERT_EQ(core.update_arec(a, 1), 1);
    EXPECT_EQ(core.get_shop_pa(), big);
    core.set_shop_addr(wide.c_str());
    EXPECT_EQ(core.get_shop_addr(), wide);
}
