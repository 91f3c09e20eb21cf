// The shift's business at the counter besides 交班: "开班" (the float stated
// before or during the shift), "开钱箱" (the drawer opened without a sale,
// counted with the shift), and the question when a cashier leaves with the
// shift still open (another user logs in, or the program closes).
#pragma once

#include <QDialog>
#include <cstdint>

#include "kit/dialog/dialogrunner.h"
#include "kit/page/page.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vorn::ui {

class Shell;

// Where the shift dialogs of the counter run when no page hands its runner
// over (the leave question is asked by the main window, not a page): the
// dialog's exec() unless a test set another. Kept on the main window's state.
struct ShiftDialogs {
    DialogRunner runner;
};
DialogRunner shiftDialogRunner(Shell& shell);

// "开班": the logged-in cashier's float. With no shift open it opens one with
// the float typed; with one open it corrects the float.
class COpenShiftDlg : public QDialog {
    Q_OBJECT
public:
    COpenShiftDlg(Shell& shell, QWidget* parent = nullptr);

    // The open shift found: its id, 0 none, -1 the store could not say.
    int64_t shiftId() const { return shiftId_; }
    QLineEdit* floatEdit() const { return float_; }
    QPushButton* okButton() const { return ok_; }
    // After 确定: 1 done, 0 nothing changed (the same float), -1 the store failed.
    int outcome() const { return outcome_; }
    int64_t floatTenths() const { return floatValue_; }

public slots:
    void onOk();

private:
    Shell& shell_;
    int64_t shiftId_ = 0;
    int64_t oldFloat_ = 0;
    QLineEdit* float_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* ok_ = nullptr;
    int outcome_ = 0;
    int64_t floatValue_ = 0;
};

void openShiftAtCounter(Shell& shell, const DialogRunner& runner);

// "开钱箱": the drawer pulse to the thermal printer of 店铺设置, the opening
// counted with the cashier's shift (opened when none is) once the printer took
// it. Without a thermal printer nothing opens and the sentence says why.
void openDrawerAtCounter(Shell& shell);

// The leave question: "现在交班" runs the 交班 dialog, "稍后" leaves the shift
// open, "取消" keeps the cashier where they are.
class CShiftLeaveDlg : public QDialog {
    Q_OBJECT
public:
    enum Answer { Cancel = QDialog::Rejected, HandOverNow = 2, Later = 3 };
    CShiftLeaveDlg(const QString& cashier, Leaving why, QWidget* parent = nullptr);
    QPushButton* handOverButton() const { return now_; }
    QPushButton* laterButton() const { return later_; }
    QLabel* questionLabel() const { return text_; }

private:
    QLabel* text_ = nullptr;
    QPushButton* now_ = nullptr;
    QPushButton* later_ = nullptr;
};

// The registry's leave check: true lets the user go (no shift open, handed
// over, or 稍后), false keeps them (取消, or the hand-over was not done).
bool shiftLeaveCheck(Shell& shell, QWidget* parent, Leaving why);

} // namespace vorn::ui
