// The staging dialogs' shared layout: the buttons by name, none of them the
// default, "取消" rejecting, the closing buttons in the order asked for; and
// the limited edits those dialogs' fields are made of.
#include <QDialog>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "kit/text/gbk.h"
#include "kit/text/gbklimit.h"
#include "kit/page/staging.h"

using namespace vorn::ui;

namespace {

// Position of the widget among the items of the layout that holds it.
int placeIn(QWidget* w) {
    QLayout* row = nullptr;
    for (QLayout* l : w->parentWidget()->findChildren<QLayout*>())
        if (l->indexOf(w) >= 0) row = l;
    return row ? row->indexOf(w) : -1;
}

} // namespace

class TestStaging : public QObject {
    Q_OBJECT
private slots:
    void buttonsAndTheirPlaces_data() {
        QTest::addColumn<bool>("cancelFirst");
        QTest::newRow("save first") << false;
        QTest::newRow("cancel first") << true;
    }
    void buttonsAndTheirPlaces() {
        QFETCH(bool, cancelFirst);
        QDialog dlg;
        StagingSides sides;
        sides.list = new QVBoxLayout;
        sides.list->addWidget(new QListWidget);
        sides.entry = new QVBoxLayout;
        sides.entry->addWidget(new QLineEdit);
        sides.fromListName = "remove";
        sides.cancelFirst = cancelFirst;
        const StagingButtons b = layOutStaging(&dlg, sides);
        QCOMPARE(b.toList->objectName(), QStringLiteral("add"));
        QCOMPARE(b.fromList->objectName(), QStringLiteral("remove"));
        QCOMPARE(b.toList->text(), QStringLiteral("<-"));
        QCOMPARE(b.fromList->text(), QStringLiteral("->"));
        for (QPushButton* p : {b.toList, b.fromList, b.save, b.cancel}) {
            QCOMPARE(p->window(), &dlg);
            QVERIFY(!p->autoDefault());
            QVERIFY(!p->isDefault());
        }
        QCOMPARE(placeIn(b.save) < placeIn(b.cancel), !cancelFirst);
        QVERIFY(placeIn(b.toList) < placeIn(b.fromList));
        dlg.show();
        QTest::mouseClick(b.cancel, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!dlg.isVisible());
    }

    void limitedEditsHoldTheirBytes() {
        QLineEdit* line = limitedLineEdit("code", 4);
        QPlainTextEdit* note = limitedNoteEdit("remark", 4);
        QCOMPARE(line->objectName(), QStringLiteral("code"));
        QCOMPARE(note->objectName(), QStringLiteral("remark"));
        QVERIFY(note->tabChangesFocus());
        line->insert(QStringLiteral("商品码"));
        QCOMPARE(gbk(line->text()).size(), size_t(4));
        note->setPlainText(QStringLiteral("备注很长"));
        QVERIFY(gbk(note->toPlainText()).size() <= 4);
        delete line;
        delete note;
    }
};

QTEST_MAIN(TestStaging)
#include "test_staging.moc"
