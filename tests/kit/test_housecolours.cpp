// The house colours read from the style sheet: the rule is found by its
// selector at the start of a line, the property within that rule only.
#include <QFile>
#include <QtTest>

#include "kit/dialog/housecolours.h"
#include "res/vornres.h"

using namespace vorn::ui;

class TestHouseColours : public QObject {
    Q_OBJECT
private slots:
    void colourOfARule() {
        const QString sheet = QStringLiteral(
            "/* a comment */\nQToolButton#tab, QWidget {\n    color: #111111;\n}\n"
            "QWidget {\n    background: #222222;\n    color: #1e395b;\n}\n"
            "QLabel {\n    border-color: #333333;\n}\n");
        struct Case {
            const char* selector;
            const char* property;
            QColor want;
        };
        const Case cases[] = {
            {"QWidget {", "color", QColor(0x1e, 0x39, 0x5b)},
            {"QWidget {", "background", QColor(0x22, 0x22, 0x22)},
            {"QLabel {", "color", QColor()}, // border-color is another property
            {"QLabel {", "border-color", QColor(0x33, 0x33, 0x33)},
            {"QSlider {", "color", QColor()},
        };
        for (const Case& c : cases)
            QCOMPARE(styleSheetColour(sheet, QString::fromLatin1(c.selector), QString::fromLatin1(c.property)),
                     c.want);
    }

    void houseTextIsTheSheetsWidgetColour() {
        vornInitResources();
        QFile file(QStringLiteral(":/style/office2010blue.qss"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString sheet = QString::fromUtf8(file.readAll());
        const QColor fromSheet = styleSheetColour(sheet, QStringLiteral("QWidget {"), QStringLiteral("color"));
        QVERIFY(fromSheet.isValid());
        QCOMPARE(houseTextColour(), fromSheet);
    }
};

QTEST_MAIN(TestHouseColours)
#include "test_housecolours.moc"
