// Input limits of the shop administration.
#pragma once

namespace vorn::ui {

// GBK bytes: a column's width less 4, as everywhere in the program.
constexpr int kShopTextBytes = 252; // shop name, phone, address, remark
constexpr int kUserTextBytes = 28;  // user name and password

} // namespace vorn::ui
