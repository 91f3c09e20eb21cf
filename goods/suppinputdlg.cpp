#include "suppinputdlg.h"

#include "goodslimits.h"
#include "kit/appstate.h"
#include "kit/shell.h"

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
    t.nameColumn = "FSPs_Name";
    t.goodsColumn = "FSi_Supplier";
    t.goodsField = &vorn::SRec::FSi_Supplier;
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

int CStoreSuppInputDlg::countNamed(const char* condition) {
    return shell().state().core.get_sprec_count(condition);
}

void CStoreSuppInputDlg::appendInsert(std::string& sql, const std::string& name) const {
    vorn::SPRec r;
    r.FSPi_Id = 0;
    r.FSPs_Name = name;
    appendStatement(sql, r, &vorn::SPRec::make_insert_sql);
}

void CStoreSuppInputDlg::appendDelete(std::string& sql, int id) const {
    vorn::SPRec r;
    r.FSPi_Id = id;
    appendStatement(sql, r, &vorn::SPRec::make_delete_sql);
}

} // namespace vorn::ui
