#include "ui/cards/CardDialog.h"

#include <QCloseEvent>
#include <QShowEvent>

#include "ui/common/ModalRun.h"

namespace quenlor {

CardDialog::CardDialog(QWidget* mainWindow, QWidget* parent)
    : QDialog(parent), mainWindow_(mainWindow) {}

void CardDialog::ok() {
    hide();
}

bool CardDialog::showModal() {
    return RunModal(*this, running_);
}

void CardDialog::showEvent(QShowEvent* event) {
    mainWindow_.place(*this);
    QDialog::showEvent(event);
    if (!event->spontaneous())
        shown();
}

void CardDialog::closeEvent(QCloseEvent* event) {
    if (!mainWindow_.programEnding()) {
        event->ignore();
        ok();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace quenlor
