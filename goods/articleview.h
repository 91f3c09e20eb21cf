// The goods by article (按商品汇总): one row per goods code with its stock, what
// sold and what was written off, its latest prices and entry, and the sums
// below. A second view on the goods tab beside the list of units (see
// ArticleMode); from an article row, "调价" and "入库" (buttons beside the
// search box: the goods tab's ribbon has no room left for them at 1024 pixels).
#pragma once

#include <vector>

#include "articlemodel.h"
#include "kit/page/appstate.h"
#include "kit/page/listloader.h"
#include "kit/page/liststate.h"
#include "kit/page/recordpage.h"
#include "kit/page/shell.h"

class QLineEdit;
class QPushButton;

namespace vorn::ui {

class FooterStrip;

// The list of articles has no delete: an article is its units, deleted from the
// list of units.
template <> struct RecordCalls<vorn::Article> {
    static int remove(vorn::Core&, vorn::Article* const*, int) { return -1; }
};

// The rows of the last listing, on the main window's state like the goods rows.
using ArticleState = ListState<vorn::Article>;
inline ArticleState& articleState(Shell& shell) {
    return listState<vorn::Article>(shell);
}

class CArticleView : public RecordListPage<vorn::Article> {
    Q_OBJECT
public:
    explicit CArticleView(Shell& shell, QWidget* parent = nullptr);

    bool onCommand(int id) override;
    bool isCommandEnabled(int id) const override;
    void updateFooters() override;

    ArticleModel* model() const { return model_; }
    FooterStrip* footer() const { return footer_; }
    QLineEdit* searchEdit() const { return search_; }
    QPushButton* button(int id) const;
    // The one selected article, or null when none or several are selected.
    const vorn::Article* selectedArticle() const;

    // "调价" on the selected article.
    void changePrices();
    // Goods entry, prefilled from the article when one is given.
    void enterGoods(const vorn::Article* from);

private:
    bool buildCondition(std::string& out) override;
    std::string orderFor(int section, bool ascending) const override;
    void sorted(int section, bool ascending, int listed) override;
    void exportRecords() override;
    // The buttons follow the selection and every reload.
    void refreshButtons();

    ArticleModel* model_ = nullptr;
    FooterStrip* footer_ = nullptr;
    QLineEdit* search_ = nullptr;
    QPushButton* prices_ = nullptr;
    QPushButton* restock_ = nullptr;
};

} // namespace vorn::ui
