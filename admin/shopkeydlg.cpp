#include "shopkeydlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "admin/admin.h"
#include "dialogparts.h"
#include "kit/page/shell.h"

namespace vorn::ui {

std::string shopKeyFromText(const QString& typed) {
    return typed.toUtf8().toStdString();
}

namespace {

QLineEdit* makeKeyEdit(const char* objectName) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(objectName));
    e->setEchoMode(QLineEdit::Password);
    e->setMaxLength(kShopKeyMaxChars);
    e->setMinimumWidth(260);
    return e;
}

// Characters as a person counts them (a Chinese character or an emoji is one).
int keyChars(const QString& text) {
    return static_cast<int>(text.toUcs4().size());
}

} // namespace

// ---- CShopKeyDlg -----------------------------------------------------------------

CShopKeyDlg::CShopKeyDlg(Shell& shell, const std::string& current, QWidget* parent)
    : QDialog(parent), shell_(shell), current_(current) {
    setObjectName(QStringLiteral("shopKeyDlg"));
    setWindowTitle(QStringLiteral("店铺密钥"));

    auto* intro = new QLabel(
        current_.empty()
            ? QStringLiteral("店铺数据目前使用程序自带的密钥加密。设置店铺密钥后，店铺数据和以后的备份"
                             "都用它加密，每次启动程序时须先输入店铺密钥。")
            : QStringLiteral("店铺数据目前使用店铺密钥加密。修改或取消店铺密钥，须先输入当前的店铺密钥。"));
    intro->setObjectName(QStringLiteral("intro"));
    intro->setWordWrap(true);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    int row = 0;
    if (!current_.empty()) {
        currentEdit_ = makeKeyEdit("currentKey");
        grid->addWidget(fieldLabel(QStringLiteral("当前密钥:")), row, 0);
        grid->addWidget(currentEdit_, row++, 1);
    }
    newEdit_ = makeKeyEdit("newKey");
    newEdit_->setPlaceholderText(QStringLiteral("至少%1个字符").arg(kShopKeyMinChars));
    repeatEdit_ = makeKeyEdit("repeatKey");
    grid->addWidget(fieldLabel(QStringLiteral("新密钥:")), row, 0);
    grid->addWidget(newEdit_, row++, 1);
    grid->addWidget(fieldLabel(QStringLiteral("再次输入:")), row, 0);
    grid->addWidget(repeatEdit_, row++, 1);
    if (!current_.empty()) {
        remove_ = new QCheckBox(QStringLiteral("取消店铺密钥，恢复使用程序自带的密钥"));
        remove_->setObjectName(QStringLiteral("removeKey"));
        connect(remove_, &QCheckBox::toggled, this, &CShopKeyDlg::updateEnabled);
        grid->addWidget(remove_, row++, 1);
    }
    grid->setColumnStretch(1, 1);

    warning_ = new QLabel(QStringLiteral("请务必牢记店铺密钥！店铺密钥一旦忘记，无法找回，也无法重新设置："
                                         "店铺数据和用它加密的备份都将再也不能打开。"));
    warning_->setObjectName(QStringLiteral("warning"));
    warning_->setWordWrap(true);
    warning_->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));

    auto* okButton = makeButton(QStringLiteral("确定"), "ok");
    auto* cancelButton = makeButton(QStringLiteral("取消"), "cancel");
    connect(okButton, &QPushButton::clicked, this, &CShopKeyDlg::confirm);
    connect(cancelButton, &QPushButton::clicked, this, &CShopKeyDlg::reject);
    QHBoxLayout* bottom = buttonRow({okButton, cancelButton});

    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(12);
    outer->addWidget(intro);
    outer->addLayout(grid);
    outer->addWidget(warning_);
    outer->addLayout(bottom);
    setMinimumWidth(440);
}

void CShopKeyDlg::updateEnabled() {
    const bool removing = remove_ && remove_->isChecked();
    newEdit_->setEnabled(!removing);
    repeatEdit_->setEnabled(!removing);
}

void CShopKeyDlg::refuse(const QString& problem, QLineEdit* field) {
    shell_.reportFailure(problem);
    field->setFocus();
    field->selectAll();
}

void CShopKeyDlg::confirm() {
    if (currentEdit_ && shopKeyFromText(currentEdit_->text()) != current_) {
        refuse(QStringLiteral("当前的店铺密钥不正确"), currentEdit_);
        return;
    }
    if (remove_ && remove_->isChecked()) {
        chosen_.clear();
        accept();
        return;
    }
    const QString typed = newEdit_->text();
    if (keyChars(typed) < kShopKeyMinChars) {
        refuse(QStringLiteral("店铺密钥至少需要%1个字符").arg(kShopKeyMinChars), newEdit_);
        return;
    }
    if (repeatEdit_->text() != typed) {
        refuse(QStringLiteral("两次输入的店铺密钥不一致，请重新输入"), repeatEdit_);
        return;
    }
    chosen_ = shopKeyFromText(typed);
    accept();
}

void CShopKeyDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        confirm();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---- CBackupKeyDlg ---------------------------------------------------------------

CBackupKeyDlg::CBackupKeyDlg(bool retry, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("backupKeyDlg"));
    setWindowTitle(QStringLiteral("备份文件的店铺密钥"));
    auto* text = new QLabel(retry ? QStringLiteral("店铺密钥不正确。请重新输入该备份文件的店铺密钥:")
                                  : QStringLiteral("该备份文件使用另一个店铺密钥加密。请输入它的店铺密钥:"));
    text->setObjectName(QStringLiteral("prompt"));
    text->setWordWrap(true);
    if (retry) text->setStyleSheet(QStringLiteral("color: #c00000;"));
    edit_ = makeKeyEdit("backupKey");
    auto* okButton = makeButton(QStringLiteral("确定"), "ok");
    auto* cancelButton = makeButton(QStringLiteral("取消"), "cancel");
    connect(okButton, &QPushButton::clicked, this, &CBackupKeyDlg::confirm);
    connect(cancelButton, &QPushButton::clicked, this, &CBackupKeyDlg::reject);
    QHBoxLayout* bottom = buttonRow({okButton, cancelButton});
    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(12);
    outer->addWidget(text);
    outer->addWidget(edit_);
    outer->addLayout(bottom);
    setMinimumWidth(400);
}

std::string CBackupKeyDlg::typedKey() const {
    return shopKeyFromText(edit_->text());
}

void CBackupKeyDlg::confirm() {
    if (edit_->text().isEmpty()) {
        edit_->setFocus();
        return;
    }
    accept();
}

void CBackupKeyDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        confirm();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vorn::ui
