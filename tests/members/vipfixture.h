// The shared store fixture with the member tests' helpers: members as the
// entry dialog makes them, and the ribbon's type drop-down list. Times are in
// China Standard Time, as at the shop, so that 1970-01-01 is not time 0.
#pragma once

#include <QDate>
#include <QDateTime>
#include <ctime>
#include <string>
#include <vector>

#include "kit/text/gbk.h"
#include "res/commandids.h"
#include "storefixture.h"
#include "vorn/sqltext.h"

namespace vorn::ui::test {

inline const bool kShopZone = [] {
    qputenv("TZ", "Asia/Shanghai");
    tzset();
    return true;
}();

class VipFixture : public StoreFixture {
public:
    void setUp() {
        StoreFixture::setUp();
        shell->comboItems[cmd::MemberType] = {QStringLiteral("普通会员"), QStringLiteral("金卡会员")};
    }

    static int64_t at(int y, int m, int d, int hh = 0, int mm = 0, int ss = 1) {
        return vorn::local_time_of(y, m, d, hh, mm, ss);
    }

    static vorn::VIPRec member(const std::string& code, const QString& name, int type = 0, int64_t born = 0,
                               int grade = 0, int64_t created = at(2012, 1, 15, 9, 30, 0)) {
        vorn::VIPRec m;
        m.FVs_Code = code;
        m.FVi_Type = type;
        m.FVs_Name = gbk(name);
        m.FVt_BirT = born;
        m.FVi_Grade = grade;
        m.FVs_EMail = code + "@example.com";
        m.FVs_Phone = "1380000" + code;
        m.FVs_Addr = gbk(QStringLiteral("人民路%1号").arg(QString::fromStdString(code)));
        m.FVt_CreT = created;
        return m;
    }

    void insert(const std::vector<vorn::VIPRec>& members) {
        QCOMPARE(core().insert_viprec(members.data(), static_cast<int>(members.size())),
                 static_cast<int>(members.size()));
    }

    // The members of the store in id order.
    std::vector<vorn::VIPRec> stored(const char* cond = nullptr) {
        const int n = core().get_viprec_count(cond);
        std::vector<vorn::VIPRec> rows(n > 0 ? static_cast<size_t>(n) : 0);
        if (n > 0) core().select_viprec(rows.data(), cond);
        return rows;
    }
};

} // namespace vorn::ui::test
