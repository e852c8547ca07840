#include "ui/common/QtCursor.h"

#include <QApplication>
#include <QCursor>

namespace quenlor {

void QtCursor::setBusy(bool busy) {
    // Override cursors stack; keep at most one of ours on the stack.
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace quenlor
