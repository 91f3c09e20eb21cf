#include "userchanges.h"

#include <algorithm>

namespace vorn::ui {

namespace {

void append(std::string& sql, const vorn::URec& r, int (vorn::URec::*make)(char*) const) {
    std::string buf(r.sql_capacity(), '\0');
    const int n = (r.*make)(buf.data());
    sql.append(buf.data(), static_cast<size_t>(n));
}

} // namespace

int UserChanges::add(vorn::URec user) {
    user.FUi_Id = --nextTempId_;
    additions_.push_back(std::move(user));
    return nextTempId_;
}

bool UserChanges::isAdded(const std::string& name) const {
    return std::any_of(additions_.begin(), additions_.end(),
                       [&](const vorn::URec& u) { return u.FUs_Name == name; });
}

bool UserChanges::takeBack(int tempId, vorn::URec& out) {
    auto it = std::find_if(additions_.begin(), additions_.end(),
                           [&](const vorn::URec& u) { return u.FUi_Id == tempId; });
    if (it == additions_.end()) return false;
    out = *it;
    additions_.erase(it);
    return true;
}

void UserChanges::remove(int id) {
    passwords_.erase(std::remove_if(passwords_.begin(), passwords_.end(),
                                    [&](const vorn::URec& u) { return u.FUi_Id == id; }),
                     passwords_.end());
    if (std::find(removals_.begin(), removals_.end(), id) == removals_.end()) removals_.push_back(id);
}

bool UserChanges::setPassword(int id, const std::string& password, const vorn::URec* stored) {
    if (id < 0) {
        for (vorn::URec& u : additions_)
            if (u.FUi_Id == id) {
                u.FUs_Pas = password;
                return true;
            }
        return false;
    }
    if (!stored || stored->FUi_Id != id) return false;
    if (std::find(removals_.begin(), removals_.end(), id) != removals_.end()) return false;
    for (vorn::URec& u : passwords_)
        if (u.FUi_Id == id) {
            u.FUs_Pas = password;
            return true;
        }
    vorn::URec changed = *stored;
    changed.FUs_Pas = password;
    passwords_.push_back(std::move(changed));
    return true;
}

const std::string* UserChanges::newPassword(int id) const {
    for (const vorn::URec& u : passwords_)
        if (u.FUi_Id == id) return &u.FUs_Pas;
    return nullptr;
}

bool UserChanges::sealPasswords(const Hasher& hash) {
    std::vector<std::string> added;
    std::vector<std::string> changed;
    for (const vorn::URec& u : additions_)
        added.push_back(hash(u.FUs_Pas));
    for (const vorn::URec& u : passwords_)
        changed.push_back(hash(u.FUs_Pas));
    auto empty = [](const std::string& h) { return h.empty(); };
    if (std::any_of(added.begin(), added.end(), empty) || std::any_of(changed.begin(), changed.end(), empty))
        return false;
    for (size_t i = 0; i < added.size(); ++i)
        additions_[i].FUs_Pas = std::move(added[i]);
    for (size_t i = 0; i < changed.size(); ++i)
        passwords_[i].FUs_Pas = std::move(changed[i]);
    return true;
}

int UserChanges::count() const {
    return static_cast<int>(additions_.size() + removals_.size() + passwords_.size());
}

std::string UserChanges::statements() const {
    std::string sql;
    for (const vorn::URec& u : additions_)
        append(sql, u, &vorn::URec::make_insert_sql);
    for (int id : removals_) {
        vorn::URec gone;
        gone.FUi_Id = id;
        append(sql, gone, &vorn::URec::make_delete_sql);
    }
    // The whole stored record is written back, so the name and authority stay as
    // they are and only the password changes.
    for (const vorn::URec& u : passwords_)
        append(sql, u, &vorn::URec::make_update_sql);
    return sql;
}

} // namespace vorn::ui
