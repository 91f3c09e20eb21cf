// The goods page (商品管理): the list of the units a search found, with the
// totals of its money columns below, and the commands of its ribbon tab.
#pragma once

#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "spanprompt.h"
#include "kit/page.h"

class QDialog;
class QTableView;

namespace vorn::ui {

class CStoreInputDlg;
class FooterStrip;
class GoodsModel;

class CStoreView : public CPage {
    Q_OBJECT
public:
    explicit CStoreView(Shell& shell, QWidget* parent = nullptr);
    ~CStoreView() override;

    bool onCommand(int id) override;
    bool isCommandEnabled(int id) const override;

    // Rebuilds the list and its footers from the stored search condition and
    // sort clause; returns how many units it lists now (0 also when the store
    // failed).
    int reload();
    // Recomputes the three footer totals from the loaded rows.
    void updateFooters();
    // As a click on a header section: column 0 to 10 sorts, others do nothing.
    void sortBy(int column, bool ascending);
    // Opens the editing panel for these loaded rows (the selection's order).
    void openEditor(const std::vector<int>& rows);

    // Whether the list holds a result (the commands edit and delete need one).
    bool hasRecord() const { return hasRecord_; }
    const std::string& searchCondition() const { return condition_; }
    const std::string& sortClause() const { return sortClause_; }

    QTableView* table() const { return table_; }
    GoodsModel* model() const { return model_; }
    FooterStrip* footer() const { return footer_; }
    CStoreInputDlg* panel() const;
    bool panelVisible() const;

    // How a modal dialog of the page is run (tests answer it without a loop).
    using DialogRunner = std::function<int(QDialog&)>;
    void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
    // Commands carried out outside the page class (import, export) run their
    // dialogs through the page.
    const DialogRunner& dialogRunner() const { return runDialog_; }
    void setSpanPrompt(SpanPrompt prompt) { askSpan_ = std::move(prompt); }

private:
    void buildList();
    void search();
    void chooseSpan(int id);
    void clearSearch();
    void addGoods();
    void editSelected();
    void deleteSelected();
    void editTypes();
    void editSuppliers();
    void onSortIndicator(int section, Qt::SortOrder order);
    void onEditFinished(bool totalsChanged, int result);
    // The selected loaded rows in selection order; false (after telling the user)
    // when there are more than one batch may hold. `tooMany` words the refusal.
    bool collectSelection(std::vector<int>& rows, const QString& tooMany) const;

    std::string condition_;
    std::string sortClause_;
    bool hasRecord_ = false;
    int sortSection_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;

    QTableView* table_ = nullptr;
    GoodsModel* model_ = nullptr;
    FooterStrip* footer_ = nullptr;
    QPointer<CStoreInputDlg> panel_;
    DialogRunner runDialog_;
    SpanPrompt askSpan_;
};

} // namespace vorn::ui
