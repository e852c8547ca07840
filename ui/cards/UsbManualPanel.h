#pragma once

#include <QGroupBox>
#include <QString>
#include <array>
#include <cstdint>

class QLineEdit;
class QPushButton;

namespace quenlor {

// The "Manual Setup" group of the card debug window: up to sixteen words to
// write as hex, their readback, and the Write and Loop buttons.
class UsbManualPanel : public QGroupBox {
    Q_OBJECT
  public:
    using Words = std::array<std::int32_t, 17>;  // 1..16

    explicit UsbManualPanel(QWidget* parent = nullptr);

    QPushButton& writeButton() { return *cmdWriteSpi; }
    QPushButton& loopButton() { return *cmdLoop; }
    QString wordCountText() const;
    void showWordCount(int count);
    // Words 1..count from their boxes (empty is 0), each shown again as the
    // card gets it; the boxes past `count` and every readback are cleared.
    void takeWriteWords(Words& words, int count);
    void showReadWords(const Words& words, int count);

  private:
    QLineEdit* txtNumWords = nullptr;
    std::array<QLineEdit*, 17> txtWriteSpi{};  // 1..16
    std::array<QLineEdit*, 17> txtReadSpi{};   // 1..16
    QPushButton* cmdWriteSpi = nullptr;
    QPushButton* cmdLoop = nullptr;
};

}  // namespace quenlor
