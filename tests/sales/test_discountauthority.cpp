// How far a salesperson may discount alone: the rule table of rates and price
// levels for each role, the strictest rules used when the store cannot answer,
// and the names the counter shows for a rate.
#include <QtTest>

#include "discountauthority.h"
#include "pricing.h"

using namespace vorn::ui;

namespace {
constexpr int kAdmin = 0, kOwner = 1, kClerk = 2;
constexpr auto kAllowed = DiscountVerdict::Allowed;
constexpr auto kAsk = DiscountVerdict::NeedsApproval;

vorn::ShopRules rules(int lowest, bool special) {
    vorn::ShopRules r;
    r.lowest_rate = lowest;
    r.clerk_special = special;
    return r;
}
} // namespace

Q_DECLARE_METATYPE(DiscountVerdict)

class TestDiscountAuthority : public QObject {
    Q_OBJECT
private slots:
    void rate_data() {
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("lowest");
        QTest::addColumn<QString>("typed"); // as the cashier types it, in 折
        QTest::addColumn<DiscountVerdict>("verdict");
        QTest::newRow("clerk at the limit") << kClerk << 80 << "8" << kAllowed;
        QTest::newRow("clerk above the limit") << kClerk << 80 << "9.5" << kAllowed;
        QTest::newRow("clerk a tenth below") << kClerk << 80 << "7.9" << kAsk;
        QTest::newRow("clerk far below") << kClerk << 80 << "1" << kAsk;
        QTest::newRow("clerk at a half limit") << kClerk << 85 << "8.5" << kAllowed;
        QTest::newRow("clerk under a half limit") << kClerk << 85 << "8.4" << kAsk;
        QTest::newRow("clerk, no limit") << kClerk << 0 << "1" << kAllowed;
        QTest::newRow("clerk, no discount at all") << kClerk << 100 << "9.9" << kAsk;
        QTest::newRow("clerk, full price under 10折 limit") << kClerk << 100 << "10" << kAllowed;
        QTest::newRow("owner below") << kOwner << 80 << "1" << kAllowed;
        QTest::newRow("administrator below") << kAdmin << 100 << "5" << kAllowed;
        QTest::newRow("unknown role is a clerk") << 7 << 80 << "7" << kAsk;
    }
    void rate() {
        QFETCH(int, role);
        QFETCH(int, lowest);
        QFETCH(QString, typed);
        QFETCH(DiscountVerdict, verdict);
        // The factor exactly as the counter's dialog reads it.
        double factor = 0.0;
        QVERIFY(parseRate(typed, factor));
        QCOMPARE(rateVerdict(role, rules(lowest, true), factor), verdict);
    }

    void preset_data() {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("special");
        QTest::addColumn<int>("preset");
        QTest::addColumn<DiscountVerdict>("verdict");
        for (int p = 0; p < kPresetCount; ++p) {
            const bool kept = p == kPresetWholesale || p == kPresetSpecial;
            const QByteArray name = presetCaption(p).toUtf8();
            QTest::newRow("clerk, levels kept: " + name) << kClerk << false << p << (kept ? kAsk : kAllowed);
            QTest::newRow("clerk, levels free: " + name) << kClerk << true << p << kAllowed;
            QTest::newRow("owner, levels kept: " + name) << kOwner << false << p << kAllowed;
            QTest::newRow("administrator, levels kept: " + name) << kAdmin << false << p << kAllowed;
        }
    }
    void preset() {
        QFETCH(int, role);
        QFETCH(bool, special);
        QFETCH(int, preset);
        QFETCH(DiscountVerdict, verdict);
        // The lowest rate never limits a level: the levels are the shop's own prices.
        QCOMPARE(presetVerdict(role, rules(100, special), preset), verdict);
    }

    void levelsNamedAsTheDialogShowsThem() {
        QCOMPARE(presetCaption(kPresetWholesale), QStringLiteral("批发价"));
        QCOMPARE(presetCaption(kPresetSpecial), QStringLiteral("特价"));
    }

    // Unread rules stop a salesperson at anything below the retail price.
    void strictestRulesAskForEverything() {
        const vorn::ShopRules r = strictestRules();
        double nine = 0.0;
        QVERIFY(parseRate(QStringLiteral("9.9"), nine));
        QCOMPARE(rateVerdict(kClerk, r, nine), kAsk);
        QCOMPARE(presetVerdict(kClerk, r, kPresetSpecial), kAsk);
        QCOMPARE(presetVerdict(kClerk, r, 0), kAllowed);
        QCOMPARE(rateVerdict(kOwner, r, nine), kAllowed);
    }

    void rateNames_data() {
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("name");
        QTest::newRow("whole") << 80 << "8折";
        QTest::newRow("half") << 85 << "8.5折";
        QTest::newRow("one") << 10 << "1折";
        QTest::newRow("full") << 100 << "10折";
    }
    void rateNames() {
        QFETCH(int, percent);
        QFETCH(QString, name);
        QCOMPARE(rateName(percent), name);
    }
};

QTEST_MAIN(TestDiscountAuthority)
#include "test_discountauthority.moc"
