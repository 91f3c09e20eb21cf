#include "kit/text/gbklimit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>
#include <algorithm>
#include <memory>
#include <vector>

#include "kit/text/gbk.h"
#include "kit/page/shell.h"

namespace vorn::ui {

namespace {

// Bytes of one character in GBK, -1 when GBK has no such character.
int charBytes(const QString& text, qsizetype at, qsizetype len) {
    if (len == 1 && text.at(at).unicode() < 0x80) return 1;
    return gbkLength(text.mid(at, len));
}

void tell(QWidget* field, const GbkNotice& notice) {
    if (notice) {
        notice();
        return;
    }
    for (QWidget* w = field; w; w = w->parentWidget()) {
        if (auto* shell = dynamic_cast<Shell*>(w)) {
            shell->showStatus(unrepresentableTextMessage());
            return;
        }
    }
}

class GbkLimitValidator : public QValidator {
public:
    GbkLimitValidator(QWidget* field, int maxBytes, GbkNotice notice)
        : QValidator(field), field_(field), maxBytes_(maxBytes), notice_(std::move(notice)) {}

    // Never Invalid: a refused edit would be undone whole, losing what could be kept.
    State validate(QString& input, int& pos) const override {
        const int n = gbkLength(input);
        if (n >= 0 && n <= maxBytes_) return Acceptable;
        const GbkFit fit = fitGbk(input, pos, maxBytes_);
        input = fit.text;
        pos = fit.cursor;
        if (fit.dropped) tell(field_, notice_);
        return Acceptable;
    }

private:
    QWidget* field_;
    int maxBytes_;
    GbkNotice notice_;
};

} // namespace

QString unrepresentableTextMessage() {
    return QStringLiteral("输入的文字中含有无法保存的字符，请修改后重试");
}

GbkNotice statusNotice(Shell& shell) {
    return [&shell] { shell.showStatus(unrepresentableTextMessage()); };
}

GbkFit fitGbk(const QString& text, int cursor, int maxBytes) {
    struct Piece {
        qsizetype at;
        qsizetype len;
        int bytes;
    };
    const qsizetype cursorAt = std::clamp<qsizetype>(cursor, 0, text.size());
    GbkFit fit;
    std::vector<Piece> pieces;
    pieces.reserve(static_cast<size_t>(text.size()));
    long long total = 0;
    size_t beforeCursor = 0; // kept characters that stand before the cursor
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const int bytes = charBytes(text, i, len);
        if (bytes < 0) {
            fit.dropped = true;
        } else {
            pieces.push_back({i, len, bytes});
            total += bytes;
            if (i < cursorAt) ++beforeCursor;
        }
        i += len;
    }
    // Too long: what was inserted last (just before the cursor) goes first; then,
    // should that not do, the end of the text.
    size_t first = beforeCursor;
    while (total > maxBytes && first > 0)
        total -= pieces[--first].bytes;
    size_t end = pieces.size();
    while (total > maxBytes && end > beforeCursor)
        total -= pieces[--end].bytes;

    fit.text.reserve(text.size());
    for (size_t k = 0; k < end; ++k) {
        if (k == first) {
            fit.cursor = static_cast<int>(fit.text.size());
            k = beforeCursor;
            if (k >= end) break;
        }
        fit.text += QStringView(text).mid(pieces[k].at, pieces[k].len);
    }
    if (first >= end) fit.cursor = static_cast<int>(fit.text.size());
    return fit;
}

void limitGbk(QLineEdit* edit, int maxBytes, GbkNotice notice) {
    edit->setValidator(new GbkLimitValidator(edit, maxBytes, std::move(notice)));
}

void limitGbk(QComboBox* combo, int maxBytes, GbkNotice notice) {
    combo->setValidator(new GbkLimitValidator(combo, maxBytes, std::move(notice)));
}

void limitGbk(QPlainTextEdit* edit, int maxBytes, GbkNotice notice) {
    QTextDocument* doc = edit->document();
    auto mending = std::make_shared<bool>(false);
    QObject::connect(doc, &QTextDocument::contentsChange, edit,
                     [edit, maxBytes, notice = std::move(notice), mending](int pos, int, int added) {
                         if (*mending) return;
                         // Positions in the document and in its plain text agree: a line
                         // break is one character in both.
                         const QString all = edit->toPlainText();
                         const int n = gbkLength(all);
                         if (n >= 0 && n <= maxBytes) return;
                         const int end = std::clamp(pos + added, 0, static_cast<int>(all.size()));
                         const GbkFit fit = fitGbk(all, end, maxBytes);
                         // Replace only the stretch that differs, so the rest of the text
                         // (and the undo history before this change) stays as it was.
                         qsizetype head = 0;
                         const qsizetype shorter = std::min(all.size(), fit.text.size());
                         while (head < shorter && all.at(head) == fit.text.at(head))
                             ++head;
                         qsizetype tail = 0;
                         while (tail < shorter - head &&
                                all.at(all.size() - 1 - tail) == fit.text.at(fit.text.size() - 1 - tail))
                             ++tail;
                         *mending = true;
                         QTextCursor cursor(edit->document());
                         cursor.setPosition(static_cast<int>(head));
                         cursor.setPosition(static_cast<int>(all.size() - tail), QTextCursor::KeepAnchor);
                         cursor.insertText(fit.text.mid(head, fit.text.size() - head - tail));
                         cursor.setPosition(fit.cursor);
                         edit->setTextCursor(cursor);
                         *mending = false;
                         if (fit.dropped) tell(edit, notice);
                     });
}

QLineEdit* limitedLineEdit(const char* objectName, int maxBytes, GbkNotice notice) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(objectName));
    limitGbk(e, maxBytes, std::move(notice));
    return e;
}

QPlainTextEdit* limitedNoteEdit(const char* objectName, int maxBytes, GbkNotice notice) {
    auto* e = new QPlainTextEdit;
    e->setObjectName(QString::fromLatin1(objectName));
    e->setTabChangesFocus(true);
    e->setFixedHeight(56);
    limitGbk(e, maxBytes, std::move(notice));
    return e;
}

} // namespace vorn::ui
