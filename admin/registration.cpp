#include "admin/admin.h"

#include "kit/pageregistry.h"
#include "res/commandids.h"
#include "shopview.h"

namespace vorn::ui {

void registerAdmin(PageRegistry& registry) {
    using namespace cmd;
    registry.addPage<CShopView>(
        2, {SystemUsers, Backup, QuickBackup, BackupTo, Restore, QuickRestore, RestoreFrom, ReceiptPrinter});
}

} // namespace vorn::ui
