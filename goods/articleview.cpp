#include "articleview.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <tuple>

#include "articleprefill.h"
#include "articlepricedlg.h"
#include "goodslimits.h"
#include "kit/page/appstate.h"
#include "kit/page/footerstrip.h"
#include "kit/text/gbk.h"
#include "kit/sheet/sheetexport.h"
#include "res/commandids.h"
#include "res/strings.h"
#include "storeadddlg.h"

namespace vorn::ui {

namespace {

ListCommands articleCommands() {
    ListCommands c;
    c.search = cmd::SearchGoods;
    c.exporter = cmd::ExportGoods;
    return c;
}

ListWords articleWords() {
    ListWords w;
    w.searched = QStringLiteral("在当前设定条件下，\"搜索\"到%1种商品");
    return w;
}

} // namespace

CArticleView::CArticleView(Shell& shell, QWidget* parent)
    : RecordListPage(shell, articleState(shell).rows, loadArticles, articleCommands(), articleWords(),
                     kMaxBatchRecords, parent) {
    setObjectName(QStringLiteral("articleView"));
    model_ = new ArticleModel(articleState(shell).rows, shell.state(), this);
    buildList(model_, QStringLiteral("articleList"), ArtName);
    // One article at a time is repriced or restocked.
    table()->setSelectionMode(QAbstractItemView::SingleSelection);

    search_ = new QLineEdit;
    search_->setObjectName(QStringLiteral("articleSearch"));
    search_->setMaxLength(width::room(width::kStoreName));
    search_->setPlaceholderText(QStringLiteral("商品编码或名称的一部分，回车搜索"));
    search_->setClearButtonEnabled(true);
    connect(search_, &QLineEdit::returnPressed, this, [this] { onCommand(cmd::SearchGoods); });
    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(6, 4, 6, 4);
    strip->addWidget(new QLabel(QStringLiteral("按商品汇总  编码/名称:")));
    strip->addWidget(search_, 1);
    for (auto [button, id, name] : {std::tuple{&prices_, cmd::SetPrices, "setPrices"},
                                    std::tuple{&restock_, cmd::Restock, "restock"}}) {
        *button = new QPushButton(caption(id));
        (*button)->setObjectName(QString::fromLatin1(name));
        (*button)->setAutoDefault(false);
        const int command = id;
        connect(*button, &QPushButton::clicked, this, [this, command] { onCommand(command); });
        strip->addWidget(*button);
    }
    static_cast<QVBoxLayout*>(layout())->insertLayout(0, strip);
    connect(table()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CArticleView::refreshButtons);

    footer_ = new FooterStrip(table(), this);
    footer_->setObjectName(QStringLiteral("articleFooter"));
    for (int c : {ArtInStock, ArtSold, ArtWrittenOff})
        footer_->setAlignment(c, Qt::AlignRight);
    layout()->addWidget(footer_);
    updateFooters();
}

const vorn::Article* CArticleView::selectedArticle() const {
    if (!hasRecord()) return nullptr;
    const QModelIndexList picked = table()->selectionModel()->selectedRows();
    if (picked.size() != 1) return nullptr;
    const int r = picked.front().row();
    return r >= 0 && static_cast<size_t>(r) < rows().size() ? &rows()[static_cast<size_t>(r)] : nullptr;
}

bool CArticleView::isCommandEnabled(int id) const {
    if (id == cmd::SetPrices) return selectedArticle() != nullptr && selectedArticle()->in_stock > 0;
    if (id == cmd::Restock) return selectedArticle() != nullptr;
    if (id == cmd::ClearGoodsSearch || id == cmd::AddGoods) return true;
    return RecordListPage::isCommandEnabled(id);
}

bool CArticleView::onCommand(int id) {
    if (id == cmd::SetPrices) {
        if (selectedArticle()) changePrices();
    } else if (id == cmd::Restock) {
        if (const vorn::Article* a = selectedArticle()) enterGoods(a);
    } else if (id == cmd::AddGoods) {
        enterGoods(nullptr);
    } else if (id == cmd::ClearGoodsSearch) {
        search_->clear();
    } else {
        return RecordListPage::onCommand(id);
    }
    return true;
}

bool CArticleView::buildCondition(std::string& out) {
    return toGbk(search_->text(), out);
}

std::string CArticleView::orderFor(int section, bool ascending) const {
    return articleOrderText(section, ascending);
}

void CArticleView::sorted(int section, bool ascending, int listed) {
    const int column = section < 0 ? int(ArtCode) : section;
    shell().showStatus(QStringLiteral("成功按\"%1\"%2排列%3种商品")
                           .arg(QString::fromUtf8(articleColumns()[static_cast<size_t>(column)].caption),
                                section < 0 || ascending ? QStringLiteral("升序") : QStringLiteral("降序"))
                           .arg(listed));
}

QPushButton* CArticleView::button(int id) const {
    return id == cmd::SetPrices ? prices_ : id == cmd::Restock ? restock_ : nullptr;
}

void CArticleView::refreshButtons() {
    prices_->setEnabled(isCommandEnabled(cmd::SetPrices));
    restock_->setEnabled(isCommandEnabled(cmd::Restock));
}

void CArticleView::updateFooters() {
    vorn::ArticleSums sums;
    if (hasRecord()) sums = vorn::sum_articles(rows());
    for (const ArticleFooter& f : articleFooters(sums))
        footer_->setText(f.column, f.text);
    if (prices_) refreshButtons();
}

void CArticleView::exportRecords() {
    // The job reads the loaded rows in place: the busy window holds the user's
    // input meanwhile, so nothing changes them.
    const std::span<const vorn::Article> shown(rows());
    const std::vector<vorn::TRec> types = shell().state().types;
    const std::vector<vorn::SPRec> suppliers = shell().state().suppliers;
    runSheetExport({shell(), QStringLiteral("导出商品汇总"), QStringLiteral("商品汇总"), shown.size(),
                    [&](const QString& path, const std::function<void(int)>& percent, QString* error) {
                        return writeArticleSheet(path, shown, types, suppliers, percent, error);
                    }});
}

void CArticleView::changePrices() {
    const vorn::Article* a = selectedArticle();
    if (a == nullptr) return;
    CArticlePriceDlg dlg(shell(), *a, shell().window());
    // A failed change was reported by the dialog, which then stayed open.
    if (runAndReport(dlg, [&dlg] { return dlg.changeResult(); },
                     {QStringLiteral("放弃该次商品\"调价\"操作"),
                      QStringLiteral("成功为%1件库存商品\"调价\""), QStringLiteral("未对任何商品\"调价\""),
                      QString()})) {
        reload(); // the figures of the list change; the status stays the dialog's
    }
}

void CArticleView::enterGoods(const vorn::Article* from) {
    CStoreAddDlg dlg(shell(), shell().window());
    if (from) {
        if (auto* prefill = dlg.findChild<CodePrefill*>()) prefill->fillFor(fromGbk(from->code));
    }
    if (runAndReport(dlg, [&dlg] { return dlg.insertResult(); },
                     {QStringLiteral("放弃该次商品\"录入\"操作"), QStringLiteral("成功\"录入\"%1件商品"),
                      QStringLiteral("未\"录入\"任何商品"), QString()})) {
        reload(); // the figures of the list change; the status stays the dialog's
    }
}

} // namespace vorn::ui
