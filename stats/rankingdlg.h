// "商品销售排行": for a span of days and some goods types, each goods code's
// units sold, sales, cost, profit and share of the span's sales, net of
// returns; sortable by any column, with the sums below and an export to a
// spreadsheet. Opened from the statistics tab.
#pragma once

#include <QDate>
#include <QDialog>
#include <vector>

#include "vorn/ranking.h"

class QDateEdit;
class QListWidget;
class QPushButton;
class QTableView;

namespace vorn::ui {

class FooterStrip;
class RankingModel;
class Shell;

class CSalesRankingDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSalesRankingDlg(Shell& shell, QWidget* parent = nullptr);
    ~CSalesRankingDlg() override;

    // The span, both days included; a start after the end reads as the end.
    void setSpan(const QDate& start, const QDate& end);
    // Ticks the types of these ids (none ticked: every type).
    void setTypes(const std::vector<int>& ids);
    std::vector<int> chosenTypes() const;

    const std::vector<vorn::RankingRow>& rows() const { return rows_; }
    QTableView* table() const { return table_; }
    FooterStrip* footer() const { return footer_; }
    // The column and direction the rows stand in.
    int sortColumn() const { return sortColumn_; }
    bool descending() const { return descending_; }

public slots:
    void query();           // "统计" or Enter
    void sortBy(int column); // a header click: that column, the other way on a second click
    void exportRows();      // "导出..."

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showRows();

    Shell& shell_;
    std::vector<vorn::RankingRow> rows_;
    RankingModel* model_ = nullptr;
    QDateEdit* start_ = nullptr;
    QDateEdit* end_ = nullptr;
    QListWidget* types_ = nullptr;
    QTableView* table_ = nullptr;
    FooterStrip* footer_ = nullptr;
    int sortColumn_ = -1;
    bool descending_ = true;
};

} // namespace vorn::ui
