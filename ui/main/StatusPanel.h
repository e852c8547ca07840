#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <array>
#include <cstdint>

namespace quenlor {

// The "Status Register" group: twelve rows of bit name and coloured state.
class StatusPanel : public QGroupBox {
    Q_OBJECT
  public:
    static constexpr QRgb kRed = qRgb(255, 0, 0);
    static constexpr QRgb kYellow = qRgb(255, 255, 0);
    static constexpr QRgb kGreen = qRgb(0, 255, 0);
    static constexpr QRgb kTitleBackground = qRgb(224, 224, 224);
    static constexpr QRgb kStale = qRgb(200, 200, 200);
    static constexpr QRgb kStaleText = qRgb(120, 120, 120);

    explicit StatusPanel(QWidget* parent = nullptr);

    void ShowNames();
    // Decodes bits 0..11 of the status register value.
    void ShowValue(std::int32_t value);
    // Shows the rows as a reading or as a value that is not one (grey rows,
    // their texts kept); only a change repaints them.
    void setLive(bool live);
    bool isLive() const { return live_; }

    QPushButton& CmdReadStatus() { return *readButton_; }
    QPushButton& cmdClearStatus() { return *clearButton_; }
    QLabel& LBLAtitle(int bit) { return *titles_[static_cast<std::size_t>(bit)]; }
    QLabel& LbLAbit(int bit) { return *bits_[static_cast<std::size_t>(bit)]; }
    // Background colour of a state label, as last set.
    QRgb bitColour(int bit) const { return colours_[static_cast<std::size_t>(bit)]; }

  private:
    static void setBackground(QLabel& label, QRgb colour, QRgb text = qRgb(0, 0, 0));
    void paintBit(std::size_t b);

    QPushButton* readButton_;
    QPushButton* clearButton_;
    std::array<QLabel*, 12> titles_{};
    std::array<QLabel*, 12> bits_{};
    std::array<QRgb, 12> colours_{};
    bool live_ = true;
};

}  // namespace quenlor
