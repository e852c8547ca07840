#pragma once

#include <QObject>
#include <QString>
#include <string>

namespace quenlor {

class frm1;

// For the documentation: starts the read loop (or a Noise Analysis run), grabs
// the main window (or the Noise Analysis window) after a while into a PNG file
// and closes the program.
class ScreenshotHook : public QObject {
    Q_OBJECT
  public:
    ScreenshotHook(const std::string& file, int delayMs, bool noise = false);
    void arm(frm1& window);
    // True once the image could not be written; the program then exits with an error.
    bool failed() const { return failed_; }

  private:
    void armNoise(frm1& window);

    QString file_;
    int delayMs_;
    bool noise_;
    bool failed_ = false;
};

}  // namespace quenlor
