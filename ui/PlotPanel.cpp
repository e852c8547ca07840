#include "ui/PlotPanel.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPixmap>
#include <QVBoxLayout>

#include "core/NumberFormat.h"

namespace quenlor {

namespace {
constexpr double kLeft = 1.0;
constexpr double kRight = 400.0;
// Usable width in user units: one unit per sample.
constexpr float kWidthUnits = 399.0f;
}  // namespace

PlotPanel::PlotPanel(Config config, LocaleInfo& locale, QWidget* parent)
    : QGroupBox(config.title, parent), config_(std::move(config)), locale_(locale) {
    const Names& n = config_.names;
    picture_ = new PlotArea(this);
    picture_->setObjectName(n.picture);
    scaleButton_ = new QPushButton(config_.cycle.value(0), this);
    scaleButton_->setObjectName(n.scaleButton);
    scaleButton_->setFixedWidth(48);
    upper_ = makeLabel(n.upper, QString());
    middle_ = makeLabel(n.middle, QString());
    lower_ = makeLabel(n.lower, QString());
    cursorX_ = makeLabel(n.cursorX, QStringLiteral("0"));
    cursorY_ = makeLabel(n.cursorY, QStringLiteral("0.00"));
    for (QLabel* l : {cursorX_, cursorY_}) {
        l->setMinimumWidth(44);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
    }

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(config_.unitCaption, this));
    top->addWidget(scaleButton_);
    top->addStretch();
    top->addLayout(makeLegend());
    top->addStretch();
    top->addWidget(new QLabel(QStringLiteral("Cursor"), this));
    top->addWidget(new QLabel(QStringLiteral("sample"), this));
    top->addWidget(cursorX_);
    top->addWidget(new QLabel(QStringLiteral("value"), this));
    top->addWidget(cursorY_);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(makeLabel(n.xmin, QStringLiteral("0")));
    bottom->addStretch();
    bottom->addWidget(new QLabel(QStringLiteral("sample"), this));
    bottom->addStretch();
    bottom->addWidget(makeLabel(n.xmax, QStringLiteral("400")));

    auto* grid = new QGridLayout(this);
    grid->addLayout(top, 0, 0, 1, 2);
    grid->addLayout(makeAxis(), 1, 0);
    grid->addWidget(picture_, 1, 1);
    grid->addLayout(bottom, 2, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    connect(scaleButton_, &QPushButton::clicked, this, &PlotPanel::ScaleClick);
    connect(picture_, &PlotArea::mouseMovedTo, this, &PlotPanel::ShowCursor);
}

QLabel* PlotPanel::makeLabel(const QString& name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    return l;
}

QLayout* PlotPanel::makeLegend() {
    auto* legend = new QHBoxLayout;
    for (std::size_t c = 0; c < 3; ++c) {
        QPixmap swatch(16, 3);
        swatch.fill(QColor(kChannelColours[c]));
        auto* line = new QLabel(this);
        line->setPixmap(swatch);
        auto* name =
            makeLabel(QStringLiteral("lblLegend_%1").arg(c), QString::fromLatin1(kChannelNames[c]));
        name->setStyleSheet(QStringLiteral("color: %1;").arg(QColor(kChannelColours[c]).name()));
        legend->addWidget(line);
        legend->addWidget(name);
        legend->addSpacing(6);
    }
    return legend;
}

QLayout* PlotPanel::makeAxis() {
    const int width = axisWidth();
    for (QLabel* l : {upper_, middle_, lower_}) {
        // A fixed width: labels that widen with the scale would narrow the
        // chart and stretch what is drawn on it.
        l->setFixedWidth(width);
        l->setAlignment(Qt::AlignRight);
    }
    auto* unit = makeLabel(config_.names.picture + QStringLiteral("Unit"), config_.unit);
    unit->setFixedWidth(width);
    unit->setAlignment(Qt::AlignRight);
    auto* axis = new QVBoxLayout;
    axis->addWidget(upper_, 0, Qt::AlignTop);
    axis->addStretch();
    axis->addWidget(unit);
    axis->addWidget(middle_);
    axis->addStretch();
    axis->addWidget(lower_, 0, Qt::AlignBottom);
    return axis;
}

int PlotPanel::axisWidth() const {
    const QFontMetrics metrics(font());
    int widest = metrics.horizontalAdvance(config_.unit);
    for (const QString& caption : config_.cycle) {
        widest = std::max(widest, metrics.horizontalAdvance(caption));
        widest = std::max(widest, metrics.horizontalAdvance(general(-captionValue(caption))));
    }
    return widest + 4;
}

float PlotPanel::captionValue(const QString& text) const {
    // Captions written in the general format carry the locale's separator.
    QString t = text;
    const QString sep = QString::fromStdString(locale_.decimalSeparator());
    if (!sep.isEmpty() && sep != QStringLiteral("."))
        t.replace(sep, QStringLiteral("."));
    return static_cast<float>(LeadingNumber(t.toStdString()));
}

QString PlotPanel::general(float value) const {
    return QString::fromStdString(FormatGeneral(value, locale_.decimalSeparator()));
}

void PlotPanel::Prepare() {
    const QString caption = config_.cycle.value(0);
    const float full = captionValue(caption);
    scaleButton_->setText(caption);
    upper_->setText(caption);
    lower_->setText(general(-full));
    middle_->setText(QStringLiteral("0"));
    picture_->setScale(kLeft, full, kRight, -full);
    cursorX_->setText(QStringLiteral("0"));
    cursorY_->setText(QStringLiteral("0.00"));
}

void PlotPanel::RangeFromButton(float& hipk, float& lowpk) {
    upper_->setText(scaleButton_->text());
    lower_->setText(general(-captionValue(scaleButton_->text())));
    hipk = captionValue(upper_->text());
    lowpk = captionValue(lower_->text());
}

void PlotPanel::PlotDataPoints(const OutputValueArray& yvalue, float& hipk, float& lowpk,
                               const std::array<bool, 3>& ticked) {
    std::array<float, 3> y{};
    for (std::size_t c = 0; c < 3; ++c)
        y[c] = yvalue[static_cast<std::size_t>(config_.channels[c])].value_or(0.0f);

    lower_->setText(general(lowpk));
    middle_->setText(general(lowpk + (hipk - lowpk) / 2));
    upper_->setText(general(hipk));

    // A range of no height has no coordinate system; fall back to a lower bound of -1.
    if (hipk - lowpk == 0)
        lowpk = -1;
    picture_->setScale(kLeft, hipk, kRight, lowpk);

    state_.X = state_.X + 1;
    if (state_.X > kWidthUnits) {
        state_.X = 0;
        state_.Xold = 0;
        sweep_.Restart();
    }
    const double x = state_.X;
    picture_->fillBox(x, hipk, x + 1, lowpk, QColor(PlotArea::kBackground));
    picture_->fillBox(x + 1, hipk, x + 1, lowpk, QColor(kMarker));
    for (std::size_t c = 0; c < 3; ++c) {
        if (ticked[c])
            picture_->drawLine(state_.Xold, state_.Yold[c], x, y[c], QColor(kChannelColours[c]));
    }
    for (std::size_t c = 0; c < 3; ++c) {
        state_.Xold = state_.X;
        state_.Yold[c] = y[c];
    }
    sweep_.Record(static_cast<int>(state_.X), y, ticked);
    picture_->flush();
}

void PlotPanel::ScaleClick() {
    const QStringList& cycle = config_.cycle;
    const qsizetype at = cycle.indexOf(scaleButton_->text());
    // A caption outside the cycle starts it again from the first entry.
    const QString next = cycle.value(at < 0 ? 0 : (at + 1) % cycle.size());
    scaleButton_->setText(next);
    upper_->setText(next);
    lower_->setText(general(-captionValue(next)));
    middle_->setText(QStringLiteral("0"));
    picture_->setScale(kLeft, captionValue(upper_->text()), kRight, captionValue(lower_->text()));
}

void PlotPanel::ShowCursor(double x, double y) {
    cursorX_->setText(general(static_cast<float>(RoundHalfEven(x))));
    cursorY_->setText(QString::fromStdString(
        FormatFixed0_0(RoundHalfEven(y * 10.0) / 10.0, locale_.decimalSeparator())));
}

}  // namespace quenlor
