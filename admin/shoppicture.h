// The decorative picture of the shop page: a small shop front drawn in the
// program's blues. It carries no behaviour; the page keeps it in its
// bottom-right corner.
#pragma once

#include <QWidget>

namespace vorn::ui {

class ShopPicture : public QWidget {
    Q_OBJECT
public:
    explicit ShopPicture(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {260, 190}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vorn::ui
