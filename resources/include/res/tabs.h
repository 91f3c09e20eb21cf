// The ribbon tabs by name. A tab's name is its caption and the name of its page
// in the window title and the status line; pages register under it and the
// ribbon table lays its controls out under it, so nothing counts tabs.
#pragma once

#include <QString>
#include <QStringList>

namespace vorn::ui::tabs {

// Not a tab: the page shown before anybody logged in.
inline const QString Login = QStringLiteral("用户登录");

inline const QString Counter = QStringLiteral("销售前台");
inline const QString SaleJournal = QStringLiteral("销售记录");
inline const QString Goods = QStringLiteral("商品管理");
inline const QString Shop = QStringLiteral("店铺设置");
inline const QString Members = QStringLiteral("会员管理");
inline const QString Stats = QStringLiteral("销售统计");
inline const QString About = QStringLiteral("关于系统");

// The web tabs, in ribbon order; the n-th shows the n-th address of the
// [internet] section of vorn.ini.
inline const QStringList Web = {QStringLiteral("商家店铺"), QStringLiteral("Zumo团购"),
                                QStringLiteral("Zumo商城"), QStringLiteral("Zumo活动"),
                                QStringLiteral("打折促销")};

} // namespace vorn::ui::tabs
