// The member page (会员管理): the list of the members a search found and the
// commands of its ribbon tab.
#pragma once

#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "memberspan.h"
#include "kit/page.h"

class QDialog;
class QTableView;

namespace vorn::ui {

class CVIPInputDlg;
class MemberModel;

class CVIPView : public CPage {
    Q_OBJECT
public:
    explicit CVIPView(Shell& shell, QWidget* parent = nullptr);
    ~CVIPView() override;

    bool onCommand(int id) override;
    bool isCommandEnabled(int id) const override;

    // Rebuilds the list from the stored search condition and sort clause.
    void reload();
    // As a click on a header section: the remark (and beyond) does nothing.
    void sortBy(int column, bool ascending);
    // Opens the editing panel for these loaded rows (the selection's order).
    void openEditor(const std::vector<int>& rows);

    // Whether the list holds a result (editing and deleting need one).
    bool hasRecord() const { return hasRecord_; }
    const std::string& searchCondition() const { return condition_; }
    const std::string& sortClause() const { return sortClause_; }

    QTableView* table() const { return table_; }
    MemberModel* model() const { return model_; }
    CVIPInputDlg* panel() const;
    bool panelVisible() const;

    // How a modal dialog of the page is run (tests answer it without a loop).
    using DialogRunner = std::function<int(QDialog&)>;
    void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
    void setSpanPrompt(MemberSpanPrompt prompt) { askSpan_ = std::move(prompt); }
    // The spreadsheet import runs its dialogs through the same runner, and asks
    // for its file through this chooser (empty: the standard open-file dialog).
    int runDialog(QDialog& dialog) const { return runDialog_(dialog); }
    using ImportFileChooser = std::function<QString(QWidget* parent)>;
    void setImportFileChooser(ImportFileChooser chooser) { chooseImportFile_ = std::move(chooser); }
    const ImportFileChooser& importFileChooser() const { return chooseImportFile_; }

private:
    void buildList();
    void search();
    bool loadRows();
    void chooseSpan();
    void clearSearch();
    void addMembers();
    void editSelected();
    void deleteSelected();
    void onSortIndicator(int section, Qt::SortOrder order);
    void onEditFinished(int result);
    // The selected loaded rows in selection order; false (after telling the user)
    // when there are more than one batch may hold. `tooMany` words the refusal.
    bool collectSelection(std::vector<int>& rows, const QString& tooMany) const;

    std::string condition_;
    std::string sortClause_;
    bool hasRecord_ = false;
    int sortSection_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;

    QTableView* table_ = nullptr;
    MemberModel* model_ = nullptr;
    QPointer<CVIPInputDlg> panel_;
    DialogRunner runDialog_;
    MemberSpanPrompt askSpan_;
    ImportFileChooser chooseImportFile_;
};

} // namespace vorn::ui
