#include "kit/page/staging.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

namespace vorn::ui {

QPushButton* plainButton(const QString& text, const char* objectName) {
    auto* b = new QPushButton(text);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

StagingButtons layOutStaging(QDialog* dialog, const StagingSides& sides) {
    StagingButtons b;
    b.toList = plainButton(QStringLiteral("<-"), sides.toListName);
    b.fromList = plainButton(QStringLiteral("->"), sides.fromListName);
    b.save = plainButton(QStringLiteral("保存"), "save");
    b.cancel = plainButton(QStringLiteral("取消"), "cancel");
    QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(b.toList);
    middle->addWidget(b.fromList);
    middle->addStretch();

    auto* top = new QHBoxLayout;
    top->addLayout(sides.list, 1);
    top->addLayout(middle);
    top->addLayout(sides.entry, sides.entryStretch);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(sides.cancelFirst ? b.cancel : b.save);
    bottom->addWidget(sides.cancelFirst ? b.save : b.cancel);

    auto* outer = new QVBoxLayout(dialog);
    outer->addLayout(top);
    outer->addLayout(bottom);
    return b;
}

} // namespace vorn::ui
