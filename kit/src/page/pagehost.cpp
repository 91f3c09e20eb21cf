#include "kit/page/pagehost.h"

#include <QAbstractItemModel>
#include <QTableView>

namespace vorn::ui {

ImportHost importHostOf(CRecordListPage& page) {
    return {page.shell(), page.dialogRunner(), [&page] {
                if (page.hasRecord() || !page.searchCondition().empty() || !page.sortClause().empty())
                    page.reload();
            }};
}

size_t shownCount(const CRecordListPage& page) {
    const QAbstractItemModel* model = page.table() ? page.table()->model() : nullptr;
    return model ? static_cast<size_t>(model->rowCount()) : 0;
}

} // namespace vorn::ui
