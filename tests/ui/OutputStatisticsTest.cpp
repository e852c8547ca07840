// The statistics beside the readout, against the values the read loop read.

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/NumberFormat.h"
#include "tests/ui/UiRig.h"
#include "ui/main/OutputPanel.h"
#include "ui/main/frm1.h"

namespace quenlor {
namespace {

class OutputStatisticsTest : public ::testing::Test {
  protected:
    OutputStatisticsTest() { window.Form_Load(); }
    OutputStatistics& stats() { return window.outputs().statistics(); }
    // A figure of row i as the row shows all four: at its register's resolution.
    std::string Shown(int i, double value) {
        const float scale = rig.stack().registerTable()[static_cast<std::int16_t>(i)].RegScale;
        return FormatFixedDecimals(value, ResolutionDecimals(scale));
    }

    UiRig rig{{InterfaceUsb, true, false}};
    frm1 window{rig.ctx()};
};

double MeanOf(const std::vector<double>& v, std::size_t n) {
    double sum = 0;
    for (std::size_t k = 0; k < n; ++k)
        sum += v[k];
    return sum / static_cast<double>(n);
}

TEST_F(OutputStatisticsTest, FiguresMatchTheValuesThePassesRead) {
    stats().cmdResetStats().click();
    EXPECT_EQ(stats().lblMean(1).text(), "");
    std::vector<std::vector<double>> read(9);
    for (int pass = 0; pass < 50; ++pass) {
        window.ReadLoop();
        for (int i = 1; i <= 8; ++i)
            read[static_cast<std::size_t>(i)].push_back(
                window.OutputValues()[static_cast<std::size_t>(i)].value_or(0.0f));
    }
    bool anySpread = false;
    for (int i = 1; i <= 8; ++i) {
        const auto& v = read[static_cast<std::size_t>(i)];
        const double mean = MeanOf(v, v.size());
        double squares = 0;
        for (const double x : v)
            squares += (x - mean) * (x - mean);
        const double sd = std::sqrt(squares / static_cast<double>(v.size() - 1));
        anySpread = anySpread || sd > 0;
        const RunningStatistics& s = stats().row(i);
        EXPECT_EQ(s.Count(), 50);
        EXPECT_NEAR(s.Mean(), mean, 1e-9 + 1e-12 * std::abs(mean)) << i;
        EXPECT_NEAR(s.StdDev(), sd, 1e-9 + 1e-9 * sd) << i;
        EXPECT_EQ(s.Min(), *std::min_element(v.begin(), v.end())) << i;
        EXPECT_EQ(s.Max(), *std::max_element(v.begin(), v.end())) << i;
        EXPECT_EQ(stats().lblMean(i).text().toStdString(), Shown(i, MeanOf(v, v.size()))) << i;
        EXPECT_EQ(stats().lblMax(i).text().toStdString(),
                  Shown(i, *std::max_element(v.begin(), v.end())))
            << i;
        // The deviation in the same form: as many decimals as the mean.
        const std::string deviation = stats().lblStdDev(i).text().toStdString();
        const std::string meanText = stats().lblMean(i).text().toStdString();
        EXPECT_EQ(deviation.size() - deviation.find('.'), meanText.size() - meanText.find('.'))
            << deviation;
    }
    EXPECT_TRUE(anySpread);  // the simulated sensor is noisy, so the deviations are tested
}

TEST_F(OutputStatisticsTest, StartingTheLoopAndResetBeginAfresh) {
    window.ReadLoop();
    ASSERT_EQ(stats().row(2).Count(), 2);  // the load's pass and this one
    // Started by the button and stopped inside its first pass: one pass of its own.
    QTimer stopper;
    int fired = 0;
    QObject::connect(&stopper, &QTimer::timeout, [&] {
        if (++fired == 2) {
            stopper.stop();
            window.outputs().cmdReadData().click();
        }
    });
    stopper.start(0);
    rig.sensor().setSampleRate(0.001);  // no sample comes: the pass waits for the click
    window.outputs().cmdReadData().click();
    EXPECT_EQ(stats().row(2).Count(), 1);
    EXPECT_EQ(stats().lblMin(2).text().toStdString(),
              Shown(2, window.OutputValues()[2].value_or(0.0f)));
    stats().cmdResetStats().click();
    EXPECT_EQ(stats().row(2).Count(), 0);
    EXPECT_EQ(stats().lblMin(2).text(), "");
}

// A number read with no interface is not a measurement: it is shown (grey)
// but not counted, and the statistics stay blank rather than show its figures.
TEST(OutputStatisticsWithoutInterface, CountOnlyMeasurements) {
    UiRig rig{{InterfaceNone, false, false}};
    frm1 window{rig.ctx()};
    window.Form_Load();
    OutputStatistics& stats = window.outputs().statistics();
    EXPECT_FALSE(window.outputs().txtReadReg(1).text().isEmpty());
    EXPECT_FALSE(window.outputs().isLive(1));
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(stats.row(i).Count(), 0) << i;
        EXPECT_EQ(stats.lblMean(i).text(), "") << i;
    }
}

}  // namespace
}  // namespace quenlor
