#include "frame/aboutview.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "frame/look.h"
#include "frame/startoptions.h"
#include "res/commandids.h"
#include "res/strings.h"

namespace vorn::ui {

QString CAboutView::aboutText() {
    // The version a shop owner reads out to support, and the folder to back up:
    // the store lives in the current directory, which start-up made the data folder.
    return caption(cmd::AboutText) +
           QStringLiteral("\n\n版本：%1\n数据文件夹：%2")
               .arg(programVersion(), QDir::toNativeSeparators(QDir::currentPath()));
}

CAboutView::CAboutView(Shell& shell, QWidget* parent) : CPage(shell, parent) {
    setObjectName(QStringLiteral("aboutView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("aboutText"));
    text_->setReadOnly(true);
    text_->setFrameShape(QFrame::StyledPanel);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setFont(aboutFont());
    text_->setPlainText(aboutText());
    layout->addWidget(text_);
}

} // namespace vorn::ui
