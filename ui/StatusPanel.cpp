#include "ui/StatusPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>

namespace quenlor {

namespace {
struct BitRow {
    const char* name;
    const char* whenSet;
    QRgb colour;
};

constexpr std::array<BitRow, 12> kBits{{
    {"Supply < 3.150 V", "FAIL", StatusPanel::kRed},
    {"Supply > 3.625 V", "FAIL", StatusPanel::kRed},
    {"Flash Update Failure", "FAIL", StatusPanel::kRed},
    {"SPI Comm Failure", "FAIL", StatusPanel::kRed},
    {"Capture Period Violation", "FAIL", StatusPanel::kRed},
    {"Self-test Diagnostic", "FAIL", StatusPanel::kRed},
    {"Flash Memory Failure", "FAIL", StatusPanel::kRed},
    {"Data Ready", "SET", StatusPanel::kYellow},
    {"Alarm X", "SET", StatusPanel::kYellow},
    {"Alarm Y", "SET", StatusPanel::kYellow},
    {"Alarm Z", "SET", StatusPanel::kYellow},
    {"System Alarm", "SET", StatusPanel::kYellow},
}};
}  // namespace

StatusPanel::StatusPanel(QWidget* parent) : QGroupBox(QStringLiteral("Status Register"), parent) {
    readButton_ = new QPushButton(QStringLiteral("Read Status"), this);
    readButton_->setObjectName(QStringLiteral("CmdReadStatus"));
    readButton_->setToolTip(QStringLiteral("Display the Status Register"));
    clearButton_ = new QPushButton(QStringLiteral("Clear"), this);
    clearButton_->setObjectName(QStringLiteral("cmdClearStatus"));

    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(2);
    for (std::size_t b = 0; b < kBits.size(); ++b) {
        auto* title = new QLabel(this);
        title->setObjectName(QStringLiteral("LBLAtitle_%1").arg(b));
        title->setMinimumWidth(170);
        setBackground(*title, kTitleBackground);
        auto* state = new QLabel(this);
        state->setObjectName(QStringLiteral("LbLAbit_%1").arg(b));
        state->setAlignment(Qt::AlignCenter);
        state->setMinimumWidth(50);
        titles_[b] = title;
        bits_[b] = state;
        grid->addWidget(title, static_cast<int>(b), 0);
        grid->addWidget(state, static_cast<int>(b), 1);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(readButton_);
    buttons->addWidget(clearButton_);
    grid->addLayout(buttons, static_cast<int>(kBits.size()), 0, 1, 2);
}

void StatusPanel::setBackground(QLabel& label, QRgb colour, QRgb text) {
    label.setAutoFillBackground(true);
    QPalette p = label.palette();
    p.setColor(QPalette::Window, QColor(colour));
    p.setColor(QPalette::WindowText, QColor(text));
    label.setPalette(p);
}

void StatusPanel::ShowNames() {
    for (std::size_t b = 0; b < kBits.size(); ++b)
        titles_[b]->setText(QString::fromLatin1(kBits[b].name));
}

void StatusPanel::ShowValue(std::int32_t value) {
    for (std::size_t b = 0; b < kBits.size(); ++b) {
        const bool set = (value & (1 << b)) != 0;
        const QRgb colour = set ? kBits[b].colour : kGreen;
        bits_[b]->setText(set ? QString::fromLatin1(kBits[b].whenSet) : QStringLiteral("OK"));
        colours_[b] = colour;
        paintBit(b);
    }
}

void StatusPanel::setLive(bool live) {
    if (live_ == live)
        return;
    live_ = live;
    for (std::size_t b = 0; b < kBits.size(); ++b)
        paintBit(b);
}

void StatusPanel::paintBit(std::size_t b) {
    if (bits_[b]->text().isEmpty())  // nothing decoded yet
        return;
    if (live_)
        setBackground(*bits_[b], colours_[b]);
    else
        setBackground(*bits_[b], kStale, kStaleText);
}

}  // namespace quenlor
