// The first step of an import from a CSV file: which encoding the file is in
// (detected, can be changed), whether its first line holds column headings,
// and which column of the file feeds which field, with a preview of the first
// rows as they will be read. Knows nothing of goods or members: the caller
// names the fields.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

#include "kit/text/csv.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

namespace vorn::ui {

struct ImportField {
    QString caption;     // what the mapping shows, e.g. "商品编码"
    QStringList headers; // column headings that map to it by themselves (caption included anyway)
    bool required = false;
};

// The column (0-based) whose heading names each field, in field order, -1 where
// none does. A heading names a field when, trimmed and ignoring case, a trailing
// "(元)" / "（元）" and a trailing ":" / "：", it equals the field's caption or one
// of its headers. Each column feeds one field at most (the first that claims it).
std::vector<int> mapHeadings(const std::vector<ImportField>& fields, const QStringList& headings);

class CImportDlg : public QDialog {
    Q_OBJECT
public:
    // `fileName` is shown in the title line; `bytes` is the whole file.
    CImportDlg(const QString& title, const QString& fileName, std::vector<ImportField> fields,
               QByteArray bytes, QWidget* parent = nullptr);

    TextEncoding encoding() const { return encoding_; }
    void setEncoding(TextEncoding encoding);
    bool firstLineIsHeader() const;
    void setFirstLineIsHeader(bool header);

    // The file column (0-based) feeding each field, in field order; -1 where a
    // field is not imported. Set from the headings when the dialog opens.
    std::vector<int> mapping() const;
    void setColumn(int field, int column);

    // The data records (after the heading line when there is one), read in the
    // chosen encoding.
    const std::vector<CsvRecord>& records() const { return data_; }
    // How many columns the widest record has.
    int columnCount() const { return columns_; }
    // The refusal accept() gave, empty while there is none.
    QString problem() const;

public slots:
    // Refuses, saying why inside the dialog, while a required field has no
    // column, two fields share one, or there is no data line.
    void accept() override;

private:
    void reparse();
    void autoMap();
    void refreshPreview();
    void splitHeader();
    void fillColumnBoxes();
    void onEncodingChosen(int index);
    void onHeaderToggled(bool header);
    void onColumnChosen();
    void showProblem(const QString& text);

    std::vector<ImportField> fields_;
    QByteArray bytes_;
    TextEncoding encoding_ = TextEncoding::Utf8;
    std::vector<CsvRecord> all_;  // every record of the file
    std::vector<CsvRecord> data_; // the records after the heading
    int columns_ = 0;
    TextEncoding detected_ = TextEncoding::Utf8;
    bool mappedByHand_ = false; // the user chose a column: headings no longer decide
    bool headerByHand_ = false; // the user set the heading check: the file no longer decides
    bool filling_ = false;      // the dialog itself is setting its controls

    QComboBox* encodingBox_ = nullptr;
    QCheckBox* headerBox_ = nullptr;
    std::vector<QComboBox*> columnBoxes_;
    QTableWidget* preview_ = nullptr;
    QLabel* problem_ = nullptr;
    QLabel* decodeNote_ = nullptr;
    QLabel* countLabel_ = nullptr;
};

} // namespace vorn::ui
