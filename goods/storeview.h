// The goods page (商品管理): the list of the units a search found, with the
// totals of its money columns below, and the commands of its ribbon tab.
#pragma once

#include "kit/page/recordpage.h"
#include "vorn/records.h"

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

    FooterStrip* footer() const { return footer_; }
    CStoreInputDlg* panel() const;
    // The second view, by article ("按商品汇总").
    ArticleMode* articles() const { return articles_; }

private:
    bool buildCondition(std::string& out) override;
    void sorted(int section, bool ascending, int listed) override;
    void addRecords() override;
    // The type or supplier dialog; what changed shows in the list and the drop-downs.
    template <class Dlg> void editCatalog(const QString& name);

    FooterStrip* footer_ = nullptr;
    ArticleMode* articles_ = nullptr;
};

} // namespace vorn::ui
