#include "ui/OutputStatistics.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <cmath>
#include <cstdio>

#include "core/NumberFormat.h"

namespace quenlor {

namespace {

constexpr std::array<const char*, 4> kHeadings{"Mean", "Std Dev", "Min", "Max"};
constexpr std::array<const char*, 4> kNames{"lblMean", "lblStdDev", "lblMin", "lblMax"};

// Three significant digits: the noise of a row is often far below the
// readout's last decimal.
std::string FormatDeviation(double value, const std::string& decimalSeparator) {
    char text[32];
    std::snprintf(text, sizeof text, value < 0.001 && value > 0 ? "%.2e" : "%.3g", value);
    std::string out(text);
    if (const auto dot = out.find('.'); dot != std::string::npos)
        out.replace(dot, 1, decimalSeparator);
    return out;
}

void SetIfChanged(QLabel& label, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (label.text() != shown)
        label.setText(shown);
}

}  // namespace

OutputStatistics::OutputStatistics(QGridLayout& grid, int firstColumn, QWidget* parent) {
    for (std::size_t c = 0; c < 4; ++c) {
        auto* heading = new QLabel(QString::fromLatin1(kHeadings[c]), parent);
        grid.addWidget(heading, 0, firstColumn + static_cast<int>(c), Qt::AlignRight);
    }
    // A fixed size: a label that may change its size makes every new text
    // lay the whole group out again.
    const QFontMetrics metrics(parent->font());
    const QSize size(metrics.horizontalAdvance(QStringLiteral("-0000.000")) + 4,
                     metrics.height() + 2);
    for (std::size_t i = 1; i <= 8; ++i) {
        for (std::size_t c = 0; c < 4; ++c) {
            auto* label = new QLabel(parent);
            label->setObjectName(QStringLiteral("%1_%2").arg(kNames[c]).arg(i));
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            label->setFixedSize(size);
            grid.addWidget(label, static_cast<int>(i), firstColumn + static_cast<int>(c));
            labels_[i][c] = label;
        }
    }
    resetButton_ = new QPushButton(QStringLiteral("Reset"), parent);
    resetButton_->setObjectName(QStringLiteral("cmdResetStats"));
    resetButton_->setToolTip(QStringLiteral("Start the statistics afresh"));
    grid.addWidget(resetButton_, 9, firstColumn, 1, 4);
    QObject::connect(resetButton_, &QPushButton::clicked, parent, [this] { Reset(); });
}

void OutputStatistics::Show(const std::string& sep) {
    for (std::size_t i = 1; i <= 8; ++i)
        ShowRow(i, sep);
}

void OutputStatistics::ShowRow(std::size_t i, const std::string& sep) {
    const RunningStatistics& s = stats_[i];
    const bool any = s.Count() > 0;
    SetIfChanged(*labels_[i][0], any ? FormatFixed0_0hh(s.Mean(), sep) : "");
    SetIfChanged(*labels_[i][1], any ? FormatDeviation(s.StdDev(), sep) : "");
    SetIfChanged(*labels_[i][2], any ? FormatFixed0_0hh(s.Min(), sep) : "");
    SetIfChanged(*labels_[i][3], any ? FormatFixed0_0hh(s.Max(), sep) : "");
}

void OutputStatistics::Reset() {
    for (RunningStatistics& s : stats_)
        s.Reset();
    for (std::size_t i = 1; i <= 8; ++i)
        for (QLabel* label : labels_[i])
            label->clear();
}

}  // namespace quenlor
