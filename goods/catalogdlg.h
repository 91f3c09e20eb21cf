// The common body of the goods type and supplier dialogs: a list of names with
// additions and removals collected while the dialog is open and written in one
// transaction by "保存". Entry 1 of the table is the fallback that cannot go;
// goods of a removed entry are moved to it.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "catalogsave.h"
#include "vorn/records.h"

class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace vorn::ui {

class Shell;

class CCatalogDlg : public QDialog {
    Q_OBJECT
public:
    // The words and columns in which the two dialogs differ.
    struct Texts {
        QString title;
        QString listLabel;
        QString nameLabel;
        QString duplicate;       // %1: the name
        QString firstEntry;      // the fallback entry cannot be removed
        QString removeQuestion;  // %1: the name
        CatalogKind kind;
        int maxBytes;
        bool multiLine;
    };
    struct Entry {
        int id;
        std::string name; // GBK
    };

    // After the dialog closed with OK: the number of changes written, 0 for none,
    // -1 when the store failed. -1 as well when cancelled (see result()).
    int changeResult() const { return changeResult_; }

    QListWidget* list() const { return list_; }
    QString nameText() const;
    void setNameText(const QString& text);

public slots:
    void addName();        // "<-"
    void removeSelected(); // "->"
    void save();           // "保存" or Enter

protected:
    CCatalogDlg(Shell& shell, const Texts& texts, QWidget* parent);
    // Fills the list box (the subclass's constructor calls it with its list).
    void setEntries(const std::vector<Entry>& entries);

    void keyPressEvent(QKeyEvent* event) override;

private:
    void focusName();
    // Entries of the table with this condition (the store's count, or -1).
    int countNamed(const char* condition) const;

    Shell& shell_;
    Texts texts_;
    std::vector<Entry> additions_;
    std::vector<int> removals_; // ids of existing entries
    int nextTempId_ = 0;
    int changeResult_ = -1;

    QListWidget* list_ = nullptr;
    QLineEdit* lineEdit_ = nullptr;
    QPlainTextEdit* textEdit_ = nullptr;
};

} // namespace vorn::ui
