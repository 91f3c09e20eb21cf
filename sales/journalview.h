// The sale journal's page (销售记录): the sales a search found, with the sums
// of the list below, each sale opened to its lines and payments, printed again
// ("重打小票") and the list exported.
#pragma once

#include "journalstate.h"
#include "kit/page/recordmodel.h"
#include "kit/page/recordpage.h"

namespace vorn::ui {

class FooterStrip;
using JournalModel = RecordModel<vorn::SaleRecord>;

class CJournalView : public RecordListPage<vorn::SaleRecord> {
    Q_OBJECT
public:
    explicit CJournalView(Shell& shell, QWidget* parent = nullptr);

    bool onCommand(int id) override;
    bool isCommandEnabled(int id) const override;
    void updateFooters() override;

    JournalModel* model() const { return model_; }
    FooterStrip* footer() const { return footer_; }
    // What the last search asked the store for, and the sums it answered.
    const vorn::SaleFilter& filter() const { return filter_; }
    const vorn::SaleSums& sums() const { return sums_; }
    // The loaded row the commands act on (the current row when selected, else
    // the first selected), -1 for none.
    int chosenRow() const;

    // Shows the sale of a loaded row in the detail dialog (run through the
    // page's dialog runner); the dialog's "重打小票" prints it again.
    void openSale(int row);
    // Prints the sale of a loaded row again, marked 重印.
    void reprintSale(int row);

private:
    bool buildCondition(std::string& out) override;
    std::string orderFor(int section, bool ascending) const override;
    void sorted(int section, bool ascending, int listed) override;
    SpanDates spanDates(int id) override;
    void exportRecords() override;
    void openPanel(const std::vector<int>&) override {}
    void takeFetched() override;
    vorn::Core& store() override;
    // Runs on the busy window's worker: the sales of filter_ in the order of
    // the key, and their sums, as of one moment.
    int loadSales(vorn::Core& core, const std::string& orderKey, std::vector<vorn::SaleRecord>& out);

    JournalModel* model_ = nullptr;
    FooterStrip* footer_ = nullptr;
    vorn::SaleFilter filter_;
    vorn::SaleSums sums_;
    vorn::SaleSums stagedSums_;
};

} // namespace vorn::ui
