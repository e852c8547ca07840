#pragma once

#include <QLabel>
#include <QPushButton>
#include <array>
#include <string>

#include "core/RunningStatistics.h"

class QGridLayout;

namespace quenlor {

// Mean, standard deviation, minimum and maximum of each output row since the
// loop started or since "Reset", in four columns beside the rows' values.
// The read loop adds each value as it reads it; repainting 32 labels on every
// pass would cost the loop a fifth of its rate, so the figures are shown every
// few passes while it runs and at once when it ends.
class OutputStatistics {
  public:
    // Puts the column headings in row 0 and the figures in rows 1..8 of
    // `grid` from `firstColumn` on, and the reset button under them in row 9.
    OutputStatistics(QGridLayout& grid, int firstColumn, QWidget* parent);

    void Add(int row, double value) { stats_[static_cast<std::size_t>(row)].Add(value); }
    // Called once a pass: shows the figures every kPassesPerShow passes.
    void PassDone(const std::string& decimalSeparator);
    // Puts the figures into the labels; a row without values shows blanks.
    void Show(const std::string& decimalSeparator);
    static constexpr int kPassesPerShow = 8;
    void Reset();

    const RunningStatistics& row(int i) const { return stats_[static_cast<std::size_t>(i)]; }
    QLabel& lblMean(int i) { return *labels_[static_cast<std::size_t>(i)][0]; }
    QLabel& lblStdDev(int i) { return *labels_[static_cast<std::size_t>(i)][1]; }
    QLabel& lblMin(int i) { return *labels_[static_cast<std::size_t>(i)][2]; }
    QLabel& lblMax(int i) { return *labels_[static_cast<std::size_t>(i)][3]; }
    QPushButton& cmdResetStats() { return *resetButton_; }

  private:
    std::array<RunningStatistics, 9> stats_{};
    std::array<std::array<QLabel*, 4>, 9> labels_{};
    QPushButton* resetButton_;
    int passesUnshown_ = 0;
};

}  // namespace quenlor
