#include "shopview.h"

#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "backupfiles.h"
#include "counterrulesdlg.h"
#include "dialogparts.h"
#include "kit/page/appstate.h"
#include "kit/page/busy.h"
#include "kit/text/gbk.h"
#include "kit/text/gbklimit.h"
#include "kit/dialog/msgbox.h"
#include "kit/page/shell.h"
#include "kit/dialog/storefailure.h"
#include "kit/dialog/vornlabel.h"
#include "movetoserverdlg.h"
#include "receiptprinterdlg.h"
#include "servermove.h"
#include "res/commandids.h"
#include "shopkeydlg.h"
#include "shoppicture.h"
#include "userinputdlg.h"
#include "vorn/transaction.h"
#include "vorn/widths.h"

namespace vorn::ui {

namespace {

struct CopyTexts {
    QString failed;
    QString fatal;
    QString done;
};

CopyTexts backupTexts() {
    return {QStringLiteral("数据备份失败"), QStringLiteral("数据备份导致程序异常，程序即将退出"),
            QStringLiteral("数据备份成功")};
}

CopyTexts restoreTexts() {
    return {QStringLiteral("数据恢复失败"), QStringLiteral("数据恢复导致程序异常，程序即将退出"),
            QStringLiteral("数据恢复成功")};
}

// The rows copied as the busy window's percentage.
backup::CopyProgress percentOf(BusyProgress& band) {
    return [&band](int done, int total) { band.set(total > 0 ? static_cast<int>(done * 100LL / total) : 0); };
}

} // namespace

CShopView::CShopView(Shell& shell, QWidget* parent)
    : CPage(shell, parent), runDialog_([](QDialog& d) { return d.exec(); }), askFile_(askBackupFile),
      reopen_(backup::reopenStore) {
    setObjectName(QStringLiteral("shopView"));
    setAttribute(Qt::WA_StyledBackground);

    // First, so that the form always lies above it where a small window makes them meet.
    picture_ = new ShopPicture(this);

    nameEdit_ = new QLineEdit;
    nameEdit_->setObjectName(QStringLiteral("shopName"));
    phoneEdit_ = new QLineEdit;
    phoneEdit_->setObjectName(QStringLiteral("shopPhone"));
    addrEdit_ = new QLineEdit;
    addrEdit_->setObjectName(QStringLiteral("shopAddr"));
    remarkEdit_ = new QPlainTextEdit;
    remarkEdit_->setObjectName(QStringLiteral("shopRemark"));
    remarkEdit_->setTabChangesFocus(true);
    remarkEdit_->setFixedHeight(96);

    auto* group = new QGroupBox;
    group->setObjectName(QStringLiteral("shopGroup"));
    group->setStyleSheet(QStringLiteral(
        "QGroupBox#shopGroup { background: #f7faff; border: 1px solid #a6bede; border-radius: 3px; }"));
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(18, 18, 18, 14);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);
    grid->setColumnMinimumWidth(1, 380);
    grid->addWidget(fieldLabel(QStringLiteral("店铺名称:")), 0, 0);
    grid->addWidget(nameEdit_, 0, 1);
    grid->addWidget(fieldLabel(QStringLiteral("联系电话:")), 1, 0);
    grid->addWidget(phoneEdit_, 1, 1);
    grid->addWidget(fieldLabel(QStringLiteral("地址:")), 2, 0);
    grid->addWidget(addrEdit_, 2, 1);
    QLabel* remarkLabel = fieldLabel(QStringLiteral("备注信息:"));
    remarkLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(remarkLabel, 3, 0);
    grid->addWidget(remarkEdit_, 3, 1);
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line, 4, 0, 1, 2);
    auto* note = new QLabel(QStringLiteral("注意:店铺名称将在\"销售\"页面显示"));
    note->setObjectName(QStringLiteral("shopNote"));
    grid->addWidget(note, 5, 0, 1, 2);

    status_ = new CVornLabel;
    status_->setObjectName(QStringLiteral("shopStatus"));
    status_->setTextColor(QColor(255, 0, 0));
    status_->setDrawBorder(false);
    status_->setFillBackground(false);
    saveButton_ = new QPushButton(QStringLiteral("保存"));
    saveButton_->setObjectName(QStringLiteral("save"));
    connect(saveButton_, &QPushButton::clicked, this, &CShopView::save);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(saveButton_);

    auto* column = new QVBoxLayout;
    column->addWidget(group);
    column->addLayout(bottom);
    column->addStretch();

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(28, 24, 28, 24);
    outer->addLayout(column);
    outer->addStretch();

    for (QLineEdit* e : {nameEdit_, phoneEdit_, addrEdit_})
        limitGbk(e, width::room(width::kAdditionValue), statusNotice(shell));
    limitGbk(remarkEdit_, width::room(width::kAdditionValue), statusNotice(shell));
}

void CShopView::initialUpdate() {
    loadSettings();
    status_->setText(QString());
}

void CShopView::loadSettings() {
    vorn::Core& core = shell().state().core;
    nameEdit_->setText(fromGbk(core.get_shop_name()));
    phoneEdit_->setText(fromGbk(core.get_shop_phone()));
    addrEdit_->setText(fromGbk(core.get_shop_addr()));
    remarkEdit_->setPlainText(fromGbk(core.get_shop_pa()));
}

void CShopView::save() {
    std::string name;
    std::string phone;
    std::string addr;
    std::string remark;
    if (!toGbk(nameEdit_->text(), name) || !toGbk(phoneEdit_->text(), phone) ||
        !toGbk(addrEdit_->text(), addr) || !toGbk(remarkEdit_->toPlainText(), remark)) {
        shell().reportFailure(unrepresentableTextMessage());
        return;
    }
    vorn::Core& core = shell().state().core;
    // The four settings are one form: stored together or not at all, so a failure
    // never leaves a receipt head half new and half old.
    bool written = false;
    {
        vorn::Transaction t(core);
        written = core.set_shop_name(name.c_str()) && core.set_shop_phone(phone.c_str()) &&
                  core.set_shop_addr(addr.c_str()) && core.set_shop_pa(remark.c_str()) && t.commit() == 0;
    }
    if (!written) {
        // The form keeps what was typed, so a second try needs no retyping.
        const QString failed =
            withStoreCause(QStringLiteral("未知异常导致\"店铺信息\"设置失败，放弃该次\"设置\"操作"));
        status_->setText(failed);
        shell().reportFailure(failed);
        return;
    }
    const QString done = QStringLiteral("店铺信息设置成功");
    status_->setText(done);
    shell().showStatus(done);
}

bool CShopView::onCommand(int id) {
    switch (id) {
    case cmd::SystemUsers:
        editUsers();
        return true;
    case cmd::QuickBackup:
        quickBackup();
        return true;
    case cmd::BackupTo:
        backupTo();
        return true;
    case cmd::QuickRestore:
        quickRestore();
        return true;
    case cmd::RestoreFrom:
        restoreFrom();
        return true;
    case cmd::ReceiptPrinter:
        editReceiptPrinter();
        return true;
    case cmd::ShopKey:
        editShopKey();
        return true;
    case cmd::CounterRules:
        editCounterRules();
        return true;
    case cmd::MoveToServer:
        moveToServer();
        return true;
    case cmd::Backup:
    case cmd::Restore:
        return true; // the drop-down menus are the frame's
    default:
        return false;
    }
}

bool CShopView::isCommandEnabled(int id) const {
    switch (id) {
    case cmd::ReceiptPrinter:
        return true; // the printer may be chosen whenever the shop page is open
    case cmd::ShopKey:
        // Whoever holds the key holds the shop's data: the administrator alone
        // (role 0) chooses it.
        return shell().state().currentUser.FUi_Auth == 0 && !shell().state().currentUser.FUs_Name.empty();
    case cmd::MoveToServer:
        // Where the shop's data lives is the administrator's choice; a store
        // already on a server has nowhere to move.
        return shell().state().currentUser.FUi_Auth == 0 && !shell().state().currentUser.FUs_Name.empty() &&
               !shell().state().core.on_server();
    case cmd::CounterRules: {
        // A salesperson's limits are not theirs to set.
        const vorn::URec& u = shell().state().currentUser;
        return (u.FUi_Auth == 0 || u.FUi_Auth == 1) && !u.FUs_Name.empty();
    }
    default:
        return CPage::isCommandEnabled(id);
    }
}

// ---- Receipt printer -----------------------------------------------------------

void CShopView::editReceiptPrinter() {
    CReceiptPrinterDlg dlg(shell(), shell().window());
    if (runDialog_(dlg) == QDialog::Accepted)
        shell().showStatus(QStringLiteral("小票打印机设置成功"));
    else
        shell().showStatus(QStringLiteral("放弃该次\"小票打印机\"设置操作"));
}

// ---- Shop key --------------------------------------------------------------------

void CShopView::editShopKey() {
    if (!isCommandEnabled(cmd::ShopKey)) return;
    vorn::Core& core = shell().state().core;
    const std::string before = core.passphrase();
    CShopKeyDlg dlg(shell(), before, shell().window());
    if (runDialog_(dlg) != QDialog::Accepted) {
        shell().showStatus(QStringLiteral("放弃该次\"店铺密钥\"设置操作"));
        return;
    }
    const std::string key = dlg.chosenKey();
    if (key == before) {
        shell().showStatus(QStringLiteral("未修改任何\"店铺密钥\""));
        return;
    }
    // Every page of the file is rewritten under the new key, in one transaction
    // of SQLCipher's own: on a large store this takes a while. SQLite reports no
    // progress of it outside the store, so the window shows none.
    int rc = 0;
    runBusy(
        shell().window(), [&] { rc = core.rekey(key) != 0 ? -1 : core.check_key(); },
        QStringLiteral("正在用新的店铺密钥重新加密全部数据，数据较多时需要一些时间"));
    if (rc != 0) {
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致\"店铺密钥\"设置失败，放弃该次\"设置\"操作")));
        return;
    }
    shell().showStatus(key.empty()
                           ? QStringLiteral("成功取消\"店铺密钥\"，店铺数据恢复使用程序自带的密钥")
                           : QStringLiteral("成功设置\"店铺密钥\"，以后每次启动程序时须先输入该密钥"));
}

// ---- Counter rules -------------------------------------------------------------

void CShopView::editCounterRules() {
    if (!isCommandEnabled(cmd::CounterRules)) return;
    vorn::ShopRules rules;
    if (vorn::Shifts(shell().state().core).rules(rules) != 1) {
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致\"收银设置\"读取失败，放弃该次\"收银设置\"操作")));
        return;
    }
    CCounterRulesDlg dlg(shell(), rules, shell().window());
    if (runDialog_(dlg) != QDialog::Accepted) {
        shell().showStatus(QStringLiteral("放弃该次\"收银设置\"操作"));
        return;
    }
    switch (dlg.outcome()) {
    case CCounterRulesDlg::Outcome::Saved:
        shell().showStatus(QStringLiteral("成功保存\"收银设置\"，对下一笔销售生效"));
        break;
    case CCounterRulesDlg::Outcome::Unchanged:
    case CCounterRulesDlg::Outcome::None:
        shell().showStatus(QStringLiteral("未修改任何\"收银设置\""));
        break;
    case CCounterRulesDlg::Outcome::Failed:
        shell().reportFailure(
            withStoreCause(QStringLiteral("未知异常导致\"收银设置\"保存失败，放弃该次\"保存\"操作")));
        break;
    }
}

// ---- Moving to a server -------------------------------------------------------

void CShopView::moveToServer() {
    if (!isCommandEnabled(cmd::MoveToServer)) return;
    CMoveToServerDlg dlg(shell().window());
    if (runDialog_(dlg) != QDialog::Accepted) {
        shell().showStatus(QStringLiteral("放弃该次\"迁移到服务器\"操作"));
        return;
    }
    const QString conninfo = dlg.conninfo();
    // vorn.ini lies in the data folder, the current directory.
    const QString ini = QDir::current().filePath(QStringLiteral("vorn.ini"));
    vorn::Core& core = shell().state().core;
    server::MoveReport report;
    runBusyWithProgress(shell().window(), [&](BusyProgress& band) {
        report = server::moveToServer(core, conninfo, ini, percentOf(band));
    });
    const QString failed = QStringLiteral("未知异常导致\"迁移到服务器\"失败，放弃该次\"迁移到服务器\"操作");
    switch (report.result) {
    case server::MoveResult::Done:
        shell().showStatus(QStringLiteral("成功将全部数据迁移到服务器，须重新启动程序才会使用服务器上的数据"));
        break;
    case server::MoveResult::CannotConnect:
        shell().reportFailure(withCause(QStringLiteral("未知异常导致连接服务器失败，放弃该次\"迁移到服务器\"操作"),
                                        fromGbk(report.message)));
        break;
    case server::MoveResult::HoldsShop:
        shell().reportFailure(QStringLiteral("未迁移任何数据：服务器上的数据库中已有店铺数据，请指定一个空的数据库"));
        break;
    case server::MoveResult::CopyFailed:
        shell().reportFailure(report.message.empty() ? failed : withCause(failed, fromGbk(report.message)));
        break;
    case server::MoveResult::NotWritten:
        shell().reportFailure(withCause(failed, QStringLiteral("数据已复制到服务器，但vorn.ini无法写入")));
        break;
    }
}

// ---- User accounts -------------------------------------------------------------

void CShopView::editUsers() {
    CUserInputDlg dlg(shell(), shell().window());
    const int closed = runDialog_(dlg);
    const int result = dlg.changeResult();
    if (closed != QDialog::Accepted)
        shell().showStatus(QStringLiteral("放弃该次\"用户\"修改操作"));
    else if (result > 0)
        shell().showStatus(QStringLiteral("成功修改%1个\"用户\"").arg(result));
    else if (result == 0)
        shell().showStatus(QStringLiteral("未修改任何\"用户\""));
    else
        shell().reportFailure(QStringLiteral("未知异常导致\"用户\"修改失败，放弃该次\"修改\"操作"));
}

// ---- Backup and restore --------------------------------------------------------

void CShopView::quickBackup() {
    if (!askYesNo(shell().window(),
                  QStringLiteral("你的下一步操作将备份当前所有数据，并覆盖上次\"快速备份\"的数据，"
                                 "是否要继续？")))
        return;
    const QString folder = QDir::currentPath();
    if (folder.isEmpty()) {
        shell().reportFailure(backupTexts().failed);
        return;
    }
    runBackup(folder, backup::quickBackupFile(folder));
}

void CShopView::backupTo() {
    const QString folder = QDir::currentPath();
    if (folder.isEmpty()) {
        shell().reportFailure(backupTexts().failed);
        return;
    }
    const QString file = askFile_(shell().window(), BackupFileDialog::Save, proposedBackupName());
    // A dialog may have moved the current directory; the store lives in this one.
    QDir::setCurrent(folder);
    if (file.isEmpty()) return;
    runBackup(folder, file);
}

void CShopView::quickRestore() {
    if (!askYesNo(shell().window(),
                  QStringLiteral("你的下一步操作将恢复上次\"快速备份\"的数据，并覆盖当前所有数据，"
                                 "是否要继续？")))
        return;
    const QString folder = QDir::currentPath();
    if (folder.isEmpty()) {
        shell().reportFailure(restoreTexts().failed);
        return;
    }
    runRestore(folder, backup::quickBackupFile(folder));
}

void CShopView::restoreFrom() {
    const QString folder = QDir::currentPath();
    if (folder.isEmpty()) {
        shell().reportFailure(restoreTexts().failed);
        return;
    }
    const QString file = askFile_(shell().window(), BackupFileDialog::Open, QString());
    QDir::setCurrent(folder);
    if (file.isEmpty()) return;
    if (!askYesNo(shell().window(),
                  QStringLiteral("你的下一步操作将恢复指定位置的数据，并覆盖当前所有数据，是否要继续？")))
        return;
    runRestore(folder, file);
}

void CShopView::runBackup(const QString& folder, const QString& file) {
    vorn::Core& core = shell().state().core;
    const backup::Reopen reopen = reopen_;
    backup::Outcome outcome = backup::Outcome::Failed;
    backup::Details details;
    if (core.on_server())
        // The shop is copied row by row out of the server into a new file.
        runBusyWithProgress(shell().window(), [&](BusyProgress& band) {
            outcome = backup::backupServer(core, folder, file, percentOf(band), &details);
        });
    else
        runBusy(shell().window(), [&] { outcome = backup::backupStore(core, folder, file, reopen, &details); });
    finishCopy(Copy::Backup, outcome, details);
}

void CShopView::runRestore(const QString& folder, const QString& file) {
    vorn::Core& core = shell().state().core;
    backup::Restore restore(core, folder, file);
    backup::Details details;
    backup::StoreVerdict verdict = backup::StoreVerdict::Missing;
    runBusy(shell().window(), [&] { verdict = restore.stage(&details); });
    // A backup of the shop made under another shop key (set or changed since):
    // its own key is asked for, three tries as at the login.
    constexpr int kKeyTries = 3;
    for (int tries = 0;
         verdict == backup::StoreVerdict::Unreadable && restore.mayBeKeyed() && tries < kKeyTries; ++tries) {
        CBackupKeyDlg ask(tries > 0, shell().window());
        if (runDialog_(ask) != QDialog::Accepted) {
            shell().showStatus(QStringLiteral("放弃该次\"数据恢复\"操作"));
            return;
        }
        const std::string key = ask.typedKey();
        runBusy(shell().window(), [&] { verdict = restore.tryPassphrase(key); });
    }
    backup::Outcome outcome = backup::Outcome::Failed;
    if (verdict == backup::StoreVerdict::Sound) {
        const backup::Reopen reopen = reopen_;
        if (core.on_server())
            runBusyWithProgress(shell().window(), [&](BusyProgress& band) {
                restore.setProgress(percentOf(band));
                outcome = restore.commit(reopen);
            });
        else
            runBusy(shell().window(), [&] { outcome = restore.commit(reopen); });
        details.problem = restore.problem();
    }
    finishCopy(Copy::Restore, outcome, details);
}

void CShopView::finishCopy(Copy kind, backup::Outcome outcome, const backup::Details& details) {
    const CopyTexts texts = kind == Copy::Backup ? backupTexts() : restoreTexts();
    AppState& st = shell().state();
    if (outcome == backup::Outcome::Fatal) {
        // Without its store the program cannot go on. The window's close ends it; the
        // page itself goes only once control has left it.
        shell().reportFailure(texts.fatal);
        shell().window()->close();
        st.loadTypesAndSuppliers();
        return;
    }
    // A restored store brings its own types and suppliers, and its own shop: the
    // form shows the restored values, or "保存" would write the old ones over
    // them. The other lists show what they held until they are searched again.
    st.loadTypesAndSuppliers();
    if (kind == Copy::Restore && outcome == backup::Outcome::Done) loadSettings();
    if (outcome == backup::Outcome::Done)
        shell().showStatus(texts.done);
    else if (details.diskFull)
        shell().reportFailure(withCause(texts.failed, QStringLiteral("磁盘空间不足")));
    else if (!details.problem.empty())
        // A copy out of or into a server names the table it failed on.
        shell().reportFailure(withCause(texts.failed, fromGbk(details.problem)));
    else
        shell().reportFailure(texts.failed);
}

// ---- Picture -------------------------------------------------------------------

void CShopView::resizeEvent(QResizeEvent* event) {
    CPage::resizeEvent(event);
    placePicture();
}

void CShopView::placePicture() {
    // The picture keeps its size; its bottom-right corner is the page's.
    picture_->move(width() - picture_->width(), height() - picture_->height());
    picture_->update();
}

} // namespace vorn::ui
