// "交班" at the counter: the cashier's open shift with its float (correctable),
// the cash counted typed in, and what the shift came to below, worked out again
// as the counts are typed, so the cashier sees a short or long drawer before
// handing over. "确定交班" keeps the count and closes the shift.
#pragma once

#include <QDialog>
#include <QStringList>
#include <cstdint>

#include "kit/dialog/dialogrunner.h"
#include "vorn/shifts.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vorn::ui {

class Shell;

class CShiftDlg : public QDialog {
    Q_OBJECT
public:
    // Reads the logged-in cashier's open shift and its figures at once.
    CShiftDlg(Shell& shell, QWidget* parent = nullptr);

    // The shift shown: its id, 0 when the cashier has none open, -1 when the
    // store could not say (the counter reports both without the dialog).
    int64_t shiftId() const { return shiftId_; }
    const vorn::ShiftReport& report() const { return report_; }

    QLineEdit* floatEdit() const { return float_; }
    QLineEdit* countedEdit() const { return counted_; }
    QLabel* reportLabel() const { return text_; }
    QPushButton* okButton() const { return ok_; }

    // The report's lines for figures whose float and count are as given
    // (counted < 0: not counted yet, no difference shown).
    static QStringList reportLines(const vorn::ShiftFigures& f, int64_t cashFloat, int64_t counted);
    // "短款 1.5" / "长款 0.3" / "无差额": counted less expected, in tenths.
    static QString differenceText(int64_t difference);

    // After "确定交班": 1 closed, 0 nothing closed (closed meanwhile), -1 the store failed.
    int closeResult() const { return closed_; }
    int64_t countedTenths() const { return countedValue_; }

public slots:
    void onOk();

private:
    void refresh();
    void say(const QString& text);

    Shell& shell_;
    int64_t shiftId_ = 0;
    vorn::ShiftReport report_;
    QLineEdit* float_ = nullptr;
    QLineEdit* counted_ = nullptr;
    QLabel* text_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* ok_ = nullptr;
    int closed_ = 0;
    int64_t countedValue_ = -1;
};

// The counter's "交班": runs the dialog and ends with one status sentence.
void handOverAtCounter(Shell& shell, const DialogRunner& runner);

} // namespace vorn::ui
