// A footer row under a table: one text per column, drawn under the column's
// header section and following it when columns are resized or the table is
// scrolled sideways.
#pragma once

#include <QMap>
#include <QWidget>

class QTableView;

namespace vorn::ui {

class FooterStrip : public QWidget {
    Q_OBJECT
public:
    explicit FooterStrip(QTableView* table, QWidget* parent = nullptr);

    void setText(int column, const QString& text);
    QString text(int column) const;
    void setAlignment(int column, Qt::Alignment alignment);
    // Where column's footer cell lies in this strip (empty when the column is hidden).
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
