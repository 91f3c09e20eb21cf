// The widths the six tables' text columns are declared with: CHAR(n) and
// VARCHAR(n) of the store's schema, in bytes of GBK. The file never enforced
// them and the server keeps text unbounded, so they bind only as far as the
// program keeps every text it writes within them; one list here, checked
// against the schema's own text, is what every field and import measures by.
#pragma once

namespace vorn::width {

constexpr int kStoreCode = 32;      // FSs_Code
constexpr int kStoreName = 64;      // FSs_Name
constexpr int kStoreSize = 16;      // FSs_Size
constexpr int kStoreRemark = 256;   // FSs_Remark
constexpr int kTypeName = 32;       // FTs_Name
constexpr int kSupplierName = 256;  // FSPs_Name
constexpr int kUserName = 32;       // FUs_Name
constexpr int kUserPassword = 32;   // FUs_Pas
constexpr int kAdditionName = 32;   // FAs_Name
constexpr int kAdditionValue = 256; // FAs_Value
constexpr int kVipCode = 32;        // FVs_Code
constexpr int kVipName = 32;        // FVs_Name
constexpr int kVipEMail = 32;       // FVs_EMail
constexpr int kVipPhone = 32;       // FVs_Phone
constexpr int kVipAddr = 256;       // FVs_Addr
constexpr int kVipRemark = 256;     // FVs_Remark

// What a field may hold of a column of width n: four bytes less, so a full
// text still fits with room to spare (and a CHAR's padding never cuts it).
constexpr int room(int n) {
    return n - 4;
}

} // namespace vorn::width
