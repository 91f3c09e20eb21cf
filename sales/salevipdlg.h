// The member dialog "会员": looks a member up by code for the sale in progress.
#pragma once

#include <QDialog>

#include "vorn/records.h"

class QLineEdit;

namespace vorn::ui {

class Shell;

class CSaleVIPDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSaleVIPDlg(Shell& shell, QWidget* parent = nullptr);

    // The member found by "确定" (valid once the dialog was accepted).
    const vorn::VIPRec& member() const { return member_; }
    QLineEdit* edit() const { return edit_; }

public slots:
    // "确定" or Enter: looks the typed code up; closes with OK when a member has
    // it, else says so and stays open.
    void onOk();
    void onCancel();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Shell& shell_;
    vorn::VIPRec member_;
    QLineEdit* edit_;
};

} // namespace vorn::ui
