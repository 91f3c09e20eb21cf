// The text widths the program measures fields and imports by are the ones the
// six tables declare, every one of them.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>

#include "schema.h"
#include "vorn/widths.h"

namespace {

TEST(WidthsTest, EveryTextColumnOfTheSchemaHasItsDeclaredWidth) {
    using namespace vorn::width;
    const std::map<std::string, int> listed = {
        {"FSs_Code", kStoreCode},      {"FSs_Name", kStoreName},   {"FSs_Size", kStoreSize},
        {"FSs_Remark", kStoreRemark},  {"FTs_Name", kTypeName},    {"FSPs_Name", kSupplierName},
        {"FUs_Name", kUserName},       {"FUs_Pas", kUserPassword}, {"FAs_Name", kAdditionName},
        {"FAs_Value", kAdditionValue}, {"FVs_Code", kVipCode},     {"FVs_Name", kVipName},
        {"FVs_EMail", kVipEMail},      {"FVs_Phone", kVipPhone},   {"FVs_Addr", kVipAddr},
        {"FVs_Remark", kVipRemark},
    };
    std::map<std::string, int> declared;
    const std::string schema = vorn::detail::kSchemaText;
    const std::regex column(R"((\w+) (?:VAR)?CHAR\((\d+)\))");
    for (std::sregex_iterator m(schema.begin(), schema.end(), column), end; m != end; ++m)
        declared[(*m)[1]] = std::stoi((*m)[2]);
    EXPECT_EQ(listed, declared);
    EXPECT_EQ(room(kStoreCode), 28); // a full code still leaves its column four bytes
}

} // namespace
