#include "typecombo.h"

#include <QStringList>

#include "kit/page/appstate.h"
#include "kit/page/shell.h"
#include "kit/text/gbk.h"
#include "res/commandids.h"

namespace vorn::ui {

void fillTypeCombo(Shell& shell) {
    QStringList names;
    for (const vorn::TRec& t : shell.state().types)
        names << fromGbk(t.FTs_Name);
    shell.setRibbonItems(cmd::GoodsType, names);
}

} // namespace vorn::ui
