#include "articlemode.h"

#include <QLayout>
#include <QLineEdit>
#include <algorithm>

#include "articleview.h"
#include "res/commandids.h"

namespace vorn::ui {

namespace {

// What the articles' view carries out while it is shown.
constexpr int kArticleCommands[] = {cmd::SearchGoods, cmd::ClearGoodsSearch, cmd::ExportGoods,
                                    cmd::AddGoods,    cmd::SetPrices,        cmd::Restock};
// What works on single units only.
constexpr int kUnitCommands[] = {cmd::EditGoods, cmd::RemoveGoods, cmd::ImportGoods};

template <size_t N> bool among(const int (&ids)[N], int id) {
    return std::find(std::begin(ids), std::end(ids), id) != std::end(ids);
}

} // namespace

ArticleMode::ArticleMode(CRecordListPage& units, std::initializer_list<QWidget*> unitWidgets)
    : QObject(&units), units_(units), unitWidgets_(unitWidgets) {}

bool ArticleMode::serves(int id) const {
    return id == cmd::ByArticle || id == cmd::SetPrices || id == cmd::Restock ||
           (on_ && (among(kArticleCommands, id) || among(kUnitCommands, id)));
}

bool ArticleMode::enabled(int id) const {
    // The editing panel works on the loaded units: they stay in view meanwhile.
    if (id == cmd::ByArticle) return !units_.panelVisible();
    if (!on_ || among(kUnitCommands, id)) return false;
    return view_->isCommandEnabled(id);
}

bool ArticleMode::run(int id) {
    if (id == cmd::ByArticle) {
        if (!units_.panelVisible()) show(!on_);
    } else if (on_ && among(kArticleCommands, id) && view_->isCommandEnabled(id)) {
        view_->onCommand(id);
    }
    return true;
}

bool ArticleMode::checked(int id) const {
    return id == cmd::ByArticle && on_;
}

void ArticleMode::show(bool on) {
    on_ = on;
    if (on_ && view_ == nullptr) {
        view_ = new CArticleView(units_.shell(), &units_);
        units_.layout()->addWidget(view_);
    }
    for (QWidget* w : unitWidgets_)
        w->setVisible(!on_);
    if (view_) view_->setVisible(on_);
    if (on_) {
        // What the shop holds now, by the text last searched for.
        view_->onCommand(cmd::SearchGoods);
        view_->searchEdit()->setFocus();
    } else {
        units_.shell().showStatus(QStringLiteral("成功切换到逐件列出的商品列表"));
    }
    units_.shell().updateCommands();
}

} // namespace vorn::ui
