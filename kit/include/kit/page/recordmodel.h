// A list's model: a window onto a page's loaded rows, its columns given as a
// table of captions, widths, alignments and sort keys, its cells worded by a
// function only when the view asks for them (a million rows cost no texts up
// front).
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <span>
#include <vector>

namespace vorn::ui {

// How a column's cells sit: text to the left, amounts to the right, times and
// dates in the middle; all vertically centred.
inline constexpr int kCellLeft = Qt::AlignLeft | Qt::AlignVCenter;
inline constexpr int kCellRight = Qt::AlignRight | Qt::AlignVCenter;
inline constexpr int kCellCentre = Qt::AlignHCenter | Qt::AlignVCenter;

// A column's cell text as a plain function of the record: a page whose cells
// need nothing but the record gives one a column, in the columns' order.
template <class Rec> using CellText = QString (*)(const Rec&);
// The text of column c from such a table; "Err" for a column past the last.
template <class Rec> QString cellTextOf(std::span<const CellText<Rec>> cells, const Rec& rec, int c) {
    return c >= 0 && static_cast<size_t>(c) < cells.size() ? cells[static_cast<size_t>(c)](rec)
                                                           : QStringLiteral("Err");
}

struct RecordColumn {
    const char* caption; // UTF-8
    int width;           // pixels
    int alignment;       // Qt::Alignment of the cell text
    const char* sortKey; // column of the table, null when not sortable
};

// What every record model shares; RecordModel<Rec> below adds the rows.
class RecordModelBase : public QAbstractTableModel {
public:
    RecordModelBase(std::span<const RecordColumn> columns, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The loaded rows were replaced or shortened: take their new number.
    void resetRows();
    // The loaded rows changed in place (an edit, a type removed): redraw them.
    void refreshRows();

    std::span<const RecordColumn> columns() const { return columns_; }

protected:
    virtual size_t loadedRows() const = 0;
    virtual QString cellText(size_t row, int column) const = 0;

private:
    std::span<const RecordColumn> columns_;
    int rows_ = 0; // a new page starts empty, whatever an old one left behind
};

template <class Rec> class RecordModel : public RecordModelBase {
public:
    using Cell = std::function<QString(const Rec&, int column)>;

    RecordModel(const std::vector<Rec>& rows, std::span<const RecordColumn> columns, Cell cell,
                QObject* parent = nullptr)
        : RecordModelBase(columns, parent), rows_(rows), cell_(std::move(cell)) {}

protected:
    size_t loadedRows() const override { return rows_.size(); }
    QString cellText(size_t row, int column) const override { return cell_(rows_[row], column); }

private:
    const std::vector<Rec>& rows_;
    Cell cell_;
};

} // namespace vorn::ui
