// The page of the tab 店铺设置 (shop settings): the shop's name, phone, address
// and receipt remark, and the commands of user accounts, backup and restore.
#pragma once

#include <QDialog>
#include <functional>

#include "backupjob.h"
#include "backupprompt.h"
#include "kit/dialog/dialogrunner.h"
#include "kit/page/page.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vorn::ui {

class CVornLabel;
class ShopPicture;

class CShopView : public CPage {
    Q_OBJECT
public:
    explicit CShopView(Shell& shell, QWidget* parent = nullptr);

    void initialUpdate() override;
    bool onCommand(int id) override;
    bool isCommandEnabled(int id) const override;

    QLineEdit* nameEdit() const { return nameEdit_; }
    QLineEdit* phoneEdit() const { return phoneEdit_; }
    QLineEdit* addrEdit() const { return addrEdit_; }
    QPlainTextEdit* remarkEdit() const { return remarkEdit_; }
    CVornLabel* statusLabel() const { return status_; }
    ShopPicture* picture() const { return picture_; }

    // How a modal dialog, a file dialog and the store's reopening are run (tests
    // answer them without a loop, and make the reopening fail).
    void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
    void setFilePrompt(BackupFilePrompt prompt) { askFile_ = std::move(prompt); }
    void setReopen(backup::Reopen reopen) { reopen_ = std::move(reopen); }

public slots:
    void save(); // "保存"

    void editUsers();    // 118 "系统用户"
    void quickBackup();  // 32777 "快速备份"
    void backupTo();     // 32778 "备份到指定位置"
    void quickRestore(); // 32779 "快速恢复"
    void restoreFrom();  // 32780 "从指定位置恢复"

    void editReceiptPrinter(); // 303 "小票打印机"
    void editShopKey();        // 304 "店铺密钥", the administrator's
    void editCounterRules();   // 420 "收银设置", administrators' and shop owners'
    void moveToServer();       // 379 "迁移到服务器", the administrator's, from the store file only

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class Copy { Backup, Restore };
    // Close the store, copy, reopen (under the busy window); the restore asks for
    // the key of a backup made under another one.
    void runBackup(const QString& folder, const QString& file);
    void runRestore(const QString& folder, const QString& file);
    // Reloads the type and supplier lists (and after a restore the form) and
    // reports; with the store lost the program closes.
    void finishCopy(Copy kind, backup::Outcome outcome, const backup::Details& details);
    // Fills the four edits from the store.
    void loadSettings();
    void placePicture();

    QLineEdit* nameEdit_ = nullptr;
    QLineEdit* phoneEdit_ = nullptr;
    QLineEdit* addrEdit_ = nullptr;
    QPlainTextEdit* remarkEdit_ = nullptr;
    CVornLabel* status_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    ShopPicture* picture_ = nullptr;

    DialogRunner runDialog_;
    BackupFilePrompt askFile_;
    backup::Reopen reopen_;
};

} // namespace vorn::ui
