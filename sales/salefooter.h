// The shopping list's footer row: one text per column, drawn under that column's
// header section and following it when the columns are resized or scrolled.
#pragma once

#include <QMap>
#include <QWidget>

class QTableView;

namespace vorn::ui {

class SaleFooter : public QWidget {
    Q_OBJECT
public:
    explicit SaleFooter(QTableView* table, QWidget* parent = nullptr);

    void setText(int column, const QString& text);
    QString text(int column) const;
    void setAlignment(int column, Qt::Alignment alignment);
    // Where the column's footer cell lies in this strip (empty for a hidden column).
    QRect cellRect(int column) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTableView* table_;
    QMap<int, QString> texts_;
    QMap<int, Qt::Alignment> alignments_;
};

} // namespace vorn::ui
