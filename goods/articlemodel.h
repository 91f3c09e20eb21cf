// The goods by article as a list: its columns, the words of its cells, its
// footers, its order and its export. No widgets here beyond the model.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "kit/page/recordmodel.h"
#include "vorn/articles.h"

namespace vorn::ui {

struct AppState;

enum ArticleColumn {
    ArtCode,
    ArtName,
    ArtType,
    ArtSize,
    ArtSupplier,
    ArtInStock,
    ArtSold,
    ArtWrittenOff,
    ArtRetail,
    ArtMember,
    ArtEntry,
    ArticleColumnCount
};

std::span<const RecordColumn> articleColumns();
// Text of column c for one article ("Err" past the last), types and suppliers
// named as the goods list names them.
QString articleCellText(const vorn::Article& a, int c, const std::vector<vorn::TRec>& types,
                        const std::vector<vorn::SPRec>& suppliers);

class ArticleModel : public RecordModel<vorn::Article> {
public:
    ArticleModel(const std::vector<vorn::Article>& rows, AppState& state, QObject* parent = nullptr);
};

// The footer texts by column: the number of articles under the code, the sums
// of the three counts under theirs.
struct ArticleFooter {
    int column;
    QString text;
};
std::vector<ArticleFooter> articleFooters(const vorn::ArticleSums& sums);

// The page's sort clause for a header section: the order the store is asked
// for, as text the page keeps ("<section>:a" or ":d"); empty for a section that
// cannot be sorted. A negative section is the code, ascending.
std::string articleOrderText(int section, bool ascending);
// Reads such a text back; an empty or unknown one is the code, ascending.
void readArticleOrder(const std::string& text, vorn::ArticleOrder& order, bool& descending);

// Loads the articles holding `text` (GBK) in the order of `orderText`: their
// number, or -1 (out empty). The loader of the page.
int loadArticles(vorn::Core& core, const std::string& text, const std::string& orderText,
                 std::vector<vorn::Article>& out);

// The headings of an exported article list, and its writer (XLSX or CSV by the
// file's suffix; `progress` hears 0 to 100). Touches no widget.
QStringList articleSheetHeadings();
bool writeArticleSheet(const QString& path, std::span<const vorn::Article> rows,
                       const std::vector<vorn::TRec>& types, const std::vector<vorn::SPRec>& suppliers,
                       const std::function<void(int)>& progress, QString* error);

} // namespace vorn::ui
