// The counter's parked sales (挂单 / 取单) and the question asked when the page
// is left with goods in the list.
#include <QTableView>

#include "heldsale.h"
#include "heldsaledlg.h"
#include "kit/dialog/storefailure.h"
#include "kit/page/appstate.h"
#include "kit/page/shell.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "pricing.h"
#include "saleinputdlg.h"
#include "salemodel.h"
#include "saleoutputdlg.h"
#include "salestate.h"
#include "saleview.h"
#include "vorn/heldsales.h"

namespace vorn::ui {

void CSaleView::clearSale() {
    table_->clearSelection();
    list_.clear();
    list_.recount();
    model_->rowsReset();
    showFooters();
    output_->setAmounts(0, 0, 0);
    counter().dropMember();
    showMember();
    shell().updateCommands();
}

bool CSaleView::holdSale() {
    if (list_.empty()) {
        shell().reportFailure(QStringLiteral("购物列表为空，未挂起任何销售"));
        input_->focusCode();
        return false;
    }
    AppState& st = shell().state();
    const SaleCounterState& c = counter();
    const vorn::HeldSale sale =
        heldSaleOf(list_, c.hasMember() ? &c.member : nullptr, st.currentUser.FUs_Name, now());
    const int units = sale.units;
    if (vorn::HeldSales(st.core).park(sale) <= 0) {
        shell().reportFailure(withStoreCause(QStringLiteral("未知异常导致\"挂单\"失败，放弃该次\"挂单\"操作")));
        input_->focusCode();
        return false;
    }
    clearSale();
    input_->resetQuantity();
    shell().showStatus(QStringLiteral("成功挂单，共%1件商品，按F5可取单").arg(units));
    input_->focusCode();
    return true;
}

void CSaleView::recallSale() {
    AppState& st = shell().state();
    if (!list_.empty()) {
        shell().reportFailure(QStringLiteral("购物列表中还有商品，请先结算或挂单(F4)，未取回任何挂单"));
        input_->focusCode();
        return;
    }
    vorn::HeldSales held(st.core);
    std::vector<vorn::HeldSale> sales;
    if (held.list(sales) < 0) {
        shell().reportFailure(withStoreCause(QStringLiteral("未知异常导致挂单读取失败，放弃该次\"取单\"操作")));
        input_->focusCode();
        return;
    }
    if (sales.empty()) {
        shell().showStatus(QStringLiteral("未找到任何挂单"));
        input_->focusCode();
        return;
    }
    CHeldSalesDlg dlg(std::move(sales), shell().window());
    if (runDialog_(dlg) != QDialog::Accepted || dlg.chosenId() <= 0) {
        shell().showStatus(QStringLiteral("放弃该次\"取单\"操作"));
        input_->focusCode();
        return;
    }
    vorn::HeldSale sale;
    const int taken = held.take(dlg.chosenId(), sale);
    if (taken != 1) {
        if (taken == 0)
            shell().reportFailure(QStringLiteral("该挂单已被取回，未取回任何挂单"));
        else
            shell().reportFailure(withStoreCause(QStringLiteral("未知异常导致\"取单\"失败，放弃该次\"取单\"操作")));
        input_->focusCode();
        return;
    }
    readRules();
    const RecallOutcome out = recallInto(st.core, sale, list_, st.types);
    if (out.failed) {
        // Taken from the store but not into the list: parked again, as it was.
        held.park(sale);
        shell().reportFailure(withStoreCause(QStringLiteral("未知异常导致\"取单\"失败，放弃该次\"取单\"操作")));
        input_->focusCode();
        return;
    }
    // The member as stored now (points change with every sale); one deleted
    // meanwhile is not chosen again.
    SaleCounterState& c = counter();
    bool memberGone = false;
    if (sale.member_id > 0) {
        const std::string same = "FVi_Id=" + std::to_string(sale.member_id);
        vorn::VIPRec m;
        if (st.core.get_viprec_count(same.c_str()) == 1 && st.core.select_viprec(&m, same.c_str()) == 1)
            c.member = m;
        else
            memberGone = true;
    }
    model_->rowsReset();
    table_->scrollToBottom();
    recountAndShow();
    showMember();
    QString text = QStringLiteral("成功取回挂单，共%1件商品").arg(out.units);
    if (out.replaced > 0) text += QStringLiteral("，其中%1件已由同编码的库存商品替换").arg(out.replaced);
    if (!out.dropped.isEmpty())
        text += QStringLiteral("；已不在库存中而去掉的商品：%1").arg(droppedText(out.dropped));
    if (memberGone) text += QStringLiteral("；该单的会员已不存在");
    if (!out.dropped.isEmpty() || memberGone)
        shell().reportFailure(text);
    else
        shell().showStatus(text);
    shell().updateCommands();
    input_->focusCode();
}

bool CSaleView::mayLeave(Leaving why) {
    (void)why;
    if (list_.empty()) return true;
    CLeaveSaleDlg dlg(list_.totals().quantity, shell().window());
    runDialog_(dlg);
    switch (dlg.choice()) {
    case CLeaveSaleDlg::Park:
        return holdSale();
    case CLeaveSaleDlg::Drop:
        clearSale();
        shell().showStatus(QStringLiteral("成功清空购物列表"));
        return true;
    case CLeaveSaleDlg::Stay:
        break;
    }
    shell().showStatus(QStringLiteral("放弃该次离开收银台操作"));
    input_->focusCode();
    return false;
}

} // namespace vorn::ui
