#include "kit/dialog/housecolours.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QRegularExpression>

#include "res/vornres.h"

namespace vorn::ui {

QColor styleSheetColour(const QString& sheet, const QString& selector, const QString& property) {
    // Rules start at the beginning of a line, so "QWidget {" is not found inside
    // "QToolButton#ribbonTab, QWidget {".
    const QRegularExpression rule(QStringLiteral("(^|\\n)") + QRegularExpression::escape(selector));
    const QRegularExpressionMatch at = rule.match(sheet);
    if (!at.hasMatch()) return {};
    const qsizetype end = sheet.indexOf(QLatin1Char('}'), at.capturedEnd());
    const QString body = sheet.mid(at.capturedEnd(), end < 0 ? -1 : end - at.capturedEnd());
    const QRegularExpression decl(QStringLiteral("(^|[;{\\s])") + QRegularExpression::escape(property) +
                                  QStringLiteral("\\s*:\\s*(#[0-9a-fA-F]{6})"));
    const QRegularExpressionMatch m = decl.match(body);
    return m.hasMatch() ? QColor(m.captured(2)) : QColor();
}

QColor houseTextColour() {
    static const QColor colour = [] {
        vornInitResources();
        QFile file(QStringLiteral(":/style/office2010blue.qss"));
        QColor c;
        if (file.open(QIODevice::ReadOnly))
            c = styleSheetColour(QString::fromUtf8(file.readAll()), QStringLiteral("QWidget {"),
                                 QStringLiteral("color"));
        return c.isValid() ? c : QApplication::palette().color(QPalette::Text);
    }();
    return colour;
}

} // namespace vorn::ui
