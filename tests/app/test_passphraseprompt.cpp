// The shop key at start: a store under the program's own key starts as before,
// without a question; a store under the owner's key asks for it before the
// login page, three tries, and the program does not start without it.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <string>

#include "frame/logonview.h"
#include "frame/passphraseprompt.h"
#include "frame_fixture.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {

const QString kKey = QStringLiteral("店主的钥匙 2026");

// Makes the store "__vorn__" of the current directory and encrypts it with key.
void makeKeyedStore(const QString& key) {
    vorn::Core core;
    QCOMPARE(core.open(), 0);
    QCOMPARE(core.rekey(key.toUtf8().toStdString()), 0);
    QCOMPARE(core.close(), 0);
}

// Answers the start's question from a list; none left: gives up.
struct Answers {
    QStringList keys;
    QList<bool> retries;
    ShopKeyAsk ask() {
        return [this](QString& typed, bool retry) {
            retries << retry;
            if (keys.isEmpty()) return false;
            typed = keys.takeFirst();
            return true;
        };
    }
};

} // namespace

class TestPassphrasePrompt : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpApplication(); }
    void cleanup() { setShopKeyAskForTests({}); }

    void storeUnderTheProgramsKeyAsksNothing() {
        FrameFixture f;
        Answers answers;
        setShopKeyAskForTests(answers.ask());
        QVERIFY(f.create());
        QVERIFY(answers.retries.isEmpty());
        QVERIFY(f.loginAsAdmin());
        QCOMPARE(f.frame->state().core.passphrase(), std::string());
    }

    void keyedStoreOpensWithItsKeyBeforeTheLogin() {
        FrameFixture f;
        makeKeyedStore(kKey);
        Answers answers;
        answers.keys = {QStringLiteral("not the key"), kKey};
        setShopKeyAskForTests(answers.ask());
        QVERIFY(f.create());
        QCOMPARE(answers.retries, QList<bool>({false, true}));
        QVERIFY(qobject_cast<CLogonView*>(f.frame->view()));
        QVERIFY(f.loginAsAdmin());
        QCOMPARE(f.frame->state().core.passphrase(), kKey.toUtf8().toStdString());
        QVERIFY(f.frame->state().core.get_urec_count(nullptr) > 0);
    }

    void keyedStoreWithoutItsKeyDoesNotStart_data() {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("asked");
        QTest::newRow("given up at once") << QStringList() << 1;
        QTest::newRow("given up after a wrong key") << QStringList({QStringLiteral("wrong key 1")}) << 2;
        QTest::newRow("three wrong keys")
            << QStringList({QStringLiteral("wrong key 1"), QStringLiteral("wrong key 2"),
                            QStringLiteral("wrong key 3"), kKey})
            << 3;
    }

    void keyedStoreWithoutItsKeyDoesNotStart() {
        QFETCH(QStringList, keys);
        QFETCH(int, asked);
        FrameFixture f;
        makeKeyedStore(kKey);
        Answers answers;
        answers.keys = keys;
        setShopKeyAskForTests(answers.ask());
        QVERIFY(!f.create());
        QCOMPARE(answers.retries.size(), asked);
        // The store is whole: its key still opens it.
        vorn::Core core;
        core.set_passphrase(kKey.toUtf8().toStdString());
        QCOMPARE(core.open(), 0);
        QCOMPARE(core.check_key(), 0);
        core.close();
    }

    void realDialogGivesWhatWasTyped_data() {
        QTest::addColumn<bool>("retry");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("answered");
        QTest::newRow("first question, confirmed") << false << QStringLiteral("确定") << true;
        QTest::newRow("after a wrong key, given up") << true << QStringLiteral("退出") << false;
    }

    void realDialogGivesWhatWasTyped() {
        QFETCH(bool, retry);
        QFETCH(QString, button);
        QFETCH(bool, answered);
        QString seenPrompt;
        // Runs inside the dialog's own loop, once it is up.
        QTimer::singleShot(0, this, [&] {
            QWidget* dlg = QApplication::activeModalWidget();
            QVERIFY(dlg);
            auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("startKey"));
            QVERIFY(edit);
            QCOMPARE(edit->echoMode(), QLineEdit::Password);
            edit->setText(kKey);
            for (QLabel* l : dlg->findChildren<QLabel*>())
                seenPrompt += l->text();
            const QString shots = qEnvironmentVariable("VORN_SCREENSHOT_DIR");
            if (!shots.isEmpty()) dlg->grab().save(QDir(shots).filePath(QStringLiteral("startkey.png")));
            for (QPushButton* b : dlg->findChildren<QPushButton*>())
                if (b->text() == button) b->click();
        });
        QString typed;
        QCOMPARE(askShopKeyAtStart(typed, retry), answered);
        QCOMPARE(typed, answered ? kKey : QString());
        QCOMPARE(seenPrompt.contains(QStringLiteral("不正确")), retry);
    }

    void unlockLeavesOtherFailuresAlone() {
        // A closed store is no question of a key: nothing is asked.
        Answers answers;
        setShopKeyAskForTests(answers.ask());
        vorn::Core closed;
        int reopens = 0;
        QVERIFY(unlockStore(closed, [&] { return ++reopens; }) != 0);
        QVERIFY(answers.retries.isEmpty());
        QCOMPARE(reopens, 0);
    }
};

QTEST_MAIN(TestPassphrasePrompt)
#include "test_passphraseprompt.moc"
