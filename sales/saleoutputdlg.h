// The totals panel of the counter: the amount due and the amount paid one above
// the other on the left, and large on the right what the cashier needs to read
// at a glance: while scanning the amount due, after payment the change.
#pragma once

#include <QWidget>
#include <cstdint>

namespace vorn::ui {

class CVornLabel;

class CSaleOutputDlg : public QWidget {
    Q_OBJECT
public:
    explicit CSaleOutputDlg(QWidget* parent = nullptr);

    // The height the page gives the panel.
    static constexpr int kDesignedHeight = 84;
    // Width of the two labels on the left; the change starts one pixel after it.
    static constexpr int kLeftWidth = 320;

    // Writes the three texts; amounts in tenths of a yuan.
    void setAmounts(int64_t due, int64_t paid, int64_t change);
    // While scanning: the amount due, also large on the right ("应收").
    void showDue(int64_t due);
    // True while the large figure is the amount due.
    bool showingDue() const { return showingDue_; }

    CVornLabel* dueLabel() const { return due_; }
    CVornLabel* paidLabel() const { return paid_; }
    CVornLabel* changeLabel() const { return change_; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CVornLabel* due_;
    CVornLabel* paid_;
    CVornLabel* change_;
    bool showingDue_ = false;
};

} // namespace vorn::ui
