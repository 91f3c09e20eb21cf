// What the login panel and the switch dialog need from the main window.
#pragma once

#include <QString>

namespace vorn::ui {

struct AppState;

class LoginHost {
public:
    virtual ~LoginHost() = default;
    // 1 logged in, 0 wrong name or password, -1 wrong for the third time in a row
    // (the caller ends the program). Reports its outcome itself.
    virtual int login(const QString& name, const QString& password) = 0;
    // After a login from the login page: open the sales counter.
    virtual void openSalesCounter() = 0;
    // Closes the main window, which ends the program.
    virtual void endProgram() = 0;
    virtual void showStatus(const QString& text) = 0;
    // The store and the users list the inputs are filled from.
    virtual AppState& state() = 0;
};

} // namespace vorn::ui
