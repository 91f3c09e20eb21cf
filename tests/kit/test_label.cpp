// The self-painting label.
#include <QtTest>

#include "kit/dialog/vornlabel.h"

using vorn::ui::CVornLabel;

namespace {

// A red backdrop shows through wherever the label paints nothing.
struct Backdrop : QWidget {
    Backdrop() {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, Qt::red);
        setPalette(pal);
        setAutoFillBackground(true);
        resize(200, 40);
    }
};

bool same(const QColor& a, const QColor& b) { return a.rgb() == b.rgb(); }

// Columns holding text pixels (the given colour), left and right of the middle.
QPair<int, int> inkLeftRight(const QImage& image, const QColor& ink) {
    int left = 0, right = 0;
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x)
            if (image.pixelColor(x, y).rgb() == ink.rgb()) (x < image.width() / 2 ? left : right)++;
    return {left, right};
}

} // namespace

class TestKitLabel : public QObject {
    Q_OBJECT
private slots:
    void defaultsFillAndFrameInBlackAndWhite();
    void flagsTurnFillAndBorderOff();
    void extraFormatMovesTheText();
};

void TestKitLabel::defaultsFillAndFrameInBlackAndWhite() {
    Backdrop back;
    CVornLabel label(QStringLiteral("应收"), &back);
    label.setGeometry(10, 10, 120, 24);
    QVERIFY(label.drawBorder());
    QVERIFY(label.fillBackground());
    const QImage image = back.grab().toImage();
    // The border is the label's outermost pixel ring, inside it the fill.
    QVERIFY(same(image.pixelColor(10, 10), Qt::black));
    QVERIFY(same(image.pixelColor(129, 33), Qt::black));
    QVERIFY(same(image.pixelColor(128, 32), Qt::white));
    QVERIFY(same(image.pixelColor(9, 9), Qt::red));
    QVERIFY(same(image.pixelColor(130, 34), Qt::red));
}

void TestKitLabel::flagsTurnFillAndBorderOff() {
    Backdrop back;
    CVornLabel label(QString(), &back);
    label.setGeometry(10, 10, 120, 24);
    label.setDrawBorder(false);
    label.setBackgroundColor(Qt::yellow);
    QImage image = back.grab().toImage();
    QVERIFY(same(image.pixelColor(10, 10), Qt::yellow));

    label.setDrawBorder(true);
    label.setBorderColor(Qt::blue);
    label.setFillBackground(false);
    image = back.grab().toImage();
    QVERIFY(same(image.pixelColor(10, 10), Qt::blue));
    QVERIFY(same(image.pixelColor(60, 20), Qt::red));
}

void TestKitLabel::extraFormatMovesTheText() {
    Backdrop back;
    CVornLabel label(QStringLiteral("MMMM"), &back);
    label.setGeometry(0, 0, 200, 30);
    label.setTextColor(Qt::blue);
    QFont font = label.font();
    font.setPixelSize(16);
    label.setFont(font);
    QPair<int, int> ink = inkLeftRight(label.grab().toImage(), Qt::blue);
    QVERIFY(ink.first > 0);
    QCOMPARE(ink.second, 0);

    label.setExtraFormat(Qt::AlignRight);
    ink = inkLeftRight(label.grab().toImage(), Qt::blue);
    QCOMPARE(ink.first, 0);
    QVERIFY(ink.second > 0);
}

QTEST_MAIN(TestKitLabel)
#include "test_label.moc"
