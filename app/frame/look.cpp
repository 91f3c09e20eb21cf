#include "frame/look.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>

#include "res/vornres.h"

namespace vorn::ui {

void ensureResources() {
    static const bool done = (vornInitResources(), true);
    (void)done;
}

QString chineseFamily() {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        const char* preferred[] = {"宋体",
                                   "SimSun",
                                   "WenQuanYi Micro Hei",
                                   "Noto Sans CJK SC",
                                   "Noto Sans SC",
                                   "Source Han Sans SC",
                                   "WenQuanYi Zen Hei",
                                   "AR PL UMing CN"};
        for (const char* name : preferred) {
            const QString f = QString::fromUtf8(name);
            if (installed.contains(f, Qt::CaseInsensitive)) return f;
        }
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        return chinese.isEmpty() ? QString() : chinese.first();
    }();
    return family;
}

const QFont& aboutFont() {
    static const QFont font = [] {
        QFont f(chineseFamily());
        f.setPixelSize(18);
        f.setWeight(QFont::Normal);
        f.setStyleHint(QFont::SansSerif);
        return f;
    }();
    return font;
}

QString styleSheet() {
    ensureResources();
    QFile file(QStringLiteral(":/style/office2010blue.qss"));
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll());
}

void applyLook(QApplication& app) {
    ensureResources();
    const QString family = chineseFamily();
    if (!family.isEmpty()) {
        QFont f(family);
        f.setPixelSize(12);
        f.setStyleHint(QFont::SansSerif);
        app.setFont(f);
    }
    app.setStyle(QStringLiteral("Fusion"));
    app.setStyleSheet(styleSheet());
}

} // namespace vorn::ui
