// The input panel of the counter: the goods code (typed or scanned), the
// quantity with its up-down control, and the three buttons. Enter adds to the
// list, Ctrl+Enter checks out, Escape does nothing, wherever the focus is in it.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace vorn::ui {

class CSaleInputDlg : public QWidget {
    Q_OBJECT
public:
    explicit CSaleInputDlg(QWidget* parent = nullptr);

    static constexpr int kDesignedHeight = 60;
    static constexpr int kMinQuantity = 1;
    static constexpr int kMaxQuantity = 999;

    QLineEdit* codeEdit() const { return code_; }
    QLineEdit* quantityEdit() const { return quantity_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* checkoutButton() const { return checkout_; }

    // Focus on the edit with its whole text selected (the next scan replaces it).
    void focusCode();
    void focusQuantity();

    QSize sizeHint() const override;

public slots:
    // The up-down control: the number in the edit moved by delta, kept within 1 to 999.
    void stepQuantity(int delta);

signals:
    void addRequested();
    void removeRequested();
    void checkoutRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // True when the key was one of the panel's own (and has been handled).
    bool handleKey(QKeyEvent* key);

    QLineEdit* code_;
    QLineEdit* quantity_;
    QToolButton* up_;
    QToolButton* down_;
    QPushButton* add_;
    QPushButton* remove_;
    QPushButton* checkout_;
};

} // namespace vorn::ui
