// The shop key: the owner's own passphrase the store is encrypted with instead
// of the program's key. "店铺密钥" of 店铺设置 sets, changes or removes it;
// a restore asks for the key of a backup made under another one.
#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace vorn::ui {

class Shell;

// Characters of a shop key (not bytes: the key is never stored as text).
constexpr int kShopKeyMinChars = 8;
constexpr int kShopKeyMaxChars = 64;

// The dialog "店铺密钥". With a key set, the present key must be typed first;
// then either a new key, twice, or "取消店铺密钥". Accepted only when the form
// is sound; problems are reported through the shell and leave the dialog open.
class CShopKeyDlg : public QDialog {
    Q_OBJECT
public:
    // current: the key the store has now (empty: the program's own).
    CShopKeyDlg(Shell& shell, const std::string& current, QWidget* parent = nullptr);

    // After acceptance: the key to re-encrypt with (empty: the program's own).
    const std::string& chosenKey() const { return chosen_; }

    QLineEdit* currentEdit() const { return currentEdit_; } // null without a key set
    QLineEdit* newEdit() const { return newEdit_; }
    QLineEdit* repeatEdit() const { return repeatEdit_; }
    QCheckBox* removeCheck() const { return remove_; } // null without a key set
    QLabel* warningLabel() const { return warning_; }

public slots:
    void confirm(); // "确定" or Enter

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refuse(const QString& problem, QLineEdit* field);
    void updateEnabled();

    Shell& shell_;
    std::string current_;
    std::string chosen_;
    QLineEdit* currentEdit_ = nullptr;
    QLineEdit* newEdit_ = nullptr;
    QLineEdit* repeatEdit_ = nullptr;
    QCheckBox* remove_ = nullptr;
    QLabel* warning_ = nullptr;
};

// Asks for the key of a backup that opens neither under the shop's key nor
// under the program's own. `retry` says the previous key did not fit either.
class CBackupKeyDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBackupKeyDlg(bool retry, QWidget* parent = nullptr);

    QLineEdit* keyEdit() const { return edit_; }
    std::string typedKey() const;

public slots:
    void confirm(); // "确定" or Enter: accepted once something is typed

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* edit_ = nullptr;
};

} // namespace vorn::ui
