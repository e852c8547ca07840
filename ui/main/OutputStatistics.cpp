#include "ui/main/OutputStatistics.h"

#include <QFontMetrics>
#include <QGridLayout>

#include "core/NumberFormat.h"

namespace quenlor {

namespace {

constexpr std::array<const char*, 4> kHeadings{"Mean", "Std Dev", "Min", "Max"};
constexpr std::array<const char*, 4> kNames{"lblMean", "lblStdDev", "lblMin", "lblMax"};

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
    const int decimals = decimals_[i];
    SetIfChanged(*labels_[i][0], any ? FormatFixedDecimals(s.Mean(), decimals, sep) : "");
    SetIfChanged(*labels_[i][1], any ? FormatFixedDecimals(s.StdDev(), decimals, sep) : "");
    SetIfChanged(*labels_[i][2], any ? FormatFixedDecimals(s.Min(), decimals, sep) : "");
    SetIfChanged(*labels_[i][3], any ? FormatFixedDecimals(s.Max(), decimals, sep) : "");
}

void OutputStatistics::Reset() {
    for (RunningStatistics& s : stats_)
        s.Reset();
    for (std::size_t i = 1; i <= 8; ++i)
        for (QLabel* label : labels_[i])
            label->clear();
}

}  // namespace quenlor
