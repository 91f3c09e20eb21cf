// The one check of a typed password against the user accounts, for every
// dialog that asks for one: the login page, the user switch, and a manager's
// approval at the counter.
//
// Accounts are looked up by their exact name; the password is checked in code
// against the stored hash (vorn/password.h) and never becomes part of any SQL.
// A password an older store kept as typed is rewritten as a hash the moment it
// is typed correctly.
//
// Guessing is limited per user name for the whole run of the program (one
// guard per AppState): closing a dialog forgives nothing. From the third
// failure on, each failure makes the name wait 30 seconds before its next try;
// during the wait no password is checked at all. Every refusal is kept in the
// store with its time and place, for the owner to see.
#pragma once

#include <QString>
#include <cstdint>
#include <map>
#include <string>

#include "vorn/records.h"

namespace vorn::ui {

struct AppState;

// The failures of each name, counted on kit's clock (kit/text/clock.h).
class PasswordGuard {
public:
    static constexpr int kFreeTries = 3;
    static constexpr int kWaitSeconds = 30;

    // Seconds the name must still wait before its password is checked again;
    // 0 when it may try now.
    int secondsToWait(const QString& name) const;
    // Failures of the name since its last success.
    int failures(const QString& name) const;
    void noteFailure(const QString& name);
    // The right password for the name: its count starts again.
    void noteSuccess(const QString& name);

private:
    struct Tries {
        int failures = 0;
        int64_t lastFailure = 0;
    };
    std::map<QString, Tries> tries_;
};

enum class PasswordVerdict {
    Accepted, // the password is the account's
    Refused,  // wrong name or password (also: text GBK cannot hold, a failed query)
    Waiting,  // the name is in its wait; nothing was checked
};

struct PasswordCheck {
    PasswordVerdict verdict = PasswordVerdict::Refused;
    vorn::URec user;     // Accepted: the account as stored now (with its hash)
    int waitSeconds = 0; // Waiting: seconds left
};

// Checks the password for the account `name` (both exactly as typed). `place`
// names the asking dialog in the log of refusals ("用户登录", "用户切换", ...).
// Of several accounts of that name, the first whose password matches counts.
// Takes about one hash's time (50 ms) whether or not the name exists.
PasswordCheck checkPassword(AppState& state, const QString& name, const QString& password,
                            const QString& place);

// The guard of this run.
PasswordGuard& passwordGuard(AppState& state);

// The condition that finds the accounts of a name (GBK): the name as data
// between quotes, and nothing else.
std::string accountCondition(const std::string& nameGbk);

// What to tell a name that must wait: "用户"%1"密码错误次数过多，请%2秒后再试".
QString waitMessage(const QString& name, int seconds);

} // namespace vorn::ui
