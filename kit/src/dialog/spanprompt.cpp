#include "kit/dialog/spanprompt.h"

#include <QDialog>

#include "kit/dialog/datespandlg.h"
#include "kit/dialog/dialogrunner.h"

namespace vorn::ui {

SpanAnswer askDateSpan(const QDate& from, const QDate& to, QWidget* parent) {
    CDateSpanDlg dlg(from, to, parent);
    dlg.exec();
    SpanAnswer a;
    a.outcome = dlg.answer();
    if (a.outcome == 1) {
        a.from = dlg.start();
        a.to = dlg.end();
    }
    return a;
}

DialogRunner execDialogRunner() {
    return [](QDialog& d) { return d.exec(); };
}

} // namespace vorn::ui
