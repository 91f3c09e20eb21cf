#include "admin/admin.h"

#include "backupfiles.h"
#include "kit/page/pageregistry.h"
#include "res/commandids.h"
#include "res/tabs.h"
#include "shopview.h"

namespace vorn::ui {

void registerAdmin(PageRegistry& registry) {
    using namespace cmd;
    registry.addPage<CShopView>(tabs::Shop,
                                {SystemUsers, Backup, QuickBackup, BackupTo, Restore, QuickRestore,
                                 RestoreFrom, ReceiptPrinter, ShopKey, CounterRules, MoveToServer});
}

int sweepInterruptedBackups(const QString& storeFolder) {
    return backup::sweepInterruptedCopies(storeFolder);
}

} // namespace vorn::ui
