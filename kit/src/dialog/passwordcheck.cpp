#include "kit/dialog/passwordcheck.h"

#include <algorithm>
#include <vector>

#include "kit/page/appstate.h"
#include "kit/text/clock.h"
#include "kit/text/gbk.h"
#include "kit/page/listloader.h"
#include "vorn/password.h"
#include "vorn/sqltext.h"

namespace vorn::ui {

int PasswordGuard::secondsToWait(const QString& name) const {
    const auto it = tries_.find(name);
    if (it == tries_.end() || it->second.failures < kFreeTries) return 0;
    const int64_t left = it->second.lastFailure + kWaitSeconds - now();
    // A clock set back (by the user or a test) never makes the wait longer.
    return static_cast<int>(std::clamp<int64_t>(left, 0, kWaitSeconds));
}

int PasswordGuard::failures(const QString& name) const {
    const auto it = tries_.find(name);
    return it == tries_.end() ? 0 : it->second.failures;
}

void PasswordGuard::noteFailure(const QString& name) {
    Tries& t = tries_[name];
    ++t.failures;
    t.lastFailure = now();
}

void PasswordGuard::noteSuccess(const QString& name) {
    tries_.erase(name);
}

PasswordGuard& passwordGuard(AppState& state) {
    return state.extension<PasswordGuard>();
}

std::string accountCondition(const std::string& nameGbk) {
    return "FUs_Name='" + vorn::sql_escape(nameGbk) + "'";
}

QString waitMessage(const QString& name, int seconds) {
    return QStringLiteral("用户\"%1\"密码错误次数过多，请%2秒后再试").arg(name).arg(seconds);
}

namespace {

void keepRefusal(vorn::Core& core, const std::string& nameGbk, const QString& place) {
    vorn::LoginFailRec rec;
    rec.FLFs_Name = nameGbk;
    rec.FLFt_Time = now();
    toGbk(place, rec.FLFs_Place);
    // A store opened read-only keeps no log; the refusal still counts.
    core.insert_login_fail(rec);
}

} // namespace

PasswordCheck checkPassword(AppState& state, const QString& name, const QString& password,
                            const QString& place) {
    PasswordCheck result;
    PasswordGuard& guard = passwordGuard(state);
    if (const int wait = guard.secondsToWait(name); wait > 0) {
        result.verdict = PasswordVerdict::Waiting;
        result.waitSeconds = wait;
        return result;
    }

    std::string nameGbk;
    std::string passwordGbk;
    std::vector<vorn::URec> accounts;
    // Text GBK cannot hold matches no stored account; a failed query counts as
    // a wrong password.
    const bool readable = toGbk(name, nameGbk) && toGbk(password, passwordGbk);
    if (readable) loadRows(state.core, accounts, accountCondition(nameGbk));

    auto match = std::find_if(accounts.begin(), accounts.end(), [&](const vorn::URec& u) {
        return vorn::verify_password(passwordGbk, u.FUs_Pas);
    });
    if (accounts.empty()) {
        // A name nobody has must take as long as a wrong password, or the time
        // of a refusal would tell a guesser which names exist.
        vorn::hash_password(passwordGbk);
    }
    if (match == accounts.end()) {
        guard.noteFailure(name);
        keepRefusal(state.core, nameGbk, place);
        return result;
    }

    vorn::URec user = *match;
    if (vorn::password_needs_rehash(user.FUs_Pas)) {
        std::string hashed = vorn::hash_password(passwordGbk);
        if (!hashed.empty()) {
            vorn::URec renewed = user;
            renewed.FUs_Pas = std::move(hashed);
            // A store opened read-only keeps the old text, which goes on working.
            if (state.core.update_urec(&renewed, 1) == 1) user = std::move(renewed);
        }
    }
    guard.noteSuccess(name);
    result.verdict = PasswordVerdict::Accepted;
    result.user = std::move(user);
    return result;
}

} // namespace vorn::ui
