#pragma once

#include <QLabel>
#include <QPushButton>
#include <array>
#include <cstdint>
#include <string>

#include "core/RunningStatistics.h"

class QGridLayout;

namespace quenlor {

// Mean, standard deviation, minimum and maximum of each output row since the
// loop started or since "Reset", in four columns beside the rows' values.
// The window adds every measured value the read loop produced and shows all
// rows at once, at the screen's pace, beside the boxes of the same pass.
class OutputStatistics {
  public:
    // Puts the column headings in row 0 and the figures in rows 1..8 of
    // `grid` from `firstColumn` on, and the reset button under them in row 9.
    OutputStatistics(QGridLayout& grid, int firstColumn, QWidget* parent);

    void Add(int row, double value) {
        if (!paused_)
            stats_[static_cast<std::size_t>(row)].Add(value);
    }
    // Puts the figures into the labels; a row without values shows blanks.
    void Show(const std::string& decimalSeparator);
    void Reset();
    // Each row's four figures have the decimals of its register's resolution
    // (3 until set), so that a row reads in one form.
    void setDecimals(int row, int decimals) { decimals_[static_cast<std::size_t>(row)] = decimals; }
    // Paused, values are neither counted nor shown: a pass costs what it did
    // without the statistics (the bench's peer).
    void setPaused(bool paused) { paused_ = paused; }

    const RunningStatistics& row(int i) const { return stats_[static_cast<std::size_t>(i)]; }
    QLabel& lblMean(int i) { return *labels_[static_cast<std::size_t>(i)][0]; }
    QLabel& lblStdDev(int i) { return *labels_[static_cast<std::size_t>(i)][1]; }
    QLabel& lblMin(int i) { return *labels_[static_cast<std::size_t>(i)][2]; }
    QLabel& lblMax(int i) { return *labels_[static_cast<std::size_t>(i)][3]; }
    QPushButton& cmdResetStats() { return *resetButton_; }

  private:
    void ShowRow(std::size_t row, const std::string& decimalSeparator);

    std::array<RunningStatistics, 9> stats_{};
    std::array<std::array<QLabel*, 4>, 9> labels_{};
    std::array<int, 9> decimals_{3, 3, 3, 3, 3, 3, 3, 3, 3};
    QPushButton* resetButton_;
    bool paused_ = false;
};

}  // namespace quenlor
