#pragma once

#include <QPlainTextEdit>
#include <QWidget>

namespace quenlor {

// The small start-up message window, shown while the delay is calibrated.
class frmMsg : public QWidget {
    Q_OBJECT
  public:
    explicit frmMsg(QWidget* parent = nullptr);

    QPlainTextEdit& txtMsg() { return *text_; }

  private:
    QPlainTextEdit* text_;
};

}  // namespace quenlor
