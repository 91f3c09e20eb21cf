#include "catalogdlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "enterkey.h"
#include "goodsstate.h"
#include "kit/page/appstate.h"
#include "kit/page/busy.h"
#include "kit/text/gbk.h"
#include "kit/text/gbklimit.h"
#include "kit/dialog/msgbox.h"
#include "kit/page/shell.h"
#include "kit/page/staging.h"

namespace vorn::ui {

CCatalogDlg::CCatalogDlg(Shell& shell, const Texts& texts, QWidget* parent)
    : QDialog(parent), shell_(shell), texts_(texts) {
    setWindowTitle(texts.title);

    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("entries"));
    list_->setMinimumSize(200, 240);
    auto* listBox = new QGroupBox(texts.listLabel);
    (new QVBoxLayout(listBox))->addWidget(list_);

    QWidget* editor = nullptr;
    if (texts.multiLine) {
        textEdit_ = new QPlainTextEdit;
        textEdit_->setTabChangesFocus(true);
        textEdit_->setFixedHeight(90);
        limitGbk(textEdit_, texts.maxBytes, statusNotice(shell_));
        interceptEnter(textEdit_, [this] { save(); });
        editor = textEdit_;
    } else {
        lineEdit_ = new QLineEdit;
        limitGbk(lineEdit_, texts.maxBytes, statusNotice(shell_));
        editor = lineEdit_;
    }
    editor->setObjectName(QStringLiteral("name"));
    editor->setMinimumWidth(200);
    auto* editBox = new QGroupBox;
    auto* editLayout = new QVBoxLayout(editBox);
    editLayout->addWidget(new QLabel(texts.nameLabel));
    editLayout->addWidget(editor);
    editLayout->addStretch();

    StagingSides sides;
    sides.list = new QVBoxLayout;
    sides.list->addWidget(listBox);
    sides.entry = new QVBoxLayout;
    sides.entry->addWidget(editBox);
    sides.entryStretch = 1;
    sides.fromListName = "remove";
    sides.cancelFirst = true;
    const StagingButtons b = layOutStaging(this, sides);
    connect(b.toList, &QPushButton::clicked, this, &CCatalogDlg::addName);
    connect(b.fromList, &QPushButton::clicked, this, &CCatalogDlg::removeSelected);
    connect(b.save, &QPushButton::clicked, this, &CCatalogDlg::save);
}

void CCatalogDlg::setEntries(const std::vector<Entry>& entries) {
    list_->clear();
    for (const Entry& e : entries) {
        auto* item = new QListWidgetItem(fromGbk(e.name), list_);
        item->setData(Qt::UserRole, e.id);
    }
    focusName();
}

QString CCatalogDlg::nameText() const {
    return textEdit_ ? textEdit_->toPlainText() : lineEdit_->text();
}

void CCatalogDlg::setNameText(const QString& text) {
    if (textEdit_)
        textEdit_->setPlainText(text);
    else
        lineEdit_->setText(text);
}

void CCatalogDlg::focusName() {
    if (textEdit_) {
        textEdit_->setFocus();
        textEdit_->selectAll();
    } else {
        lineEdit_->setFocus();
        lineEdit_->selectAll();
    }
}

void CCatalogDlg::addName() {
    const QString text = nameText();
    std::string name;
    if (!toGbk(text, name)) {
        shell_.reportFailure(unrepresentableTextMessage());
        return;
    }
    const bool pending =
        std::any_of(additions_.begin(), additions_.end(), [&](const Entry& e) { return e.name == name; });
    // A failed count (-1) does not block the addition.
    if (pending || countNamed(catalogNameCondition(texts_.kind, name).c_str()) > 0) {
        shell_.reportFailure(texts_.duplicate.arg(text));
        return;
    }
    const int id = --nextTempId_;
    additions_.push_back({id, name});
    auto* item = new QListWidgetItem(text, list_);
    item->setData(Qt::UserRole, id);
}

void CCatalogDlg::removeSelected() {
    QListWidgetItem* item = list_->currentItem();
    if (!item || !item->isSelected()) return;
    const int row = list_->row(item);
    const int id = item->data(Qt::UserRole).toInt();
    if (row == 0 || id == 1) {
        shell_.reportFailure(texts_.firstEntry);
        focusName();
        return;
    }
    const QString text = item->text();
    if (id < 0) {
        additions_.erase(
            std::remove_if(additions_.begin(), additions_.end(), [id](const Entry& e) { return e.id == id; }),
            additions_.end());
    } else {
        if (!askYesNo(this, texts_.removeQuestion.arg(text))) {
            focusName();
            return;
        }
        removals_.push_back(id);
    }
    setNameText(text);
    delete list_->takeItem(row);
    // Nothing stays selected, so a second "->" does nothing until the user chooses.
    list_->setCurrentRow(-1);
    list_->clearSelection();
    focusName();
}

int CCatalogDlg::countNamed(const char* condition) const {
    vorn::Core& core = shell_.state().core;
    return texts_.kind == CatalogKind::Types ? core.get_trec_count(condition) : core.get_sprec_count(condition);
}

void CCatalogDlg::save() {
    CatalogChanges changes;
    for (const Entry& e : additions_)
        changes.additions.push_back(e.name);
    changes.removals = removals_;
    vorn::Core& core = shell_.state().core;
    const CatalogKind kind = texts_.kind;
    int result = -1;
    runBusy(shell_.window(), [&] { result = saveCatalog(core, kind, changes); });
    changeResult_ = result;
    // The loaded goods show the fallback entry at once, without a reload.
    if (result > 0) moveGoodsToFallback(goodsState(shell_).rows, kind, changes.removals);
    accept();
}

void CCatalogDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        save();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vorn::ui
