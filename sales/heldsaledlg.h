// "取单" (F5 at the counter): the parked sales, most recent first and selected,
// with when they were parked, their units, amount and member; Enter brings the
// selected one back to the counter.
#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

#include "vorn/heldsales.h"

class QPushButton;
class QTableWidget;

namespace vorn::ui {

class CHeldSalesDlg : public QDialog {
    Q_OBJECT
public:
    // The sales as HeldSales::list gives them (most recent first).
    explicit CHeldSalesDlg(std::vector<vorn::HeldSale> sales, QWidget* parent = nullptr);

    const std::vector<vorn::HeldSale>& sales() const { return sales_; }
    // The sale chosen by "取单" or Enter; 0 before.
    int64_t chosenId() const { return chosen_; }
    QTableWidget* table() const { return table_; }

public slots:
    void onRecall();
    void onCancel();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::vector<vorn::HeldSale> sales_;
    int64_t chosen_ = 0;
    QTableWidget* table_;
};

// The question asked when the counter is left with goods in the list.
class CLeaveSaleDlg : public QDialog {
    Q_OBJECT
public:
    enum Choice { Stay = 0, Park = 1, Drop = 2 };
    CLeaveSaleDlg(int units, QWidget* parent = nullptr);

    Choice choice() const { return choice_; }
    QPushButton* button(Choice c) const;

public slots:
    void choose(int c);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Choice choice_ = Stay;
    QPushButton* buttons_[3] = {};
};

} // namespace vorn::ui
