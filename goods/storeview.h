// The goods page (商品管理): the list of the units a search found, with the
// totals of its money columns below, and the commands of its ribbon tab.
#pragma once

#include "goodsmodel.h"
#include "kit/page/recordpage.h"
#include "spanprompt.h"

namespace vorn::ui {

class ArticleMode;
class CStoreInputDlg;
class FooterStrip;

class CStoreView : public RecordListPage<vorn::SRec> {
    Q_OBJECT
public:
    explicit CStoreView(Shell& shell, QWidget* parent = nullptr);

    bool onCommand(int id) override;
    bool isCommandEnabled(int id) const override;
    bool isCommandChecked(int id) const override;
    // Recomputes the three footer totals from the loaded rows.
    void updateFooters() override;

    GoodsModel* model() const { return model_; }
    FooterStrip* footer() const { return footer_; }
    CStoreInputDlg* panel() const;
    // The second view, by article ("按商品汇总").
    ArticleMode* articles() const { return articles_; }

private:
    bool buildCondition(std::string& out) override;
    std::string orderFor(int section, bool ascending) const override;
    void sorted(int section, bool ascending, int listed) override;
    SpanDates spanDates(int id) override;
    void addRecords() override;
    void importRecords() override;
    void exportRecords() override;
    void openPanel(const std::vector<int>& rows) override;
    vorn::Core& store() override;
    void editTypes();
    void editSuppliers();

    GoodsModel* model_ = nullptr;
    FooterStrip* footer_ = nullptr;
    ArticleMode* articles_ = nullptr;
};

} // namespace vorn::ui
