// The sale journal's search: what the ribbon's inputs say, made into the
// store's filter. No widgets here.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "vorn/journal.h"

namespace vorn::ui {

struct JournalSearch {
    QDate from, to;  // whole days; both null: any day (one null: the other day alone)
    QString number;  // exact sale number
    QString cashier; // exact user name
    QString member;  // exact member code
    QString goods;   // a goods code the sale took
    QString method;  // a method's name as the drop-down shows it; empty or "全部": any
};

// The choices of the payment method drop-down: "全部" and the five methods.
QStringList journalMethodChoices();
// The method a drop-down text stands for: -1 for any ("全部", empty or a text
// that names none).
int methodOfChoice(const QString& text);

// The store's filter of the inputs: texts trimmed (a code typed with a blank
// still finds its sales) and turned into GBK bytes as the store holds them;
// the span from the first day's start to the start of the day after the last.
// False (out untouched) when a text holds a character GBK cannot hold: no
// stored sale could match it.
bool buildSaleFilter(const JournalSearch& in, vorn::SaleFilter& out);

} // namespace vorn::ui
