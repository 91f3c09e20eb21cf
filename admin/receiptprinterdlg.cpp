#include "receiptprinterdlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogparts.h"
#include "kit/text/clock.h"
#include "kit/print/rawprinter.h"
#include "kit/page/shell.h"

namespace vorn::ui {

namespace {

// Device paths and addresses are short; the field stops a pasted novel.
constexpr int kPathChars = 255;

} // namespace

CReceiptPrinterDlg::CReceiptPrinterDlg(Shell& shell, QWidget* parent, const QString& iniPath)
    : QDialog(parent), shell_(shell), iniPath_(iniPath) {
    setObjectName(QStringLiteral("receiptPrinterDlg"));
    setWindowTitle(QStringLiteral("小票打印机"));

    system_ = new QRadioButton(QStringLiteral("系统默认打印机"));
    system_->setObjectName(QStringLiteral("system"));
    device_ = new QRadioButton(QStringLiteral("ESC/POS 打印机(设备)"));
    device_->setObjectName(QStringLiteral("device"));
    network_ = new QRadioButton(QStringLiteral("ESC/POS 打印机(网络)"));
    network_->setObjectName(QStringLiteral("network"));
    auto* kinds = new QButtonGroup(this);
    for (QRadioButton* r : {system_, device_, network_})
        kinds->addButton(r);

    devicePath_ = new QLineEdit;
    devicePath_->setObjectName(QStringLiteral("devicePath"));
    devicePath_->setPlaceholderText(QStringLiteral("/dev/usb/lp0"));
    address_ = new QLineEdit;
    address_->setObjectName(QStringLiteral("address"));
    address_->setPlaceholderText(QStringLiteral("192.168.1.100:9100"));
    for (QLineEdit* e : {devicePath_, address_}) {
        e->setMaxLength(kPathChars);
        e->setMinimumWidth(240);
    }

    auto* where = new QGroupBox(QStringLiteral("打印方式"));
    auto* whereGrid = new QGridLayout(where);
    whereGrid->setHorizontalSpacing(12);
    whereGrid->setVerticalSpacing(10);
    whereGrid->addWidget(system_, 0, 0);
    whereGrid->addWidget(hint(QStringLiteral("没有打印机时，小票保存为PDF文件"), "systemHint"), 0, 1);
    whereGrid->addWidget(device_, 1, 0);
    whereGrid->addWidget(devicePath_, 1, 1);
    whereGrid->addWidget(network_, 2, 0);
    whereGrid->addWidget(address_, 2, 1);
    whereGrid->setColumnStretch(1, 1);

    width_ = new QComboBox;
    width_->setObjectName(QStringLiteral("paperWidth"));
    width_->addItem(paperWidthName(kReceiptChars58mm), kReceiptChars58mm);
    width_->addItem(paperWidthName(kReceiptChars80mm), kReceiptChars80mm);
    drawer_ = new QCheckBox(QStringLiteral("每次销售后打开钱箱"));
    drawer_->setObjectName(QStringLiteral("openDrawer"));
    drawer_->setToolTip(QStringLiteral("钱箱接在小票打印机上时，随每笔销售的小票发送开钱箱信号"));
    testButton_ = makeButton(QStringLiteral("打印测试页"), "testPage");
    testButton_->setToolTip(QStringLiteral("按窗口中当前的设置打印一张测试页"));
    testResult_ = new QLabel;
    testResult_->setObjectName(QStringLiteral("testResult"));
    testResult_->setWordWrap(true);
    testResult_->setMinimumHeight(testResult_->fontMetrics().lineSpacing() * 2);
    testResult_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* paper = new QGroupBox(QStringLiteral("ESC/POS 打印机"));
    auto* paperGrid = new QGridLayout(paper);
    paperGrid->setHorizontalSpacing(12);
    paperGrid->setVerticalSpacing(10);
    auto* widthLabel = new QLabel(QStringLiteral("纸宽:"));
    widthLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    paperGrid->addWidget(widthLabel, 0, 0);
    paperGrid->addWidget(width_, 0, 1);
    paperGrid->addWidget(testButton_, 0, 3);
    paperGrid->addWidget(drawer_, 1, 1, 1, 3);
    paperGrid->addWidget(testResult_, 2, 1, 1, 3);
    paperGrid->setColumnStretch(2, 1);

    auto* saveButton = makeButton(QStringLiteral("保存"), "save");
    auto* cancelButton = makeButton(QStringLiteral("取消"), "cancel");
    connect(saveButton, &QPushButton::clicked, this, &CReceiptPrinterDlg::save);
    connect(cancelButton, &QPushButton::clicked, this, &CReceiptPrinterDlg::reject);
    connect(testButton_, &QPushButton::clicked, this, &CReceiptPrinterDlg::printTestPage);
    for (QRadioButton* r : {system_, device_, network_})
        connect(r, &QRadioButton::toggled, this, &CReceiptPrinterDlg::updateEnabled);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(saveButton);
    bottom->addWidget(cancelButton);

    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(12);
    outer->addWidget(where);
    outer->addWidget(paper);
    outer->addWidget(hint(
        QStringLiteral("设置保存在店铺数据文件旁的 receiptprinter.ini 中，对下一张小票生效。"), "fileHint"));
    outer->addLayout(bottom);

    setSettings(loadReceiptPrinter(iniPath_));
}

ReceiptPrinterSettings CReceiptPrinterDlg::settings() const {
    ReceiptPrinterSettings s;
    s.kind = device_->isChecked()    ? ReceiptPrinterSettings::Kind::Device
             : network_->isChecked() ? ReceiptPrinterSettings::Kind::Network
                                     : ReceiptPrinterSettings::Kind::System;
    s.devicePath = devicePath_->text().trimmed();
    s.address = address_->text().trimmed();
    s.width = width_->currentData().toInt();
    s.openDrawer = drawer_->isChecked();
    return s;
}

void CReceiptPrinterDlg::setSettings(const ReceiptPrinterSettings& s) {
    switch (s.kind) {
    case ReceiptPrinterSettings::Kind::System:
        system_->setChecked(true);
        break;
    case ReceiptPrinterSettings::Kind::Device:
        device_->setChecked(true);
        break;
    case ReceiptPrinterSettings::Kind::Network:
        network_->setChecked(true);
        break;
    }
    devicePath_->setText(s.devicePath);
    address_->setText(s.address);
    width_->setCurrentIndex(std::max(0, width_->findData(s.width)));
    drawer_->setChecked(s.openDrawer);
    updateEnabled();
}

void CReceiptPrinterDlg::updateEnabled() {
    const bool escPos = !system_->isChecked();
    devicePath_->setEnabled(device_->isChecked());
    address_->setEnabled(network_->isChecked());
    width_->setEnabled(escPos);
    drawer_->setEnabled(escPos);
    testButton_->setEnabled(escPos && !testRunning_);
}

void CReceiptPrinterDlg::refuse(const QString& problem) {
    shell_.reportFailure(problem);
    QLineEdit* field = device_->isChecked() ? devicePath_ : network_->isChecked() ? address_ : nullptr;
    if (field) {
        field->setFocus();
        field->selectAll();
    }
}

void CReceiptPrinterDlg::save() {
    const ReceiptPrinterSettings s = settings();
    const QString problem = receiptPrinterProblem(s);
    if (!problem.isEmpty()) {
        refuse(problem);
        return;
    }
    QString why;
    if (!saveReceiptPrinter(s, iniPath_, &why)) {
        shell_.reportFailure(QStringLiteral("小票打印机设置未保存：%1").arg(why));
        return;
    }
    accept();
}

void CReceiptPrinterDlg::showTestResult(const QString& text, bool failed) {
    testResult_->setStyleSheet(failed ? QStringLiteral("color: #c00000;")
                                      : QStringLiteral("color: #1d6b2c;"));
    testResult_->setText(text);
}

void CReceiptPrinterDlg::printTestPage() {
    const ReceiptPrinterSettings s = settings();
    if (testRunning_ || !s.escPos()) return;
    const QString problem = receiptPrinterProblem(s);
    if (!problem.isEmpty()) {
        showTestResult(QStringLiteral("测试页未打印：%1").arg(problem), true);
        return;
    }
    const RawTarget target = receiptPrinterTarget(s);
    const QString printer = target.describe();
    testRunning_ = true;
    updateEnabled();
    showTestResult(QStringLiteral("正在发送测试页到\"%1\"……").arg(printer), false);
    // The dialog stays alive meanwhile; closed before the end, it hears nothing.
    sendRawAsync(this, target, receiptTestPage(s, now()), [this, printer](const SendResult& r) {
        testRunning_ = false;
        updateEnabled();
        if (r.ok)
            showTestResult(QStringLiteral("测试页已发送到\"%1\"，请查看打印效果。").arg(printer), false);
        else
            showTestResult(QStringLiteral("测试页未打印：%1").arg(r.error), true);
    });
}

void CReceiptPrinterDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        save();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vorn::ui
