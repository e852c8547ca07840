#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPoint>
#include <QPushButton>
#include <QString>
#include <array>
#include <memory>

#include "ui/main/OutputStatistics.h"

class QEvent;
class QPaintEvent;

namespace quenlor {

// The "Output  Registers" group: eight rows of name, value and plot tick, and
// the read button. Index 0 of the arrays is unused, rows are 1..8.
//
// The read loop repaints a value box after every read, and a value box is not
// opaque, so the group's frame below it is repainted each time. The style
// draws that frame from an image file it looks up anew on every paint, so the
// group keeps its own finished background (window colour, frame and title)
// and paints from that copy. As it paints every pixel, it is opaque, and
// nothing behind it is repainted either.
class OutputPanel : public QGroupBox {
    Q_OBJECT
  public:
    explicit OutputPanel(QWidget* parent = nullptr);

    QLabel& lblReadReg(int i) { return *names_[static_cast<std::size_t>(i)]; }
    QLineEdit& txtReadReg(int i) { return *values_[static_cast<std::size_t>(i)]; }
    QCheckBox& ck(int i) { return *ticks_[static_cast<std::size_t>(i)]; }
    QPushButton& cmdReadData() { return *readButton_; }
    OutputStatistics& statistics() { return *statistics_; }

    // Marks row i's value as a measurement or as a number that is not one
    // (greyed, with a tool tip); only a change touches the box.
    void setLive(int i, bool live);
    bool isLive(int i) const { return live_[static_cast<std::size_t>(i)]; }

    static constexpr QRgb kStaleText = qRgb(150, 150, 150);
    static constexpr QRgb kStaleBase = qRgb(226, 226, 226);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // The nearest widget up the chain that paints a background: it shows
    // through wherever the group paints nothing.
    QWidget& backdrop();
    bool backgroundCurrent();
    void renderBackground();

    std::array<QLabel*, 9> names_{};
    std::array<QLineEdit*, 9> values_{};
    std::array<QCheckBox*, 9> ticks_{};
    std::array<bool, 9> live_{};
    QPushButton* readButton_;
    std::unique_ptr<OutputStatistics> statistics_;
    QPixmap background_;
    QString backgroundTitle_;
    QPoint backgroundOffset_;
};

}  // namespace quenlor
