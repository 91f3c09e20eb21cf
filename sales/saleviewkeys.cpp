// The counter from the keyboard: the keys the code edit passes to the page,
// choosing and changing rows without the mouse, and the shop's counter habits
// (merging a repeated scan, selling what the book lacks).
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <algorithm>

#include "heldsale.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "pricing.h"
#include "salecounter.h"
#include "saleinputdlg.h"
#include "salemodel.h"
#include "salestate.h"
#include "saleview.h"

namespace vorn::ui {

void CSaleView::readRules() {
    vorn::ShopRules r;
    // A store that cannot say keeps the Part's counter: no merging, no selling short.
    if (vorn::Shifts(shell().state().core).rules(r) != 1) r = vorn::ShopRules();
    rules_ = r;
}

bool CSaleView::counterKey(QObject* watched, const QKeyEvent& key) {
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    const bool plain = mods == Qt::NoModifier;
    const bool ctrl = mods == Qt::ControlModifier;
    const bool fromCode = watched == input_->codeEdit();
    if (plain) {
        switch (key.key()) {
        case Qt::Key_F2:
            memberDiscount();
            return true;
        case Qt::Key_F3:
            goodsDiscount();
            return true;
        case Qt::Key_F4:
            holdSale();
            return true;
        case Qt::Key_F5:
            recallSale();
            return true;
        case Qt::Key_F6:
            input_->focusQuantity();
            return true;
        case Qt::Key_F7:
            printLast();
            return true;
        case Qt::Key_F8:
            returnGoods();
            return true;
        case Qt::Key_F9:
            daySales();
            return true;
        case Qt::Key_F12:
            checkout();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            // In the quantity edit the arrows step the quantity; in the list
            // they are the list's own.
            if (!fromCode) return false;
            moveSelection(key.key() == Qt::Key_Up ? -1 : 1);
            return true;
        default:
            return false;
        }
    }
    if (ctrl && fromCode) {
        switch (key.key()) {
        case Qt::Key_Delete:
            removeSelected();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            stepSelected(key.key() == Qt::Key_Up ? 1 : -1);
            return true;
        default:
            return false;
        }
    }
    return false;
}

void CSaleView::moveSelection(int delta) {
    if (list_.empty()) return;
    const std::vector<int> rows = selectedRows();
    const int last = list_.rowCount() - 1;
    const int to = rows.empty() ? last : std::clamp((delta < 0 ? rows.front() : rows.back()) + delta, 0, last);
    table_->selectionModel()->select(model_->index(to, 0),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->selectionModel()->setCurrentIndex(model_->index(to, 0), QItemSelectionModel::NoUpdate);
    table_->scrollTo(model_->index(to, 0));
    shell().updateCommands();
}

void CSaleView::stepSelected(int delta) {
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1) {
        shell().reportFailure(QStringLiteral("请先用↑↓选择一行，未改变任何商品数量"));
        input_->focusCode();
        return;
    }
    const int at = rows.front();
    const SaleRow& row = list_.rows()[static_cast<size_t>(at)];
    std::vector<vorn::SRec> units = row.units();
    if (delta < 0) {
        if (units.size() <= 1) {
            shell().showStatus(QStringLiteral("该行只剩1件，未减少任何数量；删除该行请按Ctrl+Delete"));
            input_->focusCode();
            return;
        }
        units.pop_back(); // the unit taken last goes back first
    } else {
        // The next unit in stock that no row holds, at the row's price.
        const std::string code = row.first().FSs_Code;
        const int held = list_.quantityOf(code);
        std::vector<vorn::SRec> stock(static_cast<size_t>(held + 1));
        vorn::Core& core = shell().state().core;
        const int got = core.select_srec(stock.data(), stockTakeCondition(code, held + 1).c_str());
        stock.resize(static_cast<size_t>(std::max(got, 0)));
        const vorn::SRec* next = nullptr;
        for (const vorn::SRec& u : stock) {
            bool listed = false;
            for (const SaleRow& r : list_.rows())
                for (const vorn::SRec& v : r.units())
                    listed = listed || (v.FSi_Id == u.FSi_Id && v.FSs_Code == code);
            if (!listed) {
                next = &u;
                break;
            }
        }
        vorn::SRec added;
        if (next != nullptr) {
            added = *next;
        } else if (!(rules_.sell_short && enteredUnit(core, code, now(), added))) {
            shell().reportFailure(
                QStringLiteral("商品\"%1\"的库存数量为%2，少于实际购买数量%3，请重新调整购买数量")
                    .arg(row.code())
                    .arg(0) // every unit in stock is listed already
                    .arg(1));
            input_->focusCode();
            return;
        }
        added.FSd_ReaP = row.first().FSd_ReaP;
        units.push_back(std::move(added));
    }
    list_.replaceRow(at, SaleRow(std::move(units), row.typeName()));
    model_->pricesChanged();
    recountAndShow();
    shell().showStatus(QStringLiteral("成功将商品\"%1\"的数量改为%2")
                           .arg(list_.rows()[static_cast<size_t>(at)].code())
                           .arg(list_.rows()[static_cast<size_t>(at)].quantity()));
    input_->focusCode();
}

bool CSaleView::mergeAppended(int rowsBefore) {
    // Only one new row of the same code and the same prices as the row before
    // it: units at another price keep a row of their own, as they always have.
    if (rowsBefore < 1 || list_.rowCount() != rowsBefore + 1) return false;
    const SaleRow& last = list_.rows()[static_cast<size_t>(rowsBefore - 1)];
    const SaleRow& added = list_.rows()[static_cast<size_t>(rowsBefore)];
    const vorn::SRec& a = last.first();
    const vorn::SRec& b = added.first();
    if (a.FSs_Code != b.FSs_Code || a.FSd_ReaP != b.FSd_ReaP || a.FSd_RetP != b.FSd_RetP ||
        a.FSd_MemP != b.FSd_MemP || a.FSd_GolP != b.FSd_GolP || a.FSd_WhoP != b.FSd_WhoP ||
        a.FSd_SpeP != b.FSd_SpeP || a.FSi_Id == 0 || b.FSi_Id == 0)
        return false;
    std::vector<vorn::SRec> units = last.units();
    units.insert(units.end(), added.units().begin(), added.units().end());
    SaleRow merged(std::move(units), last.typeName());
    list_.removeRows({rowsBefore});
    list_.replaceRow(rowsBefore - 1, std::move(merged));
    return true;
}

bool CSaleView::addShort(const std::string& code, int quantity, int inStock) {
    AppState& st = shell().state();
    vorn::SRec entered;
    if (!enteredUnit(st.core, code, now(), entered)) return false;
    if (inStock > 0 &&
        vorn::ui::addToList(st.core, list_, code, inStock, counter().memberType(), st.types).status !=
            AddStatus::Added)
        return false;
    entered.FSd_ReaP = addedPrice(entered, counter().memberType());
    std::vector<vorn::SRec> units(static_cast<size_t>(quantity - inStock), entered);
    QString typeName;
    for (const vorn::TRec& t : st.types)
        if (t.FTi_Id == entered.FSi_Type) typeName = fromGbk(t.FTs_Name);
    if (typeName.isEmpty() && !st.types.empty()) typeName = fromGbk(st.types.front().FTs_Name);
    list_.addRow(SaleRow(std::move(units), typeName));
    return true;
}

} // namespace vorn::ui
