#include "suppinputdlg.h"

#include "goodslimits.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"

namespace vorn::ui {

namespace {

CCatalogDlg::Texts supplierTexts() {
    CCatalogDlg::Texts t;
    t.title = QStringLiteral("供货商配置");
    t.listLabel = QStringLiteral("供货商列表:");
    t.nameLabel = QStringLiteral("供货商:");
    t.duplicate = QStringLiteral("供货商\"%1\"已存在，请重新输入其它");
    t.firstEntry = QStringLiteral("不能删除\"未指定\"供货商");
    t.removeQuestion = QStringLiteral(
        "你的下一步操作将删除供货商\"%1\"，所有指定该供货商的商品将自动置为\"未指定\"供货商，是否要继续？");
    t.kind = CatalogKind::Suppliers;
    t.maxBytes = kSupplierNameBytes;
    t.multiLine = true;
    return t;
}

} // namespace

CStoreSuppInputDlg::CStoreSuppInputDlg(Shell& shell, QWidget* parent)
    : CCatalogDlg(shell, supplierTexts(), parent) {
    std::vector<Entry> entries;
    for (const vorn::SPRec& s : shell.state().suppliers)
        entries.push_back({s.FSPi_Id, s.FSPs_Name});
    setEntries(entries);
}

} // namespace vorn::ui
