#include "frame/passphraseprompt.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <mutex>

#include "admin/admin.h"
#include "vorn/core.h"

namespace vorn::ui {

namespace {

// SQLite's SQLITE_NOTADB: what a file under another key answers.
constexpr int kNotADatabase = 26;
constexpr int kTries = 3;

std::mutex g_askMutex;
ShopKeyAsk g_ask;

ShopKeyAsk currentAsk() {
    const std::lock_guard<std::mutex> lock(g_askMutex);
    return g_ask ? g_ask : ShopKeyAsk(askShopKeyAtStart);
}

} // namespace

bool askShopKeyAtStart(QString& typed, bool retry) {
    QDialog dlg;
    dlg.setObjectName(QStringLiteral("startKeyDlg"));
    dlg.setWindowTitle(QStringLiteral("店铺密钥"));
    auto* text = new QLabel(retry ? QStringLiteral("店铺密钥不正确，请重新输入:")
                                  : QStringLiteral("本店的数据已用店铺密钥加密，请输入店铺密钥:"));
    text->setWordWrap(true);
    if (retry) text->setStyleSheet(QStringLiteral("color: #c00000;"));
    auto* edit = new QLineEdit;
    edit->setObjectName(QStringLiteral("startKey"));
    edit->setEchoMode(QLineEdit::Password);
    edit->setMinimumWidth(280);
    auto* ok = new QPushButton(QStringLiteral("确定"));
    ok->setDefault(true);
    auto* quit = new QPushButton(QStringLiteral("退出"));
    QObject::connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    QObject::connect(quit, &QPushButton::clicked, &dlg, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(quit);
    auto* layout = new QVBoxLayout(&dlg);
    layout->setSpacing(12);
    layout->addWidget(text);
    layout->addWidget(edit);
    layout->addLayout(buttons);
    if (dlg.exec() != QDialog::Accepted) return false;
    typed = edit->text();
    return true;
}

void setShopKeyAskForTests(ShopKeyAsk ask) {
    const std::lock_guard<std::mutex> lock(g_askMutex);
    g_ask = std::move(ask);
}

int unlockStore(vorn::Core& core, const std::function<int()>& reopen) {
    int rc = core.check_key();
    // Anything but another key (a file we may not read, an I/O error) is no
    // question of a key: the caller reports it.
    if (rc != kNotADatabase) return rc;
    const ShopKeyAsk ask = currentAsk();
    for (int attempt = 0; attempt < kTries; ++attempt) {
        QString typed;
        if (!ask(typed, attempt > 0)) break;
        if (core.is_open()) core.close();
        core.set_passphrase(shopKeyFromText(typed));
        rc = reopen();
        if (rc == 0) rc = core.check_key();
        if (rc == 0) return 0;
        if (rc != kNotADatabase) return rc;
    }
    // Given up: nothing is left that could pass for the shop's key.
    core.set_passphrase(std::string());
    return rc;
}

} // namespace vorn::ui
