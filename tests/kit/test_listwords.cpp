// The sentences a record list page says, made from how it names its records:
// each follows the house pattern and puts the nouns where they belong.
#include <QtTest>

#include "kit/page/listwords.h"

using namespace vorn::ui;

class TestListWords : public QObject {
    Q_OBJECT
private slots:
    void listSentencesPutEachNounInItsPlace() {
        const ListWords w = listWords({QStringLiteral("书"), QStringLiteral("书目"), QStringLiteral("本"),
                                       QStringLiteral("书的记录")});
        const std::pair<QString, QString> cases[] = {
            {w.searched, QStringLiteral("在当前设定条件下，\"搜索\"到%1本书")},
            {w.tooManyEdit, QStringLiteral("一次\"编辑\"的书数量太多，不能超过上限%1本")},
            {w.tooManyDelete, QStringLiteral("一次\"删除\"的书数量太多，不能超过上限%1本")},
            {w.confirmDelete, QStringLiteral("你的下一步操作将永久\"删除\"书的记录，是否要继续？")},
            {w.deleted, QStringLiteral("成功\"删除\"%1本书目")},
            {w.deleteFailed, QStringLiteral("未知异常导致书\"删除\"失败，放弃该次\"删除\"操作")},
            {w.edited, QStringLiteral("成功\"编辑\"%1本书目")},
            {w.editedNone, QStringLiteral("未\"编辑\"任何书目")},
            {w.editFailed, QStringLiteral("未知异常导致书目\"编辑\"失败，放弃该次\"编辑\"操作")},
        };
        for (const auto& [made, expected] : cases)
            QCOMPARE(made, expected);
        // The number goes where %1 stands, the limit too.
        QCOMPARE(w.tooManyEdit.arg(7), QStringLiteral("一次\"编辑\"的书数量太多，不能超过上限7本"));
        QCOMPARE(w.deleted.arg(3), QStringLiteral("成功\"删除\"3本书目"));
    }

    void dialogSentencesAndTheFailureTheDialogTellsItself() {
        const ListNouns nouns{QStringLiteral("卡"), QStringLiteral("卡"), QStringLiteral("张"), QStringLiteral("卡")};
        const DialogWords told = dialogWords(nouns, QStringLiteral("发放"), true);
        QCOMPARE(told.cancelled, QStringLiteral("放弃该次卡\"发放\"操作"));
        QCOMPARE(told.done.arg(2), QStringLiteral("成功\"发放\"2张卡"));
        QCOMPARE(told.none, QStringLiteral("未\"发放\"任何卡"));
        QVERIFY(told.failed.isEmpty());
        const DialogWords untold = dialogWords(nouns, QStringLiteral("发放"), false);
        QCOMPARE(untold.failed, QStringLiteral("未知异常导致卡\"发放\"失败，放弃该次\"发放\"操作"));
        QCOMPARE(untold.done, told.done);
    }
};

QTEST_MAIN(TestListWords)
#include "test_listwords.moc"
