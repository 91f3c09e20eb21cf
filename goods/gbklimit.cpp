#include "goods/gbklimit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QValidator>

#include "kit/gbk.h"

namespace vorn::ui {

namespace {

class GbkLimitValidator : public QValidator {
public:
    GbkLimitValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}

    State validate(QString& input, int& pos) const override {
        (void)pos;
        const int n = gbkLength(input);
        return n >= 0 && n <= maxBytes_ ? Acceptable : Invalid;
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
    auto accepted = std::make_shared<QString>(edit->toPlainText());
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, maxBytes, accepted] {
        const QString text = edit->toPlainText();
        const int n = gbkLength(text);
        if (n >= 0 && n <= maxBytes) {
            *accepted = text;
            return;
        }
        // Keep what fits of a long paste; an unrepresentable character undoes the change.
        const QString kept = n >= 0 ? truncateGbk(text, maxBytes) : *accepted;
        QSignalBlocker block(edit);
        edit->setPlainText(kept);
        edit->moveCursor(QTextCursor::End);
        *accepted = kept;
    });
}

} // namespace vorn::ui
