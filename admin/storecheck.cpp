#include "storecheck.h"

#include <QDir>
#include <QFileInfo>

#include "backupfiles.h"
#include "vorn/core.h"

namespace vorn::ui::backup {

bool holdsStore(const QString& folder) {
    // Opening a missing file would create an empty store: that is no backup.
    if (!QFileInfo(storeFile(folder)).isFile()) return false;
    const QString previous = QDir::currentPath();
    if (!QDir::setCurrent(folder)) return false;
    vorn::Core candidate;
    bool ok = candidate.open() == 0;
    // A wrong key or a file that is no database fails the first read; each table is
    // asked with a condition its key answers at once, however large the table.
    ok = ok && candidate.get_urec_count("FUi_Id=0") >= 0;
    ok = ok && candidate.get_arec_count("FAi_Id=0") >= 0;
    ok = ok && candidate.get_trec_count("FTi_Id=0") >= 0;
    ok = ok && candidate.get_sprec_count("FSPi_Id=0") >= 0;
    ok = ok && candidate.get_srec_count("FSi_Id=0") >= 0;
    ok = ok && candidate.get_viprec_count("FVi_Id=0") >= 0;
    if (candidate.is_open()) candidate.close();
    QDir::setCurrent(previous);
    return ok;
}

} // namespace vorn::ui::backup
