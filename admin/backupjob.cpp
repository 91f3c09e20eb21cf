#include "backupjob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "vorn/core.h"
#include "vorn/storecopy.h"

namespace vorn::ui::backup {

namespace {

// The file dialog or the store check may have moved the current directory; the
// store must find its own file again.
Outcome reopenIn(vorn::Core& core, const QString& folder, const Reopen& reopen, Outcome ifOpen) {
    QDir::setCurrent(folder);
    if (core.is_open()) core.close();
    return reopen(core) ? ifOpen : Outcome::Fatal;
}

void note(Details* details, const CopyFailure& why) {
    if (details && why.diskFull()) details->diskFull = true;
}

void note(Details* details, StoreVerdict verdict) {
    if (details) details->verdict = verdict;
}

// Runs fn on a store file in folder (created there when missing), opened as a
// file whatever engine the shop is on; the current directory is back at home
// afterwards. fn's result, or the open's code.
int withStoreFile(const QString& folder, const QString& home, const std::string& passphrase,
                  const std::function<int(vorn::Core&)>& fn) {
    vorn::Core file;
    file.set_server(std::string());
    file.set_passphrase(passphrase);
    QDir::setCurrent(folder);
    int rc = file.open();
    QDir::setCurrent(home);
    if (rc == 0) rc = fn(file);
    if (file.is_open()) file.close();
    return rc;
}

} // namespace

bool reopenStore(vorn::Core& core) {
    bool ok = core.open() == 0;
    ok = ok && core.ensure_indexes() == 0;
    ok = ok && core.get_urec_count(nullptr) >= 0 && core.get_arec_count(nullptr) >= 0;
    if (!ok && core.is_open()) core.close();
    return ok;
}

Outcome backupStore(vorn::Core& core, const QString& folder, const QString& target, const Reopen& reopen,
                    Details* details) {
    // A store that would not close cleanly may still have a write under way: copying
    // it then could give a torn backup, so nothing is copied.
    if (core.close() != 0) return reopenIn(core, folder, reopen, Outcome::Failed);
    bool done = false;
    {
        // Written and checked beside the target, then renamed over it.
        StagedStore staged(QFileInfo(target).absolutePath(), folder, StagedStore::Purpose::Backup);
        CopyFailure why;
        if (staged.stage(storeFile(folder), &why)) {
            const StoreVerdict verdict = checkStore(staged.folder(), core.passphrase());
            note(details, verdict);
            done = verdict == StoreVerdict::Sound && staged.moveOver(target);
        } else {
            note(details, why);
        }
    }
    return reopenIn(core, folder, reopen, done ? Outcome::Done : Outcome::Failed);
}

Outcome backupServer(vorn::Core& core, const QString& folder, const QString& target, const CopyProgress& progress,
                     Details* details) {
    StagedStore staged(QFileInfo(target).absolutePath(), folder, StagedStore::Purpose::Backup);
    CopyFailure why;
    if (!staged.prepare(&why)) {
        note(details, why);
        QDir::setCurrent(folder);
        return Outcome::Failed;
    }
    std::string problem;
    const int rc = withStoreFile(staged.folder(), folder, core.passphrase(),
                                 [&](vorn::Core& file) { return vorn::copy_store(core, file, progress, problem); });
    if (details) details->problem = problem;
    if (rc != 0) {
        if (details && vorn::Core::is_disk_full(rc)) details->diskFull = true;
        return Outcome::Failed;
    }
    const StoreVerdict verdict = checkStore(staged.folder(), core.passphrase());
    QDir::setCurrent(folder);
    note(details, verdict);
    return verdict == StoreVerdict::Sound && staged.moveOver(target) ? Outcome::Done : Outcome::Failed;
}

// ---- Restore -------------------------------------------------------------------

Restore::Restore(vorn::Core& core, const QString& folder, const QString& source)
    : core_(core), folder_(folder), source_(source) {}

Restore::~Restore() = default;

StoreVerdict Restore::stage(Details* details) {
    verdict_ = StoreVerdict::Missing;
    staged_.reset();
    // Where the store's name is a symbolic link, the linked file is replaced: the
    // staging folder, the rollback copy and the rename all live beside it.
    target_ = resolvedStoreFile(folder_);
    if (target_.isEmpty()) {
        note(details, verdict_);
        return verdict_;
    }
    staged_ = std::make_unique<StagedStore>(QFileInfo(target_).absolutePath(), folder_);
    CopyFailure why;
    const bool copied = staged_->stage(source_, &why);
    QDir::setCurrent(folder_);
    if (!copied) {
        note(details, why);
        note(details, verdict_);
        return verdict_;
    }
    passphrase_ = core_.passphrase();
    verdict_ = checkStore(staged_->folder(), passphrase_);
    // A backup made before the shop chose its key, or after it was removed.
    if (verdict_ == StoreVerdict::Unreadable && !passphrase_.empty()) {
        if (checkStore(staged_->folder(), std::string()) != StoreVerdict::Unreadable) {
            passphrase_.clear();
            verdict_ = checkStore(staged_->folder(), passphrase_);
        }
    }
    QDir::setCurrent(folder_);
    note(details, verdict_);
    return verdict_;
}

StoreVerdict Restore::tryPassphrase(const std::string& passphrase) {
    if (!staged_ || staged_->folder().isEmpty()) return verdict_;
    const StoreVerdict verdict = checkStore(staged_->folder(), passphrase);
    QDir::setCurrent(folder_);
    if (verdict != StoreVerdict::Unreadable) {
        passphrase_ = passphrase;
        verdict_ = verdict;
    }
    return verdict;
}

bool Restore::mayBeKeyed() const {
    if (verdict_ != StoreVerdict::Unreadable || !staged_ || staged_->folder().isEmpty()) return false;
    QFile f(staged_->file());
    // Every page size SQLite allows is a multiple of 512.
    if (f.size() <= 0 || f.size() % 512 != 0 || !f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(1024);
    // An unencrypted SQLite file begins with this; an encrypted one with salt.
    if (head.startsWith(QByteArray("SQLite format 3", 16))) return false;
    // Encrypted pages look like noise: nearly every byte value turns up in a
    // kilobyte of them (251 on average), while text, zeros or a pattern show few.
    bool seen[256] = {};
    int distinct = 0;
    for (const char c : head) {
        bool& s = seen[static_cast<unsigned char>(c)];
        if (!s) ++distinct;
        s = true;
    }
    return head.size() == 1024 && distinct >= 200;
}

Outcome Restore::commit(const Reopen& reopen) {
    if (verdict_ != StoreVerdict::Sound || !staged_) return Outcome::Failed;
    if (core_.on_server()) return commitToServer();
    if (core_.close() != 0) return reopenIn(core_, folder_, reopen, Outcome::Failed);
    RollbackCopy previous;
    if (!previous.keep(target_) || !staged_->moveOver(target_)) {
        previous.discard();
        return reopenIn(core_, folder_, reopen, Outcome::Failed);
    }
    const std::string oldKey = core_.passphrase();
    core_.set_passphrase(passphrase_);
    QDir::setCurrent(folder_);
    // The restored store must answer and read back whole where it now lies before
    // the shop's old file goes.
    if (reopen(core_) && core_.quick_check() == 0) {
        previous.discard();
        return Outcome::Done;
    }
    // The restored store does not answer: the shop's own file and key go back.
    if (core_.is_open()) core_.close();
    core_.set_passphrase(oldKey);
    if (!previous.putBack()) return Outcome::Fatal;
    return reopenIn(core_, folder_, reopen, Outcome::Failed);
}

Outcome Restore::commitToServer() {
    problem_.clear();
    // The candidate is our private copy: opening it writable lets a backup
    // made before a table gain it, as any restored file does at its first open.
    const int rc = withStoreFile(staged_->folder(), folder_, passphrase_, [&](vorn::Core& file) {
        return vorn::copy_store(file, core_, progress_, problem_);
    });
    return rc == 0 ? Outcome::Done : Outcome::Failed;
}

Outcome restoreStore(vorn::Core& core, const QString& folder, const QString& source, const Reopen& reopen,
                     Details* details) {
    Restore restore(core, folder, source);
    if (restore.stage(details) != StoreVerdict::Sound) return Outcome::Failed;
    return restore.commit(reopen);
}

} // namespace vorn::ui::backup
