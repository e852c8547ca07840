#pragma once

#include <QGroupBox>
#include <QString>
#include <array>
#include <cstdint>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quenlor {

// The "SPI Setup" group of the card debug window: the static chip-select bits,
// the channel, the delay between words and the data input polarity.
class UsbSpiPanel : public QGroupBox {
    Q_OBJECT
  public:
    explicit UsbSpiPanel(QWidget* parent = nullptr);

    QPushButton& readBitsButton() { return *cmdReadBits; }
    QPushButton& setBitsButton() { return *cmdSetSpiBits; }
    QPushButton& readDelayButton() { return *cmdReadDelay; }
    QPushButton& polarityButton() { return *cmdPolarity; }
    // Channel 1..4 checked; any other leaves the options alone.
    void showChannel(int channel);
    // The polarity button reads "Pos" or "Neg".
    bool positivePolarity() const;
    void showPolarity(bool positive);

    void clearBits();
    // CS2..CS5 are bits 3..6 of the static bits.
    void showBits(std::uint8_t bits);
    std::uint8_t checkedBits() const;
    QString delayText() const;
    void showDelay(int delay);

  signals:
    void channelClicked(int channel);
    // The Enter key in the delay box.
    void delayEntered();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void addStaticBits();
    void addChannels();

    QGroupBox* frameSpiStatic = nullptr;
    std::array<QCheckBox*, 6> chkStaticBits{};  // 2..5
    QPushButton* cmdReadBits = nullptr;
    QPushButton* cmdSetSpiBits = nullptr;
    QGroupBox* frameSpiChan = nullptr;
    std::array<QRadioButton*, 5> optSpiChan{};  // 1..4
    QLineEdit* txtLoopDelay = nullptr;
    QPushButton* cmdReadDelay = nullptr;
    QPushButton* cmdPolarity = nullptr;
};

}  // namespace quenlor
