// The changes the user accounts dialog collects before "保存" writes them in one
// transaction: new users (with temporary ids -1, -2, ... until the store gives
// them real ones), removed stored users, and new passwords of existing users.
// Passwords are held as typed while the dialog is open (a pending addition
// taken back gives its password back to the form) and become hashes only
// when "保存" seals them; the store never sees them as typed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "vorn/records.h"

namespace vorn::ui {

class UserChanges {
public:
    // A new user under the next temporary id, which is returned (and put in FUi_Id).
    int add(vorn::URec user);
    // Whether a pending addition has exactly this name (GBK bytes).
    bool isAdded(const std::string& name) const;
    // Takes a pending addition back (into out); false when none has the id.
    bool takeBack(int tempId, vorn::URec& out);
    // A stored user to remove; a new password pending for it is dropped.
    void remove(int id);
    // A new password for a user: a pending addition simply gets it; a stored user
    // (its record as stored) is written with it on save. False for an id that is
    // neither pending nor stored-and-kept.
    bool setPassword(int id, const std::string& password, const vorn::URec* stored);
    // The password that saving will write for a stored user, if one is pending.
    const std::string* newPassword(int id) const;

    const std::vector<vorn::URec>& additions() const { return additions_; }
    const std::vector<int>& removals() const { return removals_; }
    const std::vector<vorn::URec>& passwordChanges() const { return passwords_; }

    // Replaces every pending password (of additions and of password changes)
    // by hash(password). False, with nothing replaced, when a hash comes back
    // empty (the system gave no random bytes): nothing may then be written.
    using Hasher = std::function<std::string(const std::string&)>;
    bool sealPasswords(const Hasher& hash);

    // Additions, removals and password changes together: the count "保存" reports.
    int count() const;
    // The statements of all changes, additions first (in their order), then
    // removals (in theirs), then new passwords; no BEGIN or COMMIT: the caller
    // runs them in one transaction. Temporary ids are not written. Call
    // sealPasswords first.
    std::string statements() const;

private:
    std::vector<vorn::URec> additions_;
    std::vector<int> removals_;
    std::vector<vorn::URec> passwords_; // stored records with the new password
    int nextTempId_ = 0;
};

} // namespace vorn::ui
