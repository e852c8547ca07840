#include "ui/cards/MainWindowLink.h"

#include <QCoreApplication>

namespace quenlor {

MainWindowLink::MainWindowLink(QWidget* mainWindow)
    : mainWindow_(mainWindow), hadMainWindow_(mainWindow != nullptr) {}

void MainWindowLink::place(QWidget& window) {
    if (placed_ || !mainWindow_ || !mainWindow_->isVisible())
        return;
    window.move(mainWindow_->pos());
    placed_ = true;
}

bool MainWindowLink::programEnding() const {
    if (QCoreApplication::closingDown() || (hadMainWindow_ && !mainWindow_))
        return true;
    return mainWindow_ && mainWindow_->property(kClosingProperty).toBool();
}

}  // namespace quenlor
