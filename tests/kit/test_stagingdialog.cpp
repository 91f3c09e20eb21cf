// The frame of the dialogs that gather lines before one save: Enter goes to the
// dialog's own handling and never presses its default button; other keys keep
// their usual meaning; nothing is written before a save.
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "fakeshell.h"
#include "kit/dialog/stagingdialog.h"

using namespace vorn::ui;
using vorn::ui::test::FakeShell;

namespace {

class CountingDialog : public StagingDialog {
public:
    CountingDialog(Shell& shell, bool handles) : StagingDialog(shell, nullptr), handles_(handles) {
        auto* layout = new QVBoxLayout(this);
        edit = new QLineEdit;
        auto* ok = new QPushButton(QStringLiteral("保存"));
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        layout->addWidget(edit);
        layout->addWidget(ok);
    }
    QLineEdit* edit = nullptr;
    int enters = 0;

protected:
    void enterPressed() override {
        if (handles_) ++enters;
    }

private:
    bool handles_;
};

} // namespace

class TestStagingDialog : public QObject {
    Q_OBJECT
private slots:
    void enterStaysInTheDialog() {
        for (bool handles : {false, true}) {
            FakeShell shell;
            CountingDialog dlg(shell, handles);
            QCOMPARE(dlg.insertResult(), -1);
            dlg.show();
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
                QTest::keyClick(dlg.edit, key);
                QTest::keyClick(&dlg, key);
            }
            QVERIFY(dlg.isVisible());
            QCOMPARE(dlg.result(), 0);
            QCOMPARE(dlg.enters, handles ? 4 : 0);
            QTest::keyClick(&dlg, Qt::Key_Escape);
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            QCOMPARE(dlg.insertResult(), -1);
        }
    }
};

QTEST_MAIN(TestStagingDialog)
#include "test_stagingdialog.moc"
