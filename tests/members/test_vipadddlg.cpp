// The member entry dialog: staging with its duplicate rules, taking a member
// back, the one save with its one creation time, and the batch limit.
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

#include "membercells.h"
#include "memberlimits.h"
#include "birthdaypicker.h"
#include "vipadddlg.h"
#include "vipview.h"
#include "kit/text/clock.h"
#include "kit/text/gbklimit.h"
#include "vipfixture.h"

using namespace vorn::ui;
using vorn::ui::test::VipFixture;

namespace {

template <class T> T* field(QWidget* w, const char* name) {
    T* f = w->findChild<T*>(QString::fromLatin1(name));
    if (!f) qFatal("no field %s", name);
    return f;
}

QLineEdit* edit(QWidget* w, const char* name) {
    return field<QLineEdit>(w, name);
}

QListWidget* list(QWidget* w) {
    return field<QListWidget>(w, "members");
}

void fill(CVIPAddDlg& dlg, const QString& code, const QString& name, int type = 0, QDate born = QDate(1990, 5, 12)) {
    edit(&dlg, "code")->setText(code);
    edit(&dlg, "name")->setText(name);
    field<QComboBox>(&dlg, "type")->setCurrentIndex(type);
    field<QDateEdit>(&dlg, "birthday")->setDate(born);
}

} // namespace

class TestVipAddDlg : public QObject {
    Q_OBJECT

    VipFixture fx;

private slots:
    void init() {
        fx.setUp();
        setNowForTests(VipFixture::at(2024, 3, 8, 10, 20, 30));
    }
    void cleanup() {
        setNowForTests(0);
        fx.tearDown();
    }

    void opensWithHeaderAndNoBirthday() {
        CVIPAddDlg dlg(*fx.shell);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("会员添加"));
        QCOMPARE(list(&dlg)->count(), 1);
        QCOMPARE(list(&dlg)->item(0)->text(), QStringLiteral("会员编号/类型/会员名称"));
        QCOMPARE(field<QComboBox>(&dlg, "type")->currentText(), QStringLiteral("普通会员"));
        QCOMPARE(field<QComboBox>(&dlg, "type")->count(), 2);
        QVERIFY(!field<BirthdayPicker>(&dlg, "birthdayPicker")->hasDay());
        QCOMPARE(field<QDateEdit>(&dlg, "birthday")->text(), QStringLiteral("未设置"));
    }

    // A member whose birthday nobody picked has none (0), so the reminder never
    // announces him on the day he joined; a picked day, and "清空" again, count.
    void aBirthdayOnlyWhenOneIsPicked() {
        CVIPAddDlg dlg(*fx.shell);
        edit(&dlg, "code")->setText(QStringLiteral("N1"));
        dlg.stageMember();
        auto* picker = field<BirthdayPicker>(&dlg, "birthdayPicker");
        picker->dateEdit()->setDate(QDate(1988, 8, 8));
        QVERIFY(picker->hasDay());
        edit(&dlg, "code")->setText(QStringLiteral("N2"));
        dlg.stageMember();
        picker->clearButton()->click();
        edit(&dlg, "code")->setText(QStringLiteral("N3"));
        dlg.stageMember();
        QCOMPARE(dlg.staged(0).FVt_BirT, int64_t(0));
        QCOMPARE(dlg.staged(1).FVt_BirT, VipFixture::at(1988, 8, 8));
        QCOMPARE(dlg.staged(2).FVt_BirT, int64_t(0));
        // Taking back a member without a birthday shows none, not the last day picked.
        picker->dateEdit()->setDate(QDate(2000, 1, 1));
        list(&dlg)->setCurrentRow(1);
        dlg.takeBack();
        QVERIFY(!picker->hasDay());
        dlg.save();
        QCOMPARE(fx.stored("FVs_Code='N3'").at(0).FVt_BirT, int64_t(0));
        QCOMPARE(fx.core().get_viprec_count("FVt_BirT IS NULL"), 1);
    }

    void stagedLinesAndRecords() {
        CVIPAddDlg dlg(*fx.shell);
        fill(dlg, QStringLiteral("M01"), QStringLiteral("王小明"), 1);
        edit(&dlg, "email")->setText(QStringLiteral("wxm@example.com"));
        edit(&dlg, "phone")->setText(QStringLiteral("13800001111"));
        field<QPlainTextEdit>(&dlg, "addr")->setPlainText(QStringLiteral("人民路1号"));
        field<QPlainTextEdit>(&dlg, "remark")->setPlainText(QStringLiteral("老顾客"));
        dlg.stageMember();
        QCOMPARE(list(&dlg)->item(1)->text(), QStringLiteral("M01/金卡会员/王小明"));
        const vorn::VIPRec& m = dlg.staged(0);
        QCOMPARE(m.FVs_Code, std::string("M01"));
        QCOMPARE(m.FVi_Type, 1);
        QCOMPARE(m.FVs_Name, gbk(QStringLiteral("王小明")));
        QCOMPARE(QString::fromStdString(vorn::format_time(m.FVt_BirT)), QStringLiteral("1990-05-12 00:00:01"));
        QCOMPARE(m.FVi_Grade, 0);
        QCOMPARE(m.FVs_EMail, std::string("wxm@example.com"));
        QCOMPARE(m.FVs_Addr, gbk(QStringLiteral("人民路1号")));
        QCOMPARE(m.FVs_Remark, gbk(QStringLiteral("老顾客")));
        QCOMPARE(m.FVt_CreT, int64_t(0));
        // The inputs stay for the next, similar member; the code is selected for retyping.
        QCOMPARE(edit(&dlg, "name")->text(), QStringLiteral("王小明"));
        QCOMPARE(edit(&dlg, "code")->selectedText(), QStringLiteral("M01"));

        fill(dlg, QString(), QString());
        dlg.stageMember();
        QCOMPARE(list(&dlg)->item(2)->text(), QStringLiteral("(空)/普通会员/(空)"));
        QCOMPARE(dlg.stagedCount(), 2);
    }

    void duplicateInTheStagedListNeedsNoQuery() {
        CVIPAddDlg dlg(*fx.shell);
        fill(dlg, QStringLiteral("M01"), QStringLiteral("甲"));
        dlg.stageMember();
        // With the store closed no query could find anything: the staged list alone refuses.
        fx.core().close();
        fill(dlg, QStringLiteral("M01"), QStringLiteral("乙"));
        dlg.stageMember();
        QCOMPARE(dlg.stagedCount(), 1);
        const QString msg = QStringLiteral("会员编号\"M01\"已存在，请重新输入其它");
        QCOMPARE(fx.shell->failures, QStringList{msg});
        QCOMPARE(edit(&dlg, "name")->text(), QStringLiteral("乙")); // kept for correction
        // Codes differ by case: not the same code.
        QCOMPARE(fx.core().open(), 0);
        fill(dlg, QStringLiteral("m01"), QStringLiteral("丙"));
        dlg.stageMember();
        QCOMPARE(dlg.stagedCount(), 2);
    }

    void duplicateInTheStoreAfterTheQuery() {
        fx.insert({VipFixture::member("M'02", QStringLiteral("甲"))});
        CVIPAddDlg dlg(*fx.shell);
        fill(dlg, QStringLiteral("M'02"), QStringLiteral("乙"));
        dlg.stageMember();
        QCOMPARE(dlg.stagedCount(), 0);
        QCOMPARE(fx.shell->failures, QStringList{QStringLiteral("会员编号\"M'02\"已存在，请重新输入其它")});
        fill(dlg, QStringLiteral("M'03"), QStringLiteral("乙"));
        dlg.stageMember();
        QCOMPARE(dlg.stagedCount(), 1);
    }

    void emptyCodeOnlyOnce() {
        CVIPAddDlg dlg(*fx.shell);
        fill(dlg, QString(), QStringLiteral("甲"));
        dlg.stageMember();
        dlg.stageMember();
        QCOMPARE(dlg.stagedCount(), 1);
        QCOMPARE(fx.shell->failures, QStringList{QStringLiteral("会员编号\"\"已存在，请重新输入其它")});
        // Nor when the store already holds a member without a code.
        fx.insert({VipFixture::member("", QStringLiteral("乙"))});
        CVIPAddDlg other(*fx.shell);
        fill(other, QString(), QStringLiteral("丙"));
        other.stageMember();
        QCOMPARE(other.stagedCount(), 0);
    }

    void takingBackRefillsEverythingWithTheBirthday() {
        CVIPAddDlg dlg(*fx.shell);
        fill(dlg, QStringLiteral("M01"), QStringLiteral("甲"), 1, QDate(1955, 3, 1));
        edit(&dlg, "phone")->setText(QStringLiteral("139"));
        field<QPlainTextEdit>(&dlg, "remark")->setPlainText(QStringLiteral("备注一"));
        dlg.stageMember();
        fill(dlg, QStringLiteral("M02"), QStringLiteral("乙"), 0, QDate(2001, 2, 3));
        edit(&dlg, "phone")->clear();
        field<QPlainTextEdit>(&dlg, "remark")->clear();
        dlg.stageMember();

        // The header line is no member: only the focus moves.
        list(&dlg)->setCurrentRow(0);
        dlg.takeBack();
        QCOMPARE(dlg.stagedCount(), 2);
        QCOMPARE(edit(&dlg, "code")->text(), QStringLiteral("M02"));

        list(&dlg)->setCurrentRow(1);
        dlg.takeBack();
        QCOMPARE(dlg.stagedCount(), 1);
        QCOMPARE(list(&dlg)->count(), 2);
        QCOMPARE(list(&dlg)->item(1)->text(), QStringLiteral("M02/普通会员/乙"));
        QCOMPARE(edit(&dlg, "code")->text(), QStringLiteral("M01"));
        QCOMPARE(edit(&dlg, "name")->text(), QStringLiteral("甲"));
        QCOMPARE(field<QComboBox>(&dlg, "type")->currentIndex(), 1);
        QCOMPARE(edit(&dlg, "phone")->text(), QStringLiteral("139"));
        QCOMPARE(field<QPlainTextEdit>(&dlg, "remark")->toPlainText(), QStringLiteral("备注一"));
        QCOMPARE(field<QDateEdit>(&dlg, "birthday")->date(), QDate(1955, 3, 1));
        // Nothing selected any more: a second "->" takes nothing.
        dlg.takeBack();
        QCOMPARE(dlg.stagedCount(), 1);
        // The code taken back is free again.
        dlg.stageMember();
        QCOMPARE(dlg.stagedCount(), 2);
        QCOMPARE(dlg.staged(1).FVt_BirT, VipFixture::at(1955, 3, 1));
    }

    void oneCreationTimeForTheBatch() {
        CVIPAddDlg dlg(*fx.shell);
        for (const char* code : {"A", "B", "C"}) {
            fill(dlg, QString::fromLatin1(code), QStringLiteral("会员") + QString::fromLatin1(code));
            dlg.stageMember();
        }
        dlg.save();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.insertResult(), 3);
        const auto rows = fx.stored();
        QCOMPARE(rows.size(), size_t(3));
        for (const auto& m : rows) {
            QCOMPARE(m.FVt_CreT, now());
            QCOMPARE(m.FVt_BirT, VipFixture::at(1990, 5, 12));
            QCOMPARE(m.FVi_Grade, 0);
        }
        QCOMPARE(rows[0].FVs_Code, std::string("A")); // in list order
        QCOMPARE(rows[2].FVs_Code, std::string("C"));
    }

    void savingNothingOrCancelling() {
        CVIPAddDlg empty(*fx.shell);
        empty.save();
        QCOMPARE(empty.result(), int(QDialog::Accepted));
        QCOMPARE(empty.insertResult(), 0);

        CVIPAddDlg dlg(*fx.shell);
        fill(dlg, QStringLiteral("A"), QStringLiteral("甲"));
        dlg.stageMember();
        QTest::keyClick(&dlg, Qt::Key_Return); // Enter does nothing here
        QCOMPARE(dlg.stagedCount(), 1);
        QVERIFY(dlg.result() != QDialog::Accepted);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(dlg.insertResult(), -1);
        QCOMPARE(fx.core().get_viprec_count(nullptr), 0);
    }

    void failedInsertStillCloses() {
        QCOMPARE(fx.core().exec_sql("CREATE TRIGGER no BEFORE INSERT ON VIP BEGIN SELECT RAISE(ABORT,'no'); END;"), 0);
        CVIPAddDlg dlg(*fx.shell);
        fill(dlg, QStringLiteral("A"), QStringLiteral("甲"));
        dlg.stageMember();
        dlg.save();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.insertResult(), -1);
    }

    void fieldsDropWhatGbkCannotHold() {
        CVIPAddDlg dlg(*fx.shell);
        fill(dlg, QStringLiteral("A"), QStringLiteral("甲"));
        field<QPlainTextEdit>(&dlg, "addr")->setPlainText(QStringLiteral("路\U0001F600口"));
        QCOMPARE(field<QPlainTextEdit>(&dlg, "addr")->toPlainText(), QStringLiteral("路口"));
        QCOMPARE(fx.shell->statuses, QStringList{unrepresentableTextMessage()});
        edit(&dlg, "name")->clear();
        edit(&dlg, "name")->insert(QStringLiteral("王\U0001F600五"));
        QCOMPARE(edit(&dlg, "name")->text(), QStringLiteral("王五"));
        QCOMPARE(fx.shell->statuses.size(), 2);
        dlg.stageMember();
        QCOMPARE(dlg.staged(0).FVs_Name, gbk(QStringLiteral("王五")));
        QCOMPARE(dlg.staged(0).FVs_Addr, gbk(QStringLiteral("路口")));
    }

    void limitsCountGbkBytes() {
        CVIPAddDlg dlg(*fx.shell);
        edit(&dlg, "name")->insert(QString(20, QChar(0x5F20))); // 20 characters of two bytes each
        QCOMPARE(edit(&dlg, "name")->text().size(), 14);     // 28 bytes
        edit(&dlg, "code")->insert(QString(40, QLatin1Char('9')));
        QCOMPARE(edit(&dlg, "code")->text().size(), 28);
        field<QPlainTextEdit>(&dlg, "remark")->insertPlainText(QString(300, QLatin1Char('r')));
        QCOMPARE(field<QPlainTextEdit>(&dlg, "remark")->toPlainText().size(), 252);
    }

    void batchLimitRefusesAndStays() {
        CVIPAddDlg dlg(*fx.shell);
        edit(&dlg, "name")->setText(QStringLiteral("批量"));
        for (int i = 0; i <= kMaxBatchRecords; ++i) {
            edit(&dlg, "code")->setText(QString::number(i));
            dlg.stageMember();
        }
        QCOMPARE(dlg.stagedCount(), kMaxBatchRecords + 1);
        dlg.save();
        QCOMPARE(fx.shell->failures, QStringList{QStringLiteral("一次添加会员数量太多，不能超过上限100000个")});
        QVERIFY(dlg.result() != QDialog::Accepted);
        QCOMPARE(fx.core().get_viprec_count(nullptr), 0);
        // One back, and the rest fit.
        list(&dlg)->setCurrentRow(1);
        dlg.takeBack();
        dlg.save();
        QCOMPARE(dlg.insertResult(), kMaxBatchRecords);
        QCOMPARE(fx.core().get_viprec_count(nullptr), kMaxBatchRecords);
    }

    void pageReportsEachOutcome() {
        CVIPView page(*fx.shell);
        auto runWith = [&](std::function<void(CVIPAddDlg&)> fillIn) {
            page.setDialogRunner([fillIn](QDialog& d) {
                auto* dlg = qobject_cast<CVIPAddDlg*>(&d);
                if (!dlg) return 0;
                fillIn(*dlg);
                return dlg->result();
            });
            page.onCommand(cmd::AddMember);
        };
        runWith([](CVIPAddDlg& dlg) {
            fill(dlg, QStringLiteral("A"), QStringLiteral("甲"));
            dlg.stageMember();
            fill(dlg, QStringLiteral("B"), QStringLiteral("乙"));
            dlg.stageMember();
            dlg.save();
        });
        QCOMPARE(fx.shell->statusText(), QStringLiteral("成功\"添加\"2个会员"));
        QCOMPARE(page.model()->rowCount(), 0); // listed only by the next search
        runWith([](CVIPAddDlg& dlg) { dlg.save(); });
        QCOMPARE(fx.shell->statusText(), QStringLiteral("未\"添加\"任何会员"));
        runWith([](CVIPAddDlg& dlg) { dlg.reject(); });
        QCOMPARE(fx.shell->statusText(), QStringLiteral("放弃该次会员\"添加\"操作"));
        QVERIFY(fx.shell->failures.isEmpty());
        QCOMPARE(fx.core().exec_sql("CREATE TRIGGER no BEFORE INSERT ON VIP BEGIN SELECT RAISE(ABORT,'no'); END;"), 0);
        runWith([](CVIPAddDlg& dlg) {
            fill(dlg, QStringLiteral("C"), QStringLiteral("丙"));
            dlg.stageMember();
            dlg.save();
        });
        const QString failed = QStringLiteral("未知异常导致会员\"添加\"失败，放弃该次\"添加\"操作");
        QCOMPARE(fx.shell->failures, QStringList{failed});
    }
};

QTEST_MAIN(TestVipAddDlg)
#include "test_vipadddlg.moc"
