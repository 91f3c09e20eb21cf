// The goods entry dialog "商品录入": lines of goods collected one by one, each
// with a quantity, and saved together as one unit row per piece.
#pragma once

#include <QDialog>
#include <vector>

#include "goodsfields.h"
#include "vorn/records.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace vorn::ui {

class Shell;

class CStoreAddDlg : public QDialog {
    Q_OBJECT
public:
    explicit CStoreAddDlg(Shell& shell, QWidget* parent = nullptr);

    // After the dialog closed: the number of units written (0 none, -1 when
    // cancelled). A save the store refuses is reported by the dialog, which
    // stays open with its lines (insertResult() -1 meanwhile).
    int insertResult() const { return insertResult_; }
    // Lines collected so far (the header line not counted).
    int lineCount() const { return static_cast<int>(lines_.size()); }

public slots:
    void addLine();      // "<-"
    void takeLineBack(); // "->"
    void save();         // "保存"

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Line {
        vorn::SRec unit; // every unit of the line is this record
        int quantity = 0;
    };

    void buildUi();
    void fillCombos();
    void focusEdit(QLineEdit* edit);
    void focusField(QWidget* field);
    // The record the fields describe, or why it cannot be stored.
    GoodsFields::Refusal readFields(vorn::SRec& out) const;
    QString lineText(const vorn::SRec& unit, int quantity) const;

    Shell& shell_;
    GoodsFields fields_;
    std::vector<Line> lines_; // list row r (r >= 1) is lines_[r - 1]
    int insertResult_ = -1;

    QListWidget* list_ = nullptr;
    QLineEdit* quantity_ = nullptr;
};

} // namespace vorn::ui
