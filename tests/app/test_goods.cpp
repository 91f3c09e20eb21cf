// The goods page inside the real main window: entering goods through the ribbon,
// searching with the ribbon's inputs, and the commands that follow the page's state.
#include <QLineEdit>
#include <QtTest>

#include "goodsstate.h"
#include "storeadddlg.h"
#include "storeview.h"
#include "res/commandids.h"
#include "frame_fixture.h"
#include "res/tabs.h"

using namespace vorn::ui;
using namespace vorn::ui::test;

namespace {
QLineEdit* edit(QWidget* w, const char* name) {
    auto* e = w->findChild<QLineEdit*>(QString::fromLatin1(name));
    if (!e) qFatal("no edit %s", name);
    return e;
}
} // namespace

class TestFrameGoods : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpApplication(); }

    void enterSearchAndEnable() {
        FrameFixture f;
        QVERIFY(f.create());
        QVERIFY(f.loginAsAdmin());
        f.frame->selectTab(tabs::Goods);
        flush();
        auto* page = qobject_cast<CStoreView*>(f.frame->view());
        QVERIFY(page);
        QCOMPARE(f.frame->windowTitle(), QStringLiteral("Qelto进销存 - 商品管理"));

        // Nothing listed yet: entering and searching on, editing and removing off.
        QVERIFY(f.frame->isEnabled(cmd::AddGoods));
        QVERIFY(f.frame->isEnabled(cmd::SearchGoods));
        QVERIFY(!f.frame->isEnabled(cmd::EditGoods));
        QVERIFY(!f.frame->isEnabled(cmd::RemoveGoods));

        // Two lines through the entry dialog, as a user fills it.
        page->setDialogRunner([](QDialog& d) {
            auto* dlg = qobject_cast<CStoreAddDlg*>(&d);
            if (!dlg) return 0;
            edit(dlg, "quantity")->setText(QStringLiteral("3"));
            edit(dlg, "code")->setText(QStringLiteral("6901'23"));
            edit(dlg, "name")->setText(QStringLiteral("可乐"));
            edit(dlg, "retP")->setText(QStringLiteral("3"));
            dlg->addLine();
            edit(dlg, "quantity")->setText(QStringLiteral("2"));
            edit(dlg, "code")->setText(QStringLiteral("6902"));
            edit(dlg, "name")->setText(QStringLiteral("薯片"));
            edit(dlg, "retP")->setText(QStringLiteral("6.5"));
            dlg->addLine();
            dlg->save();
            return dlg->result();
        });
        f.frame->onCommand(cmd::AddGoods);
        QCOMPARE(f.frame->state().core.get_srec_count(nullptr), 5);
        QVERIFY(f.messages.shown.isEmpty());

        // The code typed on the ribbon, quote and all, finds its three units.
        f.frame->setRibbonText(cmd::GoodsCode, QStringLiteral("6901'23"));
        f.frame->onCommand(cmd::SearchGoods);
        flush();
        QCOMPARE(f.frame->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到3件商品"));
        QCOMPARE(static_cast<int>(goodsState(f.frame->state()).rows.size()), 3);
        QVERIFY(f.frame->isEnabled(cmd::EditGoods));
        QVERIFY(f.frame->isEnabled(cmd::RemoveGoods));

        // The inputs live on the main window: away and back, the code is still there
        // while the list starts empty again.
        f.frame->selectTab(tabs::About);
        flush();
        f.frame->selectTab(tabs::Goods);
        flush();
        QCOMPARE(f.frame->ribbonText(cmd::GoodsCode), QStringLiteral("6901'23"));
        QVERIFY(!f.frame->isEnabled(cmd::EditGoods));

        // Clearing the conditions lists everything.
        f.frame->onCommand(cmd::ClearGoodsSearch);
        QVERIFY(f.frame->ribbonText(cmd::GoodsCode).isEmpty());
        f.frame->onCommand(cmd::SearchGoods);
        flush();
        QCOMPARE(f.frame->statusText(), QStringLiteral("在当前设定条件下，\"搜索\"到5件商品"));

        // Goods commands belong to the goods page only.
        f.frame->selectTab(tabs::Counter);
        flush();
        QVERIFY(!f.frame->isEnabled(cmd::AddGoods));
        QVERIFY(!f.frame->isEnabled(cmd::SearchGoods));
    }
};

QTEST_MAIN(TestFrameGoods)
#include "test_goods.moc"
