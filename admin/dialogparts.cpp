#include "dialogparts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace vorn::ui {

QPushButton* makeButton(const QString& text, const char* objectName) {
    auto* b = new QPushButton(text);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setAutoDefault(false);
    return b;
}

QLabel* hint(const QString& text, const char* objectName) {
    auto* l = new QLabel(text);
    l->setObjectName(QString::fromLatin1(objectName));
    l->setWordWrap(true);
    l->setStyleSheet(QStringLiteral("color: #5b6f8a;"));
    return l;
}

QLabel* fieldLabel(const QString& text) {
    auto* l = new QLabel(text);
    l->setObjectName(QStringLiteral("fieldLabel"));
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

} // namespace vorn::ui
