// "日结" on the journal tab: a day's figures over all its shifts, as the 日结单
// prints them, with the day's damaged units at cost; printed where receipts go
// and exported to a spreadsheet like the journal. Also the plain viewer of one
// shift's 交班单 that the past-shifts list opens.
#pragma once

#include <QDate>
#include <QDialog>
#include <functional>
#include <vector>

#include "kit/dialog/dialogrunner.h"
#include "vorn/shifts.h"

#include "shiftsheet.h"

class QDateEdit;
class QPushButton;
class QScrollArea;

namespace vorn::ui {

class Shell;

// A sheet on screen as it comes off the printer: the receipt's grid and font,
// so the figures line up at the right edge as on paper.
class CSheetView : public QWidget {
public:
    explicit CSheetView(QWidget* parent = nullptr);
    void setSheet(const ShiftSheet& sheet);
    const ShiftSheet& sheet() const { return sheet_; }
    // Title and lines as text, one a line.
    QString plainText() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ShiftSheet sheet_;
};

// Administrators and shop owners see a whole day's takings.
bool mayCashUpDay(Shell& shell);

// The day's report and each of its shifts' reports. 1, 0 no such date, -1 the store failed.
int loadDay(vorn::Core& core, int date, vorn::DayReport& day, std::vector<vorn::ShiftReport>& reports);

// The headings of an exported day, and the file itself: one row per shift,
// then the whole day's row. False with `error` when not written whole.
QStringList daySheetHeadings();
bool writeDaySheet(const QString& path, const vorn::DayReport& day, const std::vector<vorn::ShiftReport>& reports,
                   const std::function<void(int)>& progress, QString* error);

class CDayReportDlg : public QDialog {
    Q_OBJECT
public:
    CDayReportDlg(Shell& shell, QDate date, QWidget* parent = nullptr);

    QDateEdit* dateEdit() const { return date_; }
    CSheetView* text() const { return text_; }
    QScrollArea* scroller() const { return scroll_; }
    QPushButton* printButton() const { return print_; }
    QPushButton* exportButton() const { return export_; }
    // The figures shown; loaded() is false when the store could not read them.
    bool loaded() const { return loaded_; }
    const vorn::DayReport& day() const { return day_; }
    const std::vector<vorn::ShiftReport>& reports() const { return reports_; }

public slots:
    void reload();
    void onPrint();
    void onExport();

private:
    Shell& shell_;
    QDateEdit* date_ = nullptr;
    CSheetView* text_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* export_ = nullptr;
    bool loaded_ = false;
    vorn::DayReport day_;
    std::vector<vorn::ShiftReport> reports_;
};

// One shift's 交班单 on screen with 打印.
class CShiftSheetDlg : public QDialog {
    Q_OBJECT
public:
    CShiftSheetDlg(Shell& shell, const vorn::ShiftReport& report, QWidget* parent = nullptr);
    CSheetView* text() const { return text_; }

public slots:
    void onPrint();

private:
    Shell& shell_;
    vorn::ShiftReport report_;
    CSheetView* text_ = nullptr;
};

// The screen shows a sheet on the receipt's grid, as the PDF does.
inline constexpr int kSheetScreenWidth = kShiftSheetPdfWidth;

// "日结" from the journal tab: refused for a salesperson, else the dialog
// runs and its actions say their own sentences.
void dayCashUp(Shell& shell, const DialogRunner& runner);

} // namespace vorn::ui
