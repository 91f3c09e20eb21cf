// One sale of the journal opened: its number, time, cashier, member and sums
// above, the goods it took (编码, 名称, 数量, 单价, 金额) and how it was paid
// below. "重打小票" closes it asking the page to print the sale again.
#pragma once

#include <QDialog>

#include "vorn/journal.h"

class QLabel;
class QTableWidget;

namespace vorn::ui {

class CJournalDetailDlg : public QDialog {
    Q_OBJECT
public:
    enum LineColumn { LCode, LName, LQuantity, LPrice, LAmount, LineColumnCount };

    explicit CJournalDetailDlg(const vorn::SaleDetail& sale, QWidget* parent = nullptr);

    QTableWidget* lines() const { return lines_; }
    QTableWidget* payments() const { return payments_; }
    // The text of a heading field by its caption ("单号", "找零", ...).
    QString field(const QString& caption) const;
    bool reprintAsked() const { return reprint_; }

public slots:
    void onReprint();

private:
    QTableWidget* lines_ = nullptr;
    QTableWidget* payments_ = nullptr;
    QList<QPair<QString, QLabel*>> fields_;
    bool reprint_ = false;
};

} // namespace vorn::ui
