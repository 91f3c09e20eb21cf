// Fields limited in GBK bytes: what they keep of typed and pasted text, and
// who is told when characters GBK cannot hold were dropped.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QtTest>
#include <cstdlib>

#include "kit/text/gbklimit.h"
#include "kit/page/shell.h"

using namespace vorn::ui;

namespace {

const QString kSmile = QStringLiteral("\U0001F600"); // a surrogate pair GBK has no code for
const QString kThai = QStringLiteral("\u0E01");      // one UTF-16 unit, not in GBK either

// A main window that only records its status bar.
class StatusWindow : public QWidget, public Shell {
public:
    AppState& state() override { std::abort(); }
    QWidget* window() override { return this; }
    void showStatus(const QString& text) override { statuses << text; }
    QString statusText() const override { return statuses.value(statuses.size() - 1); }
    void reportFailure(const QString& text) override { showStatus(text); }
    void updateCommands() override {}
    QString ribbonText(int) const override { return {}; }
    void setRibbonText(int, const QString&) override {}
    int ribbonIndex(int) const override { return -1; }
    void setRibbonIndex(int, int) override {}
    void setRibbonCaption(int, const QString&) override {}
    void setRibbonItems(int, const QStringList&) override {}

    QStringList statuses;
};

} // namespace

class TestKitGbkLimit : public QObject {
    Q_OBJECT
private slots:
    void fitDropsOnlyWhatGbkCannotHold() {
        GbkFit f = fitGbk(QStringLiteral("a") + kSmile + QStringLiteral("b") + kThai + QStringLiteral("c"), 6, 50);
        QCOMPARE(f.text, QStringLiteral("abc"));
        QCOMPARE(f.cursor, 3);
        QVERIFY(f.dropped);
        f = fitGbk(QStringLiteral("商品abc"), 2, 50);
        QCOMPARE(f.text, QStringLiteral("商品abc"));
        QCOMPARE(f.cursor, 2);
        QVERIFY(!f.dropped);
        // A lone half of a pair is no character either.
        f = fitGbk(QStringLiteral("x") + kSmile.at(0) + QStringLiteral("y"), 3, 50);
        QCOMPARE(f.text, QStringLiteral("xy"));
    }

    void fitTrimsWhatWasInsertedLast() {
        // "abc" was there, "0123456789" inserted after it (cursor at 13): its end goes.
        GbkFit f = fitGbk(QStringLiteral("abc0123456789"), 13, 12);
        QCOMPARE(f.text, QStringLiteral("abc012345678"));
        QCOMPARE(f.cursor, 12);
        QVERIFY(!f.dropped);
        // Inserted in the middle: the text after the cursor stays.
        f = fitGbk(QStringLiteral("ab1234cd"), 6, 6);
        QCOMPARE(f.text, QStringLiteral("ab12cd"));
        QCOMPARE(f.cursor, 4);
        // Chinese characters count two bytes and are never split.
        f = fitGbk(QStringLiteral("商品名称"), 4, 5);
        QCOMPARE(f.text, QStringLiteral("商品"));
        // Too long even with everything before the cursor gone: the end goes too.
        f = fitGbk(QStringLiteral("abcdef"), 0, 4);
        QCOMPARE(f.text, QStringLiteral("abcd"));
        QCOMPARE(f.cursor, 0);
        // Dropping comes first; the limit counts only what is kept.
        f = fitGbk(kSmile + kSmile + QStringLiteral("abcd"), 8, 4);
        QCOMPARE(f.text, QStringLiteral("abcd"));
        QVERIFY(f.dropped);
    }

    void lineEditAndComboKeepWhatTheyCan() {
        int told = 0;
        QLineEdit edit;
        limitGbk(&edit, 8, [&] { ++told; });
        edit.insert(QStringLiteral("ab") + kSmile + QStringLiteral("cd"));
        QCOMPARE(edit.text(), QStringLiteral("abcd"));
        QCOMPARE(told, 1);
        edit.insert(QStringLiteral("efghij")); // past the limit: silently trimmed
        QCOMPARE(edit.text(), QStringLiteral("abcdefgh"));
        QCOMPARE(told, 1);
        edit.setText(kThai);
        QCOMPARE(edit.text(), QString());
        QCOMPARE(told, 2);

        QComboBox combo;
        combo.setEditable(true);
        limitGbk(&combo, 28, [&] { ++told; });
        combo.lineEdit()->insert(QStringLiteral("饮") + kSmile + QStringLiteral("料"));
        QCOMPARE(combo.currentText(), QStringLiteral("饮料"));
        QCOMPARE(told, 3);
    }

    void plainTextEditKeepsWhatItCan() {
        int told = 0;
        QPlainTextEdit edit;
        limitGbk(&edit, 10, [&] { ++told; });
        edit.setPlainText(QStringLiteral("ab\ncd"));
        QCOMPARE(told, 0);
        edit.moveCursor(QTextCursor::End);
        edit.insertPlainText(QStringLiteral("e") + kSmile + QStringLiteral("\nfghij"));
        QCOMPARE(edit.toPlainText(), QStringLiteral("ab\ncde\nfgh")); // 10 bytes, line breaks count one
        QCOMPARE(told, 1);
        QCOMPARE(edit.textCursor().position(), 10);
        // Inserted at the start: what was there stays whole.
        QTextCursor at = edit.textCursor();
        at.setPosition(0);
        edit.setTextCursor(at);
        edit.insertPlainText(kThai + QStringLiteral("XY"));
        QCOMPARE(edit.toPlainText(), QStringLiteral("ab\ncde\nfgh"));
        QCOMPARE(told, 2);
    }

    void withoutANoticeTheMainWindowIsTold() {
        StatusWindow main;
        auto* edit = new QLineEdit;
        auto* layout = new QVBoxLayout(&main);
        layout->addWidget(edit); // a field built first and placed later still finds its window
        limitGbk(edit, 20);
        edit->insert(QStringLiteral("a") + kSmile);
        QCOMPARE(edit->text(), QStringLiteral("a"));
        QCOMPARE(main.statuses, QStringList{unrepresentableTextMessage()});
        QCOMPARE(unrepresentableTextMessage(), QStringLiteral("输入的文字中含有无法保存的字符，请修改后重试"));

        // A field with no main window above it drops the characters all the same.
        QLineEdit alone;
        limitGbk(&alone, 20);
        alone.insert(kSmile + QStringLiteral("b"));
        QCOMPARE(alone.text(), QStringLiteral("b"));
        QCOMPARE(main.statuses.size(), 1);

        // A notice given to a field is the one used.
        int told = 0;
        auto* own = new QLineEdit;
        layout->addWidget(own);
        limitGbk(own, 20, [&] { ++told; });
        own->insert(kSmile);
        QCOMPARE(told, 1);
        QCOMPARE(main.statuses.size(), 1);
        statusNotice(main)();
        QCOMPARE(main.statuses.size(), 2);
    }
};

QTEST_MAIN(TestKitGbkLimit)
#include "test_gbklimit.moc"
