#include "storecheck.h"

#include <QDir>
#include <QFileInfo>

#include "backupfiles.h"
#include "vorn/extcheck.h"

namespace vorn::ui::backup {

namespace {

// The candidate is only looked at: opened for reading, it can neither be
// created, nor changed, nor have a journal of its own played into it.
class ReadOnlyCore : public vorn::CheckedCore {
protected:
    bool read_only() const override { return true; }
};

StoreVerdict checkOpen(vorn::CheckedCore& candidate) {
    if (candidate.check_key() != 0) return StoreVerdict::Unreadable;
    // Keyed look-ups never read a page cut off at the end or altered in the
    // middle; the whole file is read here.
    if (candidate.quick_check() != 0) return StoreVerdict::Damaged;
    // Each table is asked with a condition its key answers at once.
    const bool tables =
        candidate.get_urec_count("FUi_Id=0") >= 0 && candidate.get_arec_count("FAi_Id=0") >= 0 &&
        candidate.get_trec_count("FTi_Id=0") >= 0 && candidate.get_sprec_count("FSPi_Id=0") >= 0 &&
        candidate.get_srec_count("FSi_Id=0") >= 0 && candidate.get_viprec_count("FVi_Id=0") >= 0;
    // The program's own tables (the journal, ...) where the file holds them; a
    // backup made before them lacks them and gains them when it is opened.
    if (!tables || candidate.check_extra_tables() != 0) return StoreVerdict::Incomplete;
    if (candidate.get_urec_count(nullptr) <= 0) return StoreVerdict::NoUsers;
    return StoreVerdict::Sound;
}

} // namespace

StoreVerdict checkStore(const QString& folder, const std::string& passphrase) {
    // A FIFO or a folder under the store's name is no store; it is not even opened.
    if (!QFileInfo(storeFile(folder)).isFile()) return StoreVerdict::Missing;
    const QString previous = QDir::currentPath();
    if (!QDir::setCurrent(folder)) return StoreVerdict::Missing;
    ReadOnlyCore candidate;
    // A file, also where the shop's store is on a server.
    candidate.set_server(std::string());
    candidate.set_passphrase(passphrase);
    const StoreVerdict verdict = candidate.open() == 0 ? checkOpen(candidate) : StoreVerdict::Unreadable;
    if (candidate.is_open()) candidate.close();
    QDir::setCurrent(previous);
    return verdict;
}

bool holdsStore(const QString& folder, const std::string& passphrase) {
    return checkStore(folder, passphrase) == StoreVerdict::Sound;
}

} // namespace vorn::ui::backup
