// Shop settings: one row of table Addition per setting, at a fixed id.
#include <cstdlib>
#include <string>

#include "vorn/core.h"

namespace vorn {

namespace {
// Labels written beside each value (GBK).
const char kShopName[] = "\xb5\xea\xc6\xcc\xc3\xfb\xb3\xc6";                  // 店铺名称
const char kShopPhone[] = "\xc1\xaa\xcf\xb5\xb5\xe7\xbb\xb0";                 // 联系电话
const char kShopAddr[] = "\xb5\xd8\xd6\xb7";                                  // 地址
const char kShopPa[] = "\xb4\xf2\xd3\xa1\xb8\xbd\xbc\xd3\xd0\xc5\xcf\xa2";    // 打印附加信息
const char kRunAlarm[] = "\xc6\xf4\xb6\xaf\xbf\xe2\xb4\xe6\xb1\xa8\xbe\xaf";  // 启动库存报警
const char kAlarmLimit[] = "\xbf\xe2\xb4\xe6\xb1\xa8\xbe\xaf\xcf\xc2\xcf\xde"; // 库存报警下限
const char kRunBirt[] = "\xc6\xf4\xb6\xaf\xc9\xfa\xc8\xd5\xcc\xe1\xd0\xd1";   // 启动生日提醒
const char kBirtLimit[] = "\xc9\xfa\xc8\xd5\xcc\xe1\xd0\xd1\xcf\xc2\xcf\xde"; // 生日提醒下限
} // namespace

std::string Core::get_setting_text(int id) {
    // The id is the primary key: at most one row.
    ARec row;
    std::string cond = "FAi_Id=" + std::to_string(id);
    if (select_arec(&row, cond.c_str()) != 1) return std::string();
    return row.FAs_Value;
}

bool Core::set_setting_text(int id, const char* label, const char* value) {
    ARec row;
    row.FAi_Id = id;
    row.FAs_Name = label;
    row.FAs_Value = value ? value : "";
    return update_arec(&row, 1) == 1;
}

std::string Core::get_shop_name() { return get_setting_text(1); }
bool Core::set_shop_name(const char* value) { return set_setting_text(1, kShopName, value); }
std::string Core::get_shop_phone() { return get_setting_text(2); }
bool Core::set_shop_phone(const char* value) { return set_setting_text(2, kShopPhone, value); }
std::string Core::get_shop_addr() { return get_setting_text(3); }
bool Core::set_shop_addr(const char* value) { return set_setting_text(3, kShopAddr, value); }
std::string Core::get_shop_pa() { return get_setting_text(4); }
bool Core::set_shop_pa(const char* value) { return set_setting_text(4, kShopPa, value); }

bool Core::get_run_alarm() { return get_setting_text(6) == "1"; }
bool Core::set_run_alarm(bool on) { return set_setting_text(6, kRunAlarm, on ? "1" : "0"); }
int Core::get_alarm_limit() { return std::atoi(get_setting_text(7).c_str()); }
bool Core::set_alarm_limit(int limit) { return set_setting_text(7, kAlarmLimit, std::to_string(limit).c_str()); }
bool Core::get_run_birt_alarm() { return get_setting_text(8) == "1"; }
bool Core::set_run_birt_alarm(bool on) { return set_setting_text(8, kRunBirt, on ? "1" : "0"); }
int Core::get_birt_alarm_limit() { return std::atoi(get_setting_text(9).c_str()); }
bool Core::set_birt_alarm_limit(int days) { return set_setting_text(9, kBirtLimit, std::to_string(days).c_str()); }

} // namespace vorn
