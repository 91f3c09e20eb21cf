#include "typeinputdlg.h"

#include "goodslimits.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"

namespace vorn::ui {

namespace {

// The twins differ only in these words, the name's limit and the edit's lines.
CCatalogDlg::Texts textsOf(CatalogKind kind) {
    CCatalogDlg::Texts t;
    t.kind = kind;
    if (kind == CatalogKind::Types) {
        t.title = QStringLiteral("商品类型配置");
        t.listLabel = QStringLiteral("商品类型列表:");
        t.nameLabel = QStringLiteral("商品类型:");
        t.duplicate = QStringLiteral("商品类型\"%1\"已存在，请重新输入其它");
        t.firstEntry = QStringLiteral("不能删除\"未知\"商品类型");
        t.removeQuestion = QStringLiteral(
            "你的下一步操作将删除商品类型\"%1\"，所有指定该商品类型的商品将自动置为\"未知\"商品，是否要继续？");
        t.maxBytes = width::room(width::kTypeName);
        t.multiLine = false;
    } else {
        t.title = QStringLiteral("供货商配置");
        t.listLabel = QStringLiteral("供货商列表:");
        t.nameLabel = QStringLiteral("供货商:");
        t.duplicate = QStringLiteral("供货商\"%1\"已存在，请重新输入其它");
        t.firstEntry = QStringLiteral("不能删除\"未指定\"供货商");
        t.removeQuestion = QStringLiteral(
            "你的下一步操作将删除供货商\"%1\"，所有指定该供货商的商品将自动置为\"未指定\"供货商，是否要继续？");
        t.maxBytes = width::room(width::kSupplierName);
        t.multiLine = true;
    }
    return t;
}

std::vector<CCatalogDlg::Entry> entriesOf(const AppState& st, CatalogKind kind) {
    std::vector<CCatalogDlg::Entry> entries;
    if (kind == CatalogKind::Types)
        for (const vorn::TRec& t : st.types)
            entries.push_back({t.FTi_Id, t.FTs_Name});
    else
        for (const vorn::SPRec& s : st.suppliers)
            entries.push_back({s.FSPi_Id, s.FSPs_Name});
    return entries;
}

} // namespace

CCatalogKindDlg::CCatalogKindDlg(Shell& shell, CatalogKind kind, QWidget* parent)
    : CCatalogDlg(shell, textsOf(kind), parent) {
    setEntries(entriesOf(shell.state(), kind));
}

} // namespace vorn::ui
