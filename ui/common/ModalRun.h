#pragma once

#include <QDialog>
#include <QPointer>

namespace quenlor {

// Runs `dialog` modally and returns when it is hidden: true then. A transfer
// loop started in the dialog keeps its run on the stack after the dialog was
// hidden, and Qt refuses a nested run of the same dialog; while `running` says
// so, the dialog is only shown again (false: the caller is not blocked).
// `running` belongs to the dialog, so it is left alone if the dialog is gone.
inline bool RunModal(QDialog& dialog, bool& running) {
    if (running) {
        dialog.show();
        dialog.raise();
        dialog.activateWindow();
        return false;
    }
    QPointer<QDialog> alive(&dialog);
    running = true;
    dialog.exec();
    if (alive)
        running = false;
    return true;
}

}  // namespace quenlor
