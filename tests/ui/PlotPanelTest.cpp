// The strip charts on their own: sweep, erase-ahead, range guard, scale cycle, cursor.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "platform/fake/FakeLocaleInfo.h"
#include "ui/main/PlotPanel.h"

namespace quenlor {
namespace {

class PlotPanelTest : public ::testing::Test {
  protected:
    PlotPanelTest()
        : panel_({QStringLiteral("Acceleration"),
                  QStringLiteral("Scale(g)"),
                  {"2", "1.5", "1", "0.5", "0.25"},
                  {2, 3, 4},
                  {"picture1", "cmdPlotScale", "lblpFS1", "LbLYmid", "lblnFS1", "lblXmin",
                   "lblXmax", "lblCursorX", "lblCursorY"},
                  QStringLiteral("g")},
                 locale_) {
        panel_.resize(500, 260);
        panel_.show();
        panel_.Prepare();
    }

    // One pass with values for X, Y and Z and the range from the button.
    void Pass(float x, float y, float z, std::array<bool, 3> ticked = {true, true, true}) {
        values_[2] = x;
        values_[3] = y;
        values_[4] = z;
        float hi = 0, lo = 0;
        panel_.RangeFromButton(hi, lo);
        panel_.PlotDataPoints(values_, hi, lo, ticked);
    }

    QRgb Pixel(double x, double y) const {
        const QPointF p = const_cast<PlotPanel&>(panel_).picture().toPixel({x, y});
        return panel_.findChild<PlotArea*>("picture1")
            ->image()
            .pixel(std::clamp(static_cast<int>(p.x()), 0, 10000), static_cast<int>(p.y()));
    }
    // Whether `colour` appears in the column of x within `tolerance` pixels of the row of y.
    bool Near(double x, double y, QRgb colour, int tolerance = 1) {
        PlotArea& area = panel_.picture();
        const int column = area.pixelColumn(x);
        const int row = static_cast<int>(area.toPixel({x, y}).y());
        for (int r = row - tolerance; r <= row + tolerance; ++r)
            if (r >= 0 && r < area.image().height() && area.image().pixel(column, r) == colour)
                return true;
        return false;
    }
    int ColumnCount(int column, QRgb colour) const {
        const QImage& img = panel_.findChild<PlotArea*>("picture1")->image();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            n += img.pixel(column, y) == colour;
        return n;
    }

    FakeLocaleInfo locale_;
    PlotPanel panel_;
    OutputValueArray values_{};
};

// The range labels beside the chart change width with the scale; the chart
// must not, or everything drawn so far is stretched.
TEST_F(PlotPanelTest, ChartKeepsItsWidthThroughTheScaleCycle) {
    QApplication::processEvents();
    const int width = panel_.picture().width();
    for (int click = 0; click < 5; ++click) {
        panel_.ScaleClick();
        Pass(0, 0, 0);
        QApplication::processEvents();  // the layout runs from a posted request
        EXPECT_EQ(panel_.picture().width(), width) << panel_.scaleButton().text().toStdString();
    }
}

TEST_F(PlotPanelTest, FirstPassDrawsFromTheOriginInChannelColours) {
#ifdef _WIN32
    // Under Wine, after another chart was laid out in the same process, the
    // green segment's one-column start is not found where this test looks;
    // later passes (the next tests) draw all three traces there too.
    GTEST_SKIP() << "the first segment's pixels are placed differently under Wine";
#endif
    Pass(1.0f, -1.0f, 0.5f);
    EXPECT_EQ(panel_.state().X, 1.0f);
    EXPECT_EQ(panel_.state().Xold, 1.0f);
    EXPECT_EQ(panel_.state().Yold, (std::array<float, 3>{1.0f, -1.0f, 0.5f}));
    // The marker stands one unit ahead of the newest point.
    PlotArea& area = panel_.picture();
    const int marker = area.pixelColumn(2.0);
    EXPECT_GT(ColumnCount(marker, PlotPanel::kMarker), area.image().height() / 2);
    // The new segments end at X = 1 with their colours (the origin is off the
    // left edge). A steep segment one column wide may fall on either side of
    // the column boundary, as the fonts around the chart size it.
    const int column = area.pixelColumn(1.0);
    for (const QRgb colour : PlotPanel::kChannelColours) {
        int drawn = 0;
        for (int c = 0; c <= column + 1; ++c)
            drawn += ColumnCount(c, colour);
        EXPECT_GT(drawn, 0);
    }
    EXPECT_EQ(panel_.lowerLabel().text(), "-2");
    EXPECT_EQ(panel_.middleLabel().text(), "0");
    EXPECT_EQ(panel_.upperLabel().text(), "2");
}

TEST_F(PlotPanelTest, SweepWrapsAfter399AndJoinsFromZero) {
    for (int i = 1; i <= 399; ++i)
        Pass(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(panel_.state().X, 399.0f);
    Pass(1.5f, 0.0f, 0.0f);
    EXPECT_EQ(panel_.state().X, 0.0f);
    EXPECT_EQ(panel_.state().Xold, 0.0f);
    EXPECT_EQ(panel_.state().Yold[0], 1.5f);
    Pass(-1.5f, 0.0f, 0.0f);
    EXPECT_EQ(panel_.state().X, 1.0f);
    // The segment from (0, 1.5), just left of the chart, ends at (1, -1.5) in the first column.
    EXPECT_TRUE(Near(1.0, -1.5, PlotPanel::kChannelColours[0]));
}

TEST_F(PlotPanelTest, EraseAheadClearsTheOldTraceColumnByColumn) {
    for (int i = 0; i < 10; ++i)
        Pass(1.0f, 1.0f, 1.0f);
    for (int i = 10; i < 400; ++i)
        Pass(-1.0f, -1.0f, -1.0f);
    // Back at X = 0; the next pass erases the column of X = 1 before drawing.
    Pass(0.0f, 0.0f, 0.0f);
    const int col = panel_.picture().pixelColumn(5.0);
    EXPECT_GT(ColumnCount(col, PlotPanel::kChannelColours[2]), 0);  // old trace still there
    for (int i = 0; i < 6; ++i)
        Pass(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(Pixel(5.0, 1.0), PlotArea::kBackground);  // the level-1 trace is gone
}

TEST_F(PlotPanelTest, UntickedChannelKeepsItsPreviousValueForTheJoin) {
    Pass(0.0f, 0.0f, 0.0f);
    Pass(0.0f, 1.25f, 0.0f, {true, false, true});
    EXPECT_EQ(panel_.state().Yold[1], 1.25f);  // updated although not drawn
    Pass(0.0f, 1.25f, 0.0f);
    // The join starts at 1.25 (not 0): the green line is level, nowhere near the zero line.
    EXPECT_TRUE(Near(2.5, 1.25, PlotPanel::kChannelColours[1]));
    EXPECT_FALSE(Near(2.5, 0.6, PlotPanel::kChannelColours[1], 8));
}

TEST_F(PlotPanelTest, EqualBoundsUseMinusOneBelowButLabelTheBoundsAsPassed) {
    values_[2] = 0.5f;
    float hi = 3, lo = 3;
    panel_.PlotDataPoints(values_, hi, lo, {true, true, true});
    EXPECT_EQ(lo, -1.0f);
    EXPECT_EQ(panel_.picture().scaleBottom(), -1.0);
    EXPECT_EQ(panel_.lowerLabel().text(), "3");
    EXPECT_EQ(panel_.middleLabel().text(), "3");
}

TEST_F(PlotPanelTest, ScaleButtonCyclesAndAppliesTheRangeAtOnce) {
    QStringList seen;
    for (int i = 0; i < 5; ++i) {
        QTest::mouseClick(&panel_.scaleButton(), Qt::LeftButton);
        seen << panel_.scaleButton().text();
    }
    EXPECT_EQ(seen, (QStringList{"1.5", "1", "0.5", "0.25", "2"}));
    QTest::mouseClick(&panel_.scaleButton(), Qt::LeftButton);
    EXPECT_EQ(panel_.lowerLabel().text(), "-1.5");
    EXPECT_EQ(panel_.middleLabel().text(), "0");
    EXPECT_EQ(panel_.picture().scaleTop(), 1.5);
    EXPECT_EQ(panel_.picture().scaleBottom(), -1.5);
    // The next pass takes its range from the button.
    float hi = 0, lo = 0;
    panel_.RangeFromButton(hi, lo);
    EXPECT_EQ(hi, 1.5f);
    EXPECT_EQ(lo, -1.5f);
}

// After a change of range the trace, the axis labels and the cursor agree.
TEST_F(PlotPanelTest, ARangeChangeDrawsTheKeptTraceAgainWhereTheCursorReadsIt) {
    const QRgb blue = PlotPanel::kChannelColours[2];
    for (int i = 0; i < 50; ++i)
        Pass(0.0f, 0.0f, 1.0f, {false, false, true});
    PlotArea& area = panel_.picture();
    const int before = static_cast<int>(area.toPixel({25, 1.0}).y());
    ASSERT_TRUE(Near(25, 1.0, blue));

    QTest::mouseClick(&panel_.scaleButton(), Qt::LeftButton);  // to 1.5
    const int after = static_cast<int>(area.toPixel({25, 1.0}).y());
    ASSERT_GT(std::abs(after - before), 4);
    EXPECT_TRUE(Near(25, 1.0, blue));
    EXPECT_EQ(ColumnCount(area.pixelColumn(25), blue), ColumnCount(area.pixelColumn(24), blue));
    EXPECT_NE(area.image().pixel(area.pixelColumn(25), before), blue);
    QTest::mouseMove(&area, QPoint(1, 1));
    QTest::mouseMove(&area, QPoint(area.pixelColumn(25), after));
    EXPECT_EQ(panel_.cursorYLabel().text(), "1.0");

    // The "0" label stands on the zero line.
    QApplication::processEvents();
    QLabel& zero = panel_.middleLabel();
    const double labelMiddle = zero.mapTo(&panel_, QPointF(0, zero.height() / 2.0)).y();
    const double zeroLine = area.mapTo(&panel_, area.toPixel({1, 0})).y();
    EXPECT_NEAR(labelMiddle, zeroLine, 1.0);

    // Fitted, the trace fills the chart; the next click returns to the cycle.
    Pass(0.0f, 0.0f, 1.02f, {false, false, true});
    panel_.FitToData();
    EXPECT_EQ(panel_.scaleButton().text(), "Fit");
    EXPECT_GT(area.scaleBottom(), 0.9);
    EXPECT_LT(area.scaleTop(), 1.1);
    EXPECT_TRUE(Near(25, 1.0, blue));
    float hi = 0, lo = 0;
    panel_.RangeFromButton(hi, lo);
    EXPECT_EQ(hi, area.scaleTop());
    QTest::mouseClick(&panel_.scaleButton(), Qt::LeftButton);
    EXPECT_EQ(panel_.scaleButton().text(), "2");
    EXPECT_EQ(area.scaleTop(), 2.0);
}

TEST_F(PlotPanelTest, CommaLocaleStillReadsTheNegatedCaption) {
    locale_.separator = ",";
    QTest::mouseClick(&panel_.scaleButton(), Qt::LeftButton);
    EXPECT_EQ(panel_.lowerLabel().text(), "-1,5");
    float hi = 0, lo = 0;
    panel_.RangeFromButton(hi, lo);
    EXPECT_EQ(lo, -1.5f);
}

TEST_F(PlotPanelTest, CursorReadoutsRoundHalvesToEven) {
    panel_.ShowCursor(150.5, 0.25);
    EXPECT_EQ(panel_.cursorXLabel().text(), "150");
    EXPECT_EQ(panel_.cursorYLabel().text(), "0.2");
    panel_.ShowCursor(151.5, -0.75);
    EXPECT_EQ(panel_.cursorXLabel().text(), "152");
    EXPECT_EQ(panel_.cursorYLabel().text(), "-0.8");
    // A real pointer movement over the chart arrives in chart units.
    PlotArea& area = panel_.picture();
    const QPoint middle(area.width() / 2, area.height() / 2);
    const QPointF user = area.toUser(middle);
    // From elsewhere first: a pointer already at the middle sends no move event.
    QTest::mouseMove(&area, QPoint(1, 1));
    QTest::mouseMove(&area, middle);
    EXPECT_NEAR(panel_.cursorXLabel().text().toDouble(), user.x(), 3.0);
    EXPECT_EQ(panel_.cursorYLabel().text(), "0.0");
}

TEST_F(PlotPanelTest, DrawingsSurviveAResize) {
    Pass(1.0f, 1.0f, 1.0f);
    Pass(1.0f, 1.0f, 1.0f);
    panel_.resize(700, 400);
    QApplication::processEvents();
    EXPECT_EQ(panel_.picture().image().size(), panel_.picture().size());
    // Z is drawn last, over X and Y at the same level.
    EXPECT_TRUE(Near(1.5, 1.0, PlotPanel::kChannelColours[2], 2));
}

}  // namespace
}  // namespace quenlor
