// The dialog "小票打印机" of 店铺设置: where the counter prints its receipts (the
// system's default printer, or an ESC/POS thermal printer at a device path or a
// network address), the paper width, whether the cash drawer opens after each
// sale, and a test page sent to the printer as chosen on the form.
#pragma once

#include <QDialog>

#include "kit/print/receiptprinter.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vorn::ui {

class Shell;

class CReceiptPrinterDlg : public QDialog {
    Q_OBJECT
public:
    // The form starts with the settings in iniPath, where "保存" writes them.
    explicit CReceiptPrinterDlg(Shell& shell, QWidget* parent = nullptr,
                                const QString& iniPath = receiptPrinterIniPath());

    // The settings as the form holds them now, and filling the form.
    ReceiptPrinterSettings settings() const;
    void setSettings(const ReceiptPrinterSettings& settings);

    QRadioButton* systemRadio() const { return system_; }
    QRadioButton* deviceRadio() const { return device_; }
    QRadioButton* networkRadio() const { return network_; }
    QLineEdit* deviceEdit() const { return devicePath_; }
    QLineEdit* addressEdit() const { return address_; }
    QComboBox* widthCombo() const { return width_; }
    QCheckBox* drawerCheck() const { return drawer_; }
    QPushButton* testButton() const { return testButton_; }
    QLabel* testResult() const { return testResult_; }

public slots:
    void save();          // "保存" or Enter: checked, written, accepted
    void printTestPage(); // "打印测试页": the result shows under the button

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateEnabled();
    void showTestResult(const QString& text, bool failed);
    // Reports the problem and puts the focus where it can be mended.
    void refuse(const QString& problem);

    Shell& shell_;
    QString iniPath_;
    bool testRunning_ = false;

    QRadioButton* system_ = nullptr;
    QRadioButton* device_ = nullptr;
    QRadioButton* network_ = nullptr;
    QLineEdit* devicePath_ = nullptr;
    QLineEdit* address_ = nullptr;
    QComboBox* width_ = nullptr;
    QCheckBox* drawer_ = nullptr;
    QPushButton* testButton_ = nullptr;
    QLabel* testResult_ = nullptr;
};

} // namespace vorn::ui
