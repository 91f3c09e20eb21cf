// A label that paints itself: a filled background, a one-pixel border on its
// outer edge and one line of text, vertically centred and cut with an ellipsis.
// Pages use it for totals and status lines whose look must not follow the style.
#pragma once

#include <QColor>
#include <QLabel>

namespace vorn::ui {

class CVornLabel : public QLabel {
    Q_OBJECT
public:
    explicit CVornLabel(QWidget* parent = nullptr);
    explicit CVornLabel(const QString& text, QWidget* parent = nullptr);

    bool drawBorder() const { return drawBorder_; }
    void setDrawBorder(bool on);
    bool fillBackground() const { return fillBackground_; }
    void setFillBackground(bool on);
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor& color);
    QColor textColor() const { return textColor_; }
    void setTextColor(const QColor& color);
    QColor backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(const QColor& color);
    // Added to the fixed flags (vertical centring, single line), e.g. Qt::AlignHCenter.
    Qt::Alignment extraFormat() const { return extraFormat_; }
    void setExtraFormat(Qt::Alignment flags);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void init();

    bool drawBorder_ = true;
    bool fillBackground_ = true;
    QColor borderColor_ = Qt::black;
    QColor textColor_ = Qt::black;
    QColor backgroundColor_ = Qt::white;
    Qt::Alignment extraFormat_;
};

} // namespace vorn::ui
