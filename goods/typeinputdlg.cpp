#include "typeinputdlg.h"

#include "goodslimits.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"

namespace vorn::ui {

namespace {

CCatalogDlg::Texts typeTexts() {
    CCatalogDlg::Texts t;
    t.title = QStringLiteral("商品类型配置");
    t.listLabel = QStringLiteral("商品类型列表:");
    t.nameLabel = QStringLiteral("商品类型:");
    t.duplicate = QStringLiteral("商品类型\"%1\"已存在，请重新输入其它");
    t.firstEntry = QStringLiteral("不能删除\"未知\"商品类型");
    t.removeQuestion = QStringLiteral(
        "你的下一步操作将删除商品类型\"%1\"，所有指定该商品类型的商品将自动置为\"未知\"商品，是否要继续？");
    t.kind = CatalogKind::Types;
    t.maxBytes = kTypeNameBytes;
    t.multiLine = false;
    return t;
}

} // namespace

CStoreTypeInputDlg::CStoreTypeInputDlg(Shell& shell, QWidget* parent)
    : CCatalogDlg(shell, typeTexts(), parent) {
    std::vector<Entry> entries;
    for (const vorn::TRec& t : shell.state().types)
        entries.push_back({t.FTi_Id, t.FTs_Name});
    setEntries(entries);
}

} // namespace vorn::ui
