// What a record list page says: the status and failure sentences of its search,
// edit and delete, and of a dialog that adds records. Every list words them in
// the house pattern (success begins with "成功", nothing done with "未 … 任何",
// a failure with "未知异常导致 … 放弃该次 … 操作"), so a page gives only how it
// names its records and the pattern makes the sentences.
#pragma once

#include <QString>

namespace vorn::ui {

// The page's words; `%1` takes a number.
struct ListWords {
    QString searched;      // status after a search
    QString tooManyEdit;   // refusal of an edit of more than a batch (%1: the limit)
    QString tooManyDelete; // the same for a delete
    QString confirmDelete; // the question before a delete
    QString deleted;       // a delete's success
    QString deleteFailed;
    QString edited; // the panel's success
    QString editedNone;
    QString editFailed;
};

// How a dialog's end is worded: cancelled, `done` with its count, nothing done,
// failed (empty: the dialog told the user itself).
struct DialogWords {
    QString cancelled, done, none, failed;
};

// How a list names its records.
struct ListNouns {
    QString noun;    // the record ("商品")
    QString info;    // what an edit or delete changes ("商品信息"; often the noun)
    QString measure; // the counting word after a number ("件")
    QString doomed;  // what the delete question says goes for good ("商品的信息")
};

// The search, edit and delete sentences of a list with these nouns.
ListWords listWords(const ListNouns& nouns);

// The end of a dialog that does `verb` ("添加") to records of the list. With
// `failureTold` the dialog reports a failure itself and `failed` stays empty.
DialogWords dialogWords(const ListNouns& nouns, const QString& verb, bool failureTold);

} // namespace vorn::ui
