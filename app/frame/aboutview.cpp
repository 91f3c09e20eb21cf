#include "frame/aboutview.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "frame/look.h"
#include "res/commandids.h"
#include "res/strings.h"

namespace vorn::ui {

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
    text_->setPlainText(caption(cmd::AboutText));
    layout->addWidget(text_);
}

} // namespace vorn::ui
