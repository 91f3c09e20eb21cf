// A footer row under a table: one text per column, drawn under the column's
// header section and following it when columns are resized or the table is
// scrolled sideways. Its look is the palette's unless a page gives its own.
#pragma once

#include <QColor>
#include <QMap>
#include <QWidget>

class QTableView;

namespace vorn::ui {

struct FooterLook {
    // Invalid colours take the palette's: Button, Mid, Mid, ButtonText.
    QColor fill, edge, columnLine, text;
    bool bottomEdge = false; // a line under the strip too
    int padLeft = 4, padRight = 5, padBottom = 0;
    int extraHeight = 10; // above the font's height
};

class FooterStrip : public QWidget {
    Q_OBJECT
public:
    explicit FooterStrip(QTableView* table, QWidget* parent = nullptr, FooterLook look = {});

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
    QColor colour(const QColor& own, QPalette::ColorRole role) const;

    QTableView* table_;
    FooterLook look_;
    QMap<int, QString> texts_;
    QMap<int, Qt::Alignment> alignments_;
};

} // namespace vorn::ui
