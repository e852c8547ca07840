#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

namespace quenlor {

// The "Output  Registers" group: eight rows of name, value and plot tick, and
// the read button. Index 0 of the arrays is unused, rows are 1..8.
class OutputPanel : public QGroupBox {
    Q_OBJECT
  public:
    explicit OutputPanel(QWidget* parent = nullptr);

    QLabel& lblReadReg(int i) { return *names_[static_cast<std::size_t>(i)]; }
    QLineEdit& txtReadReg(int i) { return *values_[static_cast<std::size_t>(i)]; }
    QCheckBox& ck(int i) { return *ticks_[static_cast<std::size_t>(i)]; }
    QPushButton& cmdReadData() { return *readButton_; }

  private:
    std::array<QLabel*, 9> names_{};
    std::array<QLineEdit*, 9> values_{};
    std::array<QCheckBox*, 9> ticks_{};
    QPushButton* readButton_;
};

}  // namespace quenlor
