// The totals panel of the counter: the amount due and the amount paid one above
// the other on the left, the change large on the right.
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
};

} // namespace vorn::ui
