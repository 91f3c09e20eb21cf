#include "userinputdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogparts.h"
#include "kit/page/appstate.h"
#include "kit/page/busy.h"
#include "kit/text/gbk.h"
#include "kit/text/gbklimit.h"
#include "kit/page/shell.h"
#include "vorn/password.h"
#include "vorn/sqltext.h"
#include "vorn/transaction.h"
#include "vorn/widths.h"

namespace vorn::ui {

namespace {

// All accounts in ascending id order; false (list emptied) when the store failed.
bool loadUsers(vorn::Core& core, std::vector<vorn::URec>& users, const char* cond = nullptr) {
    users.clear();
    const int n = core.get_urec_count(cond);
    if (n < 0) return false;
    std::vector<vorn::URec> rows(static_cast<size_t>(n));
    const int got = n > 0 ? core.select_urec(rows.data(), cond) : 0;
    if (got < 0) return false;
    rows.resize(static_cast<size_t>(std::min(got, n)));
    users = std::move(rows);
    return true;
}

} // namespace

CUserInputDlg::CUserInputDlg(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell) {
    setObjectName(QStringLiteral("userInputDlg"));
    setWindowTitle(QStringLiteral("用户管理"));

    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("users"));
    list_->setMinimumSize(180, 220);
    auto* listBox = new QGroupBox(QStringLiteral("用户列表:"));
    (new QVBoxLayout(listBox))->addWidget(list_);

    nameEdit_ = new QLineEdit;
    nameEdit_->setObjectName(QStringLiteral("name"));
    passwordEdit_ = new QLineEdit;
    passwordEdit_->setObjectName(QStringLiteral("password"));
    // Hidden like every password field; a manager who types one for someone
    // else may look at it with "显示".
    passwordEdit_->setEchoMode(QLineEdit::Password);
    showPassword_ = new QCheckBox(QStringLiteral("显示"));
    showPassword_->setObjectName(QStringLiteral("showPassword"));
    connect(showPassword_, &QCheckBox::toggled, this,
            [this](bool on) { passwordEdit_->setEchoMode(on ? QLineEdit::Normal : QLineEdit::Password); });
    authCombo_ = new QComboBox;
    authCombo_->setObjectName(QStringLiteral("auth"));
    authCombo_->addItems({QStringLiteral("店主"), QStringLiteral("售货员")});
    authCombo_->setCurrentIndex(1);
    // The dialog is a window of its own: its fields tell this shell what they drop.
    limitGbk(nameEdit_, width::room(width::kUserName), statusNotice(shell_));
    limitGbk(passwordEdit_, width::room(width::kUserPassword), statusNotice(shell_));
    for (QWidget* w : {static_cast<QWidget*>(nameEdit_), static_cast<QWidget*>(authCombo_)})
        w->setMinimumWidth(180);
    passwordEdit_->setMinimumWidth(124);

    passwordButton_ = makeButton(QStringLiteral("修改密码"), "changePassword");
    passwordButton_->setToolTip(QStringLiteral("把列表中所选用户的密码改为\"密码:\"中的内容，保存后生效"));
    passwordButton_->setEnabled(false);
    auto* passwordHint = new QLabel(
        QStringLiteral("选中列表中的用户，在\"密码:\"中填写新密码后点击\"修改密码\"，保存后生效。"));
    passwordHint->setObjectName(QStringLiteral("passwordHint"));
    passwordHint->setWordWrap(true);
    passwordHint->setStyleSheet(QStringLiteral("color: #5b6f8a;"));

    auto* formBox = new QGroupBox;
    auto* form = new QFormLayout(formBox);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setVerticalSpacing(10);
    form->addRow(QStringLiteral("用户名:"), nameEdit_);
    auto* passwordField = new QHBoxLayout;
    passwordField->addWidget(passwordEdit_, 1);
    passwordField->addWidget(showPassword_);
    form->addRow(QStringLiteral("密码:"), passwordField);
    form->addRow(QStringLiteral("权限:"), authCombo_);
    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(passwordButton_);
    passwordRow->addStretch();
    form->addRow(QString(), passwordRow);
    form->addRow(QString(), passwordHint);

    auto* addButton = makeButton(QStringLiteral("<-"), "add");
    auto* removeButton = makeButton(QStringLiteral("->"), "remove");
    auto* saveButton = makeButton(QStringLiteral("保存"), "save");
    auto* cancelButton = makeButton(QStringLiteral("取消"), "cancel");
    connect(addButton, &QPushButton::clicked, this, &CUserInputDlg::addUser);
    connect(removeButton, &QPushButton::clicked, this, &CUserInputDlg::removeSelected);
    connect(passwordButton_, &QPushButton::clicked, this, &CUserInputDlg::changePassword);
    connect(saveButton, &QPushButton::clicked, this, &CUserInputDlg::save);
    connect(cancelButton, &QPushButton::clicked, this, &CUserInputDlg::reject);
    connect(list_, &QListWidget::itemSelectionChanged, this,
            [this] { passwordButton_->setEnabled(!list_->selectedItems().isEmpty()); });

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(addButton);
    middle->addWidget(removeButton);
    middle->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(listBox, 1);
    top->addLayout(middle);
    top->addWidget(formBox, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(saveButton);
    bottom->addWidget(cancelButton);

    // So that an owner sees someone trying passwords.
    failures_ = new QTreeWidget;
    failures_->setObjectName(QStringLiteral("loginFailures"));
    failures_->setHeaderLabels({QStringLiteral("时间"), QStringLiteral("用户名"), QStringLiteral("位置")});
    failures_->setRootIsDecorated(false);
    failures_->setSelectionMode(QAbstractItemView::NoSelection);
    failures_->setFocusPolicy(Qt::NoFocus);
    failures_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* failureBox = new QGroupBox(QStringLiteral("最近的登录失败:"));
    (new QVBoxLayout(failureBox))->addWidget(failures_);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(failureBox);
    outer->addLayout(bottom);

    // The accounts as stored now; the login reads the same list.
    AppState& st = shell_.state();
    loadUsers(st.core, st.users);
    for (const vorn::URec& u : st.users) {
        auto* item = new QListWidgetItem(fromGbk(u.FUs_Name), list_);
        item->setData(Qt::UserRole, u.FUi_Id);
    }
    loadFailures();
    focusName();
}

void CUserInputDlg::loadFailures() {
    failures_->clear();
    std::vector<vorn::LoginFailRec> rows;
    const int n = shell_.state().core.select_login_fail(rows, kFailuresShown);
    for (const vorn::LoginFailRec& r : rows)
        new QTreeWidgetItem(failures_, {QString::fromStdString(vorn::format_time(r.FLFt_Time)),
                                        fromGbk(r.FLFs_Name), fromGbk(r.FLFs_Place)});
    if (n <= 0) {
        auto* none = new QTreeWidgetItem(failures_, {n < 0 ? QStringLiteral("无法读取登录失败记录")
                                                           : QStringLiteral("没有登录失败的记录")});
        none->setFirstColumnSpanned(true);
        none->setDisabled(true);
    }
    // Room for the whole list and no more: no row is cut and nothing scrolls.
    const int row = std::max(failures_->sizeHintForRow(0), failures_->fontMetrics().height());
    failures_->setFixedHeight(failures_->header()->sizeHint().height() + kFailuresShown * row +
                              2 * failures_->frameWidth() + 2);
    failures_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

bool CUserInputDlg::readForm(vorn::URec& user) {
    std::string name;
    std::string password;
    if (!toGbk(nameEdit_->text(), name) || !toGbk(passwordEdit_->text(), password)) {
        shell_.reportFailure(unrepresentableTextMessage());
        return false;
    }
    user = vorn::URec();
    user.FUs_Name = std::move(name);
    user.FUs_Pas = std::move(password);
    user.FUi_Auth = authCombo_->currentIndex() + 1; // "店主" 1, "售货员" 2
    return true;
}

void CUserInputDlg::fillForm(const vorn::URec& user, bool withPassword) {
    nameEdit_->setText(fromGbk(user.FUs_Name));
    // What the store holds is a hash (or an old store's password as typed):
    // neither belongs in a field anyone may show.
    passwordEdit_->setText(withPassword ? fromGbk(user.FUs_Pas) : QString());
    authCombo_->setCurrentIndex(user.FUi_Auth == 1 ? 0 : 1);
}

void CUserInputDlg::focusName() {
    nameEdit_->setFocus();
    nameEdit_->selectAll();
}

bool CUserInputDlg::storedUser(int id, vorn::URec& out) {
    for (const vorn::URec& u : shell_.state().users)
        if (u.FUi_Id == id) {
            out = u;
            return true;
        }
    std::vector<vorn::URec> found;
    const std::string cond = "FUi_Id=" + std::to_string(id);
    if (!loadUsers(shell_.state().core, found, cond.c_str()) || found.empty()) return false;
    out = found.front();
    return true;
}

void CUserInputDlg::addUser() {
    vorn::URec user;
    if (!readForm(user)) return;
    // An empty (or blank) name is an invisible entry in every list, and an
    // empty password lets anyone in under that name.
    if (nameEdit_->text().trimmed().isEmpty()) {
        shell_.reportFailure(QStringLiteral("用户名不能为空，请重新输入"));
        return;
    }
    // A failed count (-1) does not block the addition; the store's answer on save does.
    const std::string cond = "FUs_Name='" + vorn::sql_escape(user.FUs_Name) + "'";
    if (changes_.isAdded(user.FUs_Name) || shell_.state().core.get_urec_count(cond.c_str()) > 0) {
        shell_.reportFailure(QStringLiteral("用户\"%1\"已存在，请重新输入其它").arg(nameEdit_->text()));
        return;
    }
    if (user.FUs_Pas.empty()) {
        shell_.reportFailure(QStringLiteral("密码不能为空，请重新输入"));
        return;
    }
    const QString text = nameEdit_->text();
    const int id = changes_.add(std::move(user));
    auto* item = new QListWidgetItem(text, list_);
    item->setData(Qt::UserRole, id);
}

void CUserInputDlg::removeSelected() {
    QListWidgetItem* item = list_->currentItem();
    if (!item || !item->isSelected()) return;
    const int row = list_->row(item);
    // The built-in administrator is stored first and is listed first.
    if (row == 0) {
        shell_.reportFailure(QStringLiteral("不能删除权限为\"系统超级管理员\"的用户"));
        return;
    }
    const int id = item->data(Qt::UserRole).toInt();
    const vorn::URec& me = shell_.state().currentUser;
    if (id == me.FUi_Id) {
        shell_.reportFailure(
            QStringLiteral("\"%1\"为当前登录用户，不能删除该用户").arg(fromGbk(me.FUs_Name)));
        return;
    }
    if (id < 0) {
        vorn::URec pending;
        if (!changes_.takeBack(id, pending)) return;
        fillForm(pending, true);
    } else {
        vorn::URec stored;
        if (storedUser(id, stored)) fillForm(stored, false);
        changes_.remove(id);
    }
    delete list_->takeItem(row);
    // Nothing stays selected, so a second "->" does nothing until the user chooses.
    list_->setCurrentRow(-1);
    list_->clearSelection();
    focusName();
}

void CUserInputDlg::changePassword() {
    QListWidgetItem* item = list_->currentItem();
    if (!item || !item->isSelected()) return;
    const int id = item->data(Qt::UserRole).toInt();
    vorn::URec stored;
    const bool known = id < 0 || storedUser(id, stored);
    // A shop owner who could set the administrator's password could lock the
    // administrator out: only an administrator changes an administrator's.
    const bool administrator = list_->row(item) == 0 || (id > 0 && known && stored.FUi_Auth == 0);
    if (administrator && shell_.state().currentUser.FUi_Auth != 0) {
        shell_.reportFailure(QStringLiteral("只有\"系统超级管理员\"能修改\"%1\"的密码").arg(item->text()));
        return;
    }
    std::string password;
    if (!toGbk(passwordEdit_->text(), password)) {
        shell_.reportFailure(unrepresentableTextMessage());
        return;
    }
    if (password.empty()) {
        shell_.reportFailure(QStringLiteral("密码不能为空，请重新输入"));
        return;
    }
    if (!known || !changes_.setPassword(id, password, id < 0 ? nullptr : &stored)) return;
    shell_.showStatus(QStringLiteral("用户\"%1\"的新密码将在\"保存\"后生效").arg(item->text()));
}

void CUserInputDlg::save() {
    AppState& st = shell_.state();
    // Hashing takes a while per password: it runs under the busy window, on
    // a copy, so the dialog's own state is never touched off the GUI thread.
    UserChanges sealed = changes_;
    int rc = 0;
    if (sealed.count() > 0) {
        vorn::Core& core = st.core;
        runBusy(shell_.window(), [&] {
            if (!sealed.sealPasswords([](const std::string& pw) { return vorn::hash_password(pw); })) {
                rc = -1;
                return;
            }
            const std::string sql = sealed.statements();
            vorn::Transaction t(core);
            rc = t.exec(sql.c_str());
            if (rc == 0) rc = t.commit();
        });
    }
    changeResult_ = rc == 0 ? sealed.count() : -1;
    if (rc == 0 && sealed.count() > 0) {
        // The logged-in user who changed their own password keeps the record as stored.
        if (const std::string* pw = sealed.newPassword(st.currentUser.FUi_Id)) st.currentUser.FUs_Pas = *pw;
        loadUsers(st.core, st.users);
    }
    QDialog::accept();
}

void CUserInputDlg::reject() {
    changeResult_ = -1;
    QDialog::reject();
}

void CUserInputDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        save();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vorn::ui
