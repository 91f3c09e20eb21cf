// "调价": new prices for the units in stock of one article. The five selling
// prices start at the article's latest prices; the levels changed here are set
// on every unit in stock in one transaction and kept in the price history.
// Units sold or written off keep the prices they had.
#pragma once

#include <QDialog>
#include <array>

#include "vorn/articles.h"

class QLineEdit;

namespace vorn::ui {

class Shell;

class CArticlePriceDlg : public QDialog {
    Q_OBJECT
public:
    CArticlePriceDlg(Shell& shell, const vorn::Article& article, QWidget* parent = nullptr);

    // After the dialog closed: the units whose prices changed (0 none, -1 when
    // cancelled). A change the store refuses is reported by the dialog, which
    // stays open (-1 meanwhile).
    int changeResult() const { return changeResult_; }
    QLineEdit* priceEdit(int level) const { return edits_[static_cast<size_t>(level)]; }

public slots:
    void save(); // "确定"

private:
    Shell& shell_;
    vorn::Article article_;
    std::array<QLineEdit*, vorn::kPriceLevels> edits_{};
    std::array<int64_t, vorn::kPriceLevels> shown_{}; // tenths the edits started with
    int changeResult_ = -1;
};

// Tenths of a yuan of a price as the program shows it (halves away from zero).
int64_t priceTenths(double yuan);

} // namespace vorn::ui
