// The dialog of "迁移到服务器": which PostgreSQL server the shop moves to.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

namespace vorn::ui {

// Asks for a libpq connection string or a service name. A text holding a
// password is refused with a sentence saying where passwords go (libpq's
// password file), and so is an empty one; the dialog then stays open.
class CMoveToServerDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMoveToServerDlg(QWidget* parent = nullptr);

    // After acceptance: the connection text for libpq.
    const QString& conninfo() const { return conninfo_; }

    QLineEdit* serverEdit() const { return serverEdit_; }
    QLabel* problemLabel() const { return problem_; }

public slots:
    void confirm(); // "确定" or Enter

private:
    QLineEdit* serverEdit_ = nullptr;
    QLabel* problem_ = nullptr;
    QString conninfo_;
};

} // namespace vorn::ui
