#pragma once

#include <QDialog>

#include "ui/cards/MainWindowLink.h"

class QCloseEvent;
class QShowEvent;

namespace quenlor {

// What the two card windows share: created once, then shown modally and
// hidden; placed on the main window when first shown; their close box acts
// as "OK" until the program ends.
class CardDialog : public QDialog {
    Q_OBJECT

  public:
    // Hides the window; its contents stay.
    void ok();
    // Shows the window modally; see RunModal. False when it was only shown
    // again because its earlier showing is still running.
    bool showModal();

  protected:
    CardDialog(QWidget* mainWindow, QWidget* parent);

    // Each time the program (not the window system) shows the window.
    virtual void shown() = 0;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    MainWindowLink mainWindow_;

  private:
    bool running_ = false;
};

}  // namespace quenlor
