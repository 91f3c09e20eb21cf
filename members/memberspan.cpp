#include "memberspan.h"

#include "kit/datespandlg.h"

namespace vorn::ui {

MemberSpanAnswer askMemberSpan(const QDate& from, const QDate& to, QWidget* parent) {
    CDateSpanDlg dlg(from, to, parent);
    dlg.exec();
    MemberSpanAnswer a;
    a.outcome = dlg.answer();
    if (a.outcome == 1) {
        a.from = dlg.start();
        a.to = dlg.end();
    }
    return a;
}

} // namespace vorn::ui
