// The shop key asked for at start: a store the owner encrypted with a key of
// their own ("店铺密钥" of 店铺设置) does not open under the program's, and the
// program asks for it once, before the login page.
#pragma once

#include <QString>
#include <functional>

namespace vorn {
class Core;
}

namespace vorn::ui {

// What the user answers: the key typed, or false to give up (the program then
// ends). `retry` says the previous key did not fit.
using ShopKeyAsk = std::function<bool(QString& typed, bool retry)>;

// The real question, a small dialog of its own (the main window is not shown yet).
bool askShopKeyAtStart(QString& typed, bool retry);
// Tests answer instead of the dialog; an empty function restores it.
void setShopKeyAskForTests(ShopKeyAsk ask);

// Called with the store just opened. When it answers under the key it was
// opened with, nothing is asked and 0 is returned. When it does not (SQLCipher
// cannot read it: another key), the shop key is asked for, three tries as at
// the login, each time closing the store and opening it again through
// `reopen` (which opens with core.passphrase(); 0 on success). Returns 0 once
// the store answers, else the failing SQLite code (the store may be left
// closed or open; the caller closes it).
int unlockStore(vorn::Core& core, const std::function<int()>& reopen);

} // namespace vorn::ui
