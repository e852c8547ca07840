#include "ui/main/StatusPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>

#include "regmap/StatusRegister.h"

namespace quenlor {

namespace {
constexpr std::size_t kBitCount = kStatusBits.size();
}  // namespace

StatusPanel::StatusPanel(QWidget* parent) : QGroupBox(QStringLiteral("Status Register"), parent) {
    readButton_ = new QPushButton(QStringLiteral("Read Status"), this);
    readButton_->setObjectName(QStringLiteral("CmdReadStatus"));
    readButton_->setToolTip(QStringLiteral("Display the Status Register"));
    clearButton_ = new QPushButton(QStringLiteral("Clear"), this);
    clearButton_->setObjectName(QStringLiteral("cmdClearStatus"));

    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(2);
    for (std::size_t b = 0; b < kBitCount; ++b) {
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
    grid->addLayout(buttons, static_cast<int>(kBitCount), 0, 1, 2);
}

void StatusPanel::setBackground(QLabel& label, QRgb colour, QRgb text) {
    label.setAutoFillBackground(true);
    QPalette p = label.palette();
    p.setColor(QPalette::Window, QColor(colour));
    p.setColor(QPalette::WindowText, QColor(text));
    label.setPalette(p);
}

void StatusPanel::ShowNames() {
    for (std::size_t b = 0; b < kBitCount; ++b)
        titles_[b]->setText(QString::fromLatin1(kStatusBits[b].name));
}

void StatusPanel::ShowValue(std::int32_t value) {
    for (std::size_t b = 0; b < kBitCount; ++b) {
        const bool failure = kStatusBits[b].severity == StatusSeverity::Failure;
        const QRgb colour = !IsStatusBitSet(value, b) ? kGreen : failure ? kRed : kYellow;
        bits_[b]->setText(QString::fromLatin1(StatusStateText(value, b)));
        colours_[b] = colour;
        paintBit(b);
    }
}

void StatusPanel::setLive(bool live) {
    if (live_ == live)
        return;
    live_ = live;
    for (std::size_t b = 0; b < kBitCount; ++b)
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
