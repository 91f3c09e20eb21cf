#include "kit/gbklimit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>
#include <algorithm>

#include "kit/gbk.h"

namespace vorn::ui {

namespace {

class GbkLimitValidator : public QValidator {
public:
    GbkLimitValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}

    // Text GBK cannot hold is refused; an insertion that runs past the limit keeps
    // what fits of it (the inserted run ends at the cursor).
    State validate(QString& input, int& pos) const override {
        int n = gbkLength(input);
        if (n < 0) return Invalid;
        while (n > maxBytes_ && pos > 0) {
            const int len = pos >= 2 && input.at(pos - 1).isLowSurrogate() ? 2 : 1;
            n -= gbkLength(input.mid(pos - len, len));
            input.remove(pos - len, len);
            pos -= len;
        }
        return n <= maxBytes_ ? Acceptable : Invalid;
    }

private:
    int maxBytes_;
};

} // namespace

void limitGbk(QLineEdit* edit, int maxBytes) {
    edit->setValidator(new GbkLimitValidator(maxBytes, edit));
}

void limitGbk(QComboBox* combo, int maxBytes) {
    combo->setValidator(new GbkLimitValidator(maxBytes, combo));
}

void limitGbk(QPlainTextEdit* edit, int maxBytes) {
    // A multi-line edit has no validator: trim what a change inserted, from the end
    // of the inserted run, until the text fits; what was there before stays.
    QTextDocument* doc = edit->document();
    QObject::connect(doc, &QTextDocument::contentsChange, edit,
                     [edit, doc, maxBytes](int pos, int, int added) {
                         int n = gbkLength(edit->toPlainText());
                         if (n >= 0 && n <= maxBytes) return;
                         QSignalBlocker block(doc);
                         QTextCursor cursor(doc);
                         int end = std::min(pos + added, doc->characterCount() - 1);
                         if (n < 0) {
                             // A character GBK cannot hold: take the whole insertion back.
                             cursor.setPosition(pos);
                             cursor.setPosition(end, QTextCursor::KeepAnchor);
                             cursor.removeSelectedText();
                             end = pos;
                         } else {
                             while (n > maxBytes && end > pos) {
                                 cursor.setPosition(end);
                                 cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
                                 // The cursor sees line breaks as paragraph separators.
                                 QString piece = cursor.selectedText();
                                 piece.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
                                 n -= std::max(0, gbkLength(piece));
                                 end -= static_cast<int>(piece.size());
                                 cursor.removeSelectedText();
                             }
                         }
                         cursor.setPosition(std::min(end, doc->characterCount() - 1));
                         edit->setTextCursor(cursor);
                     });
}

} // namespace vorn::ui
