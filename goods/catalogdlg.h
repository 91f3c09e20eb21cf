// The common body of the goods type and supplier dialogs: a list of names with
// additions and removals collected while the dialog is open and written in one
// transaction by "保存". Entry 1 of the table is the fallback that cannot go;
// goods of a removed entry are moved to it.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

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
        const char* nameColumn;  // for the duplicate check
        const char* goodsColumn; // Store's column naming the entry
        int vorn::SRec::*goodsField;
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

    virtual int countNamed(const char* condition) = 0;
    virtual void appendInsert(std::string& sql, const std::string& name) const = 0;
    virtual void appendDelete(std::string& sql, int id) const = 0;

    void keyPressEvent(QKeyEvent* event) override;
    Shell& shell() const { return shell_; }

    // Appends one statement a record writes about itself.
    template <class Rec>
    static void appendStatement(std::string& sql, const Rec& r, int (Rec::*make)(char*) const) {
        std::string buf(r.sql_capacity(), '\0');
        const int n = (r.*make)(buf.data());
        sql.append(buf.data(), static_cast<size_t>(n));
    }

private:
    void focusName();
    std::string transactionText() const;

    Shell& shell_;
    Texts texts_;
    std::vector<Entry> additions_;
    std::vector<Entry> removals_;
    int nextTempId_ = 0;
    int changeResult_ = -1;

    QListWidget* list_ = nullptr;
    QLineEdit* lineEdit_ = nullptr;
    QPlainTextEdit* textEdit_ = nullptr;
};

} // namespace vorn::ui
