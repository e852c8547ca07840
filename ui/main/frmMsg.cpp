#include "ui/main/frmMsg.h"

#include <QVBoxLayout>

#include "platform/MessageBoxes.h"

namespace quenlor {

frmMsg::frmMsg(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmMsg"));
    setWindowTitle(QString::fromLatin1(kAppTitle) + QStringLiteral("  Message"));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("txtMsg"));
    text_->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    resize(320, 160);
}

}  // namespace quenlor
