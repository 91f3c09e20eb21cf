// The file's own key and a passphrase, the check of every page, and the cause
// kept from a failed call.
#include <filesystem>
#include <fstream>
#include <vector>

#include "core_fixture.h"

namespace {

using vorntest::StoreTest;

std::vector<vorn::SRec> some_units(int n) {
    std::vector<vorn::SRec> units;
    for (int i = 0; i < n; ++i) units.push_back(vorntest::unit("C" + std::to_string(i % 50), "name"));
    return units;
}

TEST_F(StoreTest, QuickCheckPassesASoundStoreAndNamesAWrongKey) {
    VORN_FILE_ONLY();
    ASSERT_EQ(core.insert_srec(some_units(2000).data(), 2000), 2000);
    EXPECT_EQ(core.quick_check(), 0);
    core.close();

    vorn::Core other;
    other.set_passphrase("not the key of this file");
    ASSERT_EQ(other.open(), 0);
    EXPECT_EQ(other.check_key(), 26); // SQLITE_NOTADB
    EXPECT_EQ(other.quick_check(), 26);
    EXPECT_EQ(vorn::Core::last_error(), 26);
    other.close();
}

TEST_F(StoreTest, QuickCheckFindsDamageThatKeyedLookupsMiss) {
    VORN_FILE_ONLY();
    ASSERT_EQ(core.insert_srec(some_units(20000).data(), 20000), 20000);
    core.close();
    const auto size = std::filesystem::file_size("__vorn__");
    {
        std::fstream f("__vorn__", std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(size / 2));
        const char zeros[8] = {};
        f.write(zeros, sizeof zeros);
    }
    ASSERT_EQ(core.open(), 0);
    EXPECT_GE(core.get_srec_count("FSi_Id=1"), 0); // the first page still answers
    EXPECT_NE(core.quick_check(), 0);
}

TEST_F(StoreTest, RekeyedFileOpensOnlyUnderItsPassphraseAndBack) {
    VORN_FILE_ONLY();
    ASSERT_EQ(core.insert_srec(some_units(300).data(), 300), 300);
    ASSERT_EQ(core.rekey("shop passphrase 1"), 0);
    EXPECT_EQ(core.passphrase(), "shop passphrase 1");
    core.close();

    vorn::Core plain; // the program's own key
    ASSERT_EQ(plain.open(), 0);
    EXPECT_NE(plain.check_key(), 0);
    EXPECT_EQ(plain.get_srec_count(nullptr), -1);
    plain.close();

    vorn::Core keyed;
    keyed.set_passphrase("shop passphrase 1");
    ASSERT_EQ(keyed.open(), 0);
    EXPECT_EQ(keyed.quick_check(), 0);
    EXPECT_EQ(keyed.get_srec_count(nullptr), 300);
    ASSERT_EQ(keyed.rekey(""), 0); // back to the program's own key
    keyed.close();

    ASSERT_EQ(plain.open(), 0);
    EXPECT_EQ(plain.get_srec_count(nullptr), 300);
    plain.close();
}

TEST_F(StoreTest, AFullDiskIsNamedAndSettersSayTheyFailed) {
    VORN_FILE_ONLY();
    EXPECT_TRUE(core.set_shop_name("A"));
    EXPECT_EQ(core.get_shop_name(), "A");
    // A store that may grow no further than it is now stands in for a full
    // disk (the limit cannot go below the file's present size).
    ASSERT_EQ(core.exec_sql("PRAGMA max_page_count=1;"), 0);
    std::vector<vorn::SRec> units(200, vorntest::unit("FULL", "n"));
    for (auto& u : units) u.FSs_Remark = std::string(4000, 'x');
    EXPECT_EQ(core.insert_srec(units.data(), 200), -1);
    EXPECT_TRUE(vorn::Core::is_disk_full(vorn::Core::last_error()));
    EXPECT_EQ(core.get_srec_count("FSs_Code='FULL'"), 0);

    EXPECT_FALSE(core.set_shop_phone(std::string(6000, '1').c_str()));
    EXPECT_TRUE(vorn::Core::is_disk_full(vorn::Core::last_error()));
    EXPECT_EQ(core.get_shop_phone(), "");
    EXPECT_FALSE(vorn::Core::is_disk_full(1));

    // Room again: the next write commits and the full disk is forgotten.
    ASSERT_EQ(core.exec_sql("PRAGMA max_page_count=1000000;"), 0);
    EXPECT_TRUE(core.set_shop_phone("1"));
    EXPECT_EQ(vorn::Core::last_error(), 0);
}

} // namespace
