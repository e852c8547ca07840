#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "platform/LocaleInfo.h"
#include "ui/main/OutputValues.h"
#include "ui/main/PlotArea.h"
#include "ui/main/PlotState.h"
#include "ui/main/SweepRecord.h"

namespace quenlor {

// One strip chart with its scale button, range labels and cursor read-outs.
class PlotPanel : public QGroupBox {
    Q_OBJECT
  public:
    // Object names of the panel's controls.
    struct Names {
        QString picture, scaleButton, upper, middle, lower, xmin, xmax, cursorX, cursorY;
    };
    struct Config {
        QString title;
        QString unitCaption;
        QStringList cycle;            // scale button captions; the first is the initial one
        std::array<int, 3> channels;  // OutputValues entries of X, Y and Z
        Names names;
        QString unit;  // of the vertical axis
    };

    PlotPanel(Config config, LocaleInfo& locale, QWidget* parent = nullptr);

    // Initial captions, range and cursor texts.
    void Prepare();
    // The range for this pass from the scale button: copies it to the upper and
    // lower labels and returns their numeric values.
    void RangeFromButton(float& hipk, float& lowpk);
    // One sweep step. `ticked(c)` tells whether channel c (0..2) is drawn.
    void PlotDataPoints(const OutputValueArray& yvalue, float& hipk, float& lowpk,
                        const std::array<bool, 3>& ticked);
    // The next range of the cycle; it applies at once, and the samples on the
    // chart are drawn again in it, so that trace, axis and cursor agree.
    void ScaleClick();
    // Puts the chart on the cycle's entry `caption`; false for one outside it.
    bool SelectScale(const QString& caption);
    // Sets the range to the traces on the chart; the button reads "Fit" until
    // its next click returns to the cycle. Nothing happens on an empty chart.
    void FitToData();
    bool fitted() const { return fit_.has_value(); }
    void ShowCursor(double x, double y);
    // Decimals of the values the chart's CSV holds: its registers' resolution.
    void setDecimals(int decimals) { decimals_ = decimals; }
    int decimals() const { return decimals_; }

    const PlotState& state() const { return state_; }
    // The samples on the chart, as drawn.
    const SweepRecord& sweep() const { return sweep_; }
    const QString& unit() const { return config_.unit; }
    PlotArea& picture() { return *picture_; }
    QPushButton& scaleButton() { return *scaleButton_; }
    QLabel& upperLabel() { return *upper_; }
    QLabel& middleLabel() { return *middle_; }
    QLabel& lowerLabel() { return *lower_; }
    QLabel& cursorXLabel() { return *cursorX_; }
    QLabel& cursorYLabel() { return *cursorY_; }

    static constexpr QRgb kMarker = qRgb(215, 215, 215);
    static constexpr std::array<QRgb, 3> kChannelColours{qRgb(180, 0, 0), qRgb(0, 180, 0),
                                                         qRgb(0, 0, 180)};
    // The legend's names of the channels.
    static constexpr std::array<const char*, 3> kChannelNames{"X", "Y", "Z"};

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Range {
        float top = 0;
        float bottom = 0;
    };
    void ApplyCaption(const QString& caption);
    void ApplyRange(Range range);
    // Draws the chart anew from the samples kept, in the current range.
    void Redraw();
    // The range labels stand at the heights of their values: the middle one
    // on the chart's middle line, which is zero in the cycle's ranges.
    void PlaceAxisLabels();
    QLabel* makeLabel(const QString& name, const QString& text);
    QLayout* makeLegend();
    QWidget* makeAxis();
    // Wide enough for every range label the scale cycle gives.
    int axisWidth() const;
    float captionValue(const QString& text) const;
    QString general(float value) const;

    Config config_;
    LocaleInfo& locale_;
    PlotState state_;
    SweepRecord sweep_;
    PlotArea* picture_;
    QPushButton* scaleButton_;
    QLabel* upper_;
    QLabel* middle_;
    QLabel* lower_;
    QLabel* cursorX_;
    QLabel* cursorY_;
    QWidget* axis_ = nullptr;
    QLabel* unitLabel_ = nullptr;
    std::optional<Range> fit_;
    int decimals_ = 3;
};

}  // namespace quenlor
