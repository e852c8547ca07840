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
// The read loop adds each value as it reads it, which is plain arithmetic.
// Formatting and repainting 32 labels costs more than a pass's own work, so
// while the loop runs each row's figures are shown a few times a second (by
// the monotonic clock, not per pass), and all once more when it ends.
class OutputStatistics {
  public:
    // Puts the column headings in row 0 and the figures in rows 1..8 of
    // `grid` from `firstColumn` on, and the reset button under them in row 9.
    OutputStatistics(QGridLayout& grid, int firstColumn, QWidget* parent);

    void Add(int row, double value) {
        if (!paused_)
            stats_[static_cast<std::size_t>(row)].Add(value);
    }
    // Shows the next row's figures when an eighth of kShowEveryNs has gone by
    // on the monotonic clock since a row was last shown; true if it did. The
    // read loop's window calls it when it may repaint: a row's four labels
    // cost about what a pass has to spare, all 32 at once would cost a sample.
    bool ShowNextRowIfDue(std::int64_t nowNs, const std::string& decimalSeparator) {
        if (paused_ || nowNs - shownAtNs_ < kShowEveryNs / 8)
            return false;
        shownAtNs_ = nowNs;
        ShowRow(nextRow_, decimalSeparator);
        nextRow_ = nextRow_ % 8 + 1;
        return true;
    }
    // How often each row's figures are refreshed while the loop runs.
    static constexpr std::int64_t kShowEveryNs = 250'000'000;
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
    std::int64_t shownAtNs_ = 0;
    std::size_t nextRow_ = 1;
    bool paused_ = false;
};

}  // namespace quenlor
