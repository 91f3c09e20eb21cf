// The dialog "收银设置" of 店铺设置: the counter's rules the shop sets once
// (vorn::ShopRules, kept in the store): the float a shift opens with, how far a
// salesperson may discount alone, what happens after a sale, whether a repeated
// scan raises the last row's quantity, and whether goods may be sold when the
// book stock is short.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

#include "vorn/shifts.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vorn::ui {

class Shell;

// The largest float the form takes, in tenths (99 999.9 yuan): more is a typo.
constexpr int64_t kMaxFloatTenths = 999'999;

// The float as typed: yuan with at most one decimal ("200", "200.5", ".5").
// False for anything else, the empty text included.
bool parseFloatYuan(const QString& text, int64_t& tenths);
// "200.0" for 2000 tenths.
QString floatText(int64_t tenths);
// The lowest rate as typed, in 折 with at most one decimal from 1 to 10 ("8",
// "8.5"), or empty for no limit (0). Percent of the retail price: 8 -> 80.
bool parseLowestRate(const QString& text, int& percent);
// "8", "8.5", or empty for no limit.
QString lowestRateText(int percent);

class CCounterRulesDlg : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { None, Saved, Unchanged, Failed };

    // rules: what the store holds now; "保存" writes through vorn::Shifts.
    CCounterRulesDlg(Shell& shell, const vorn::ShopRules& rules, QWidget* parent = nullptr);

    // What the form holds, once it reads soundly (see save()).
    bool formRules(vorn::ShopRules& out, QString& problem, QWidget*& field) const;
    void setRules(const vorn::ShopRules& rules);
    // After the dialog closed with OK: saved, nothing to save, or the store failed.
    Outcome outcome() const { return outcome_; }

    QLineEdit* floatEdit() const { return float_; }
    QLineEdit* rateEdit() const { return rate_; }
    QCheckBox* specialCheck() const { return special_; }
    QComboBox* afterSaleCombo() const { return afterSale_; }
    QCheckBox* mergeCheck() const { return merge_; }
    QCheckBox* sellShortCheck() const { return sellShort_; }

public slots:
    // "保存" or Enter: a form that does not read soundly is refused with the
    // reason and stays open; otherwise written (when changed) and closed.
    void save();

private:
    Shell& shell_;
    vorn::ShopRules before_;
    Outcome outcome_ = Outcome::None;
    QLineEdit* float_ = nullptr;
    QLineEdit* rate_ = nullptr;
    QCheckBox* special_ = nullptr;
    QComboBox* afterSale_ = nullptr;
    QCheckBox* merge_ = nullptr;
    QCheckBox* sellShort_ = nullptr;
};

} // namespace vorn::ui
