// The input panel of the counter: the goods code (typed or scanned), the
// quantity with its up-down control, and the three buttons. Enter adds to the
// list, Ctrl+Enter checks out, Escape does nothing, wherever the focus is in it.
//
// A scanner types wherever the focus is. The quantity edit takes digits only,
// three at most; a key it cannot take means a code is arriving in the wrong
// place: what was typed into the quantity since it got the focus goes, with
// that key, to the code edit, and the quantity goes back to what it was. So a
// code scanned while the quantity has the focus ("1T0", or a 13-digit bar code)
// is still the code that Enter adds, and the quantity is left unchanged.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>

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
    // A key that reached the counter elsewhere (the list): to the code edit,
    // which takes the focus with its text selected first, as a scan begins.
    void forwardToCode(const QKeyEvent& key);

    // A new customer: the quantity back to 1.
    void resetQuantity();
    // Whether the quantity is marked as not 1 (dynamic property "notOne", which
    // the page's style sheet draws).
    bool quantityMarked() const;

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
    // A key for the quantity edit; true when it was taken away from it.
    bool filterQuantityKey(QKeyEvent* key);
    void startQuantityRun();
    void markQuantity();

    QLineEdit* code_;
    QLineEdit* quantity_;
    QToolButton* up_;
    QToolButton* down_;
    QPushButton* add_;
    QPushButton* remove_;
    QPushButton* checkout_;
    // What the quantity held before the keys typed into it since it got the
    // focus (unset: no key yet), and those keys.
    std::optional<QString> runStart_;
    QString runTyped_;
};

} // namespace vorn::ui
