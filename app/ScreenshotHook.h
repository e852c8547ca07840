#pragma once

#include <QObject>
#include <QString>
#include <string>

namespace quenlor {

class frm1;

// For the documentation: starts the read loop, grabs the main window after a
// while into a PNG file and closes the program.
class ScreenshotHook : public QObject {
    Q_OBJECT
  public:
    ScreenshotHook(const std::string& file, int delayMs);
    void arm(frm1& window);
    // True once the image could not be written; the program then exits with an error.
    bool failed() const { return failed_; }

  private:
    QString file_;
    int delayMs_;
    bool failed_ = false;
};

}  // namespace quenlor
