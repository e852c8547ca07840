#include "ui/main/PlotPanel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPixmap>
#include <algorithm>
#include <cmath>

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
    grid->addWidget(makeAxis(), 1, 0);
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

QWidget* PlotPanel::makeAxis() {
    const int width = axisWidth();
    axis_ = new QWidget(this);
    axis_->setFixedWidth(width);
    unitLabel_ = makeLabel(config_.names.picture + QStringLiteral("Unit"), config_.unit);
    for (QLabel* l : {upper_, middle_, lower_, unitLabel_}) {
        // A fixed width: labels that widen with the scale would narrow the
        // chart and stretch what is drawn on it.
        l->setParent(axis_);
        l->setFixedWidth(width);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    picture_->installEventFilter(this);
    axis_->installEventFilter(this);
    return axis_;
}

bool PlotPanel::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((watched == picture_ || watched == axis_) &&
        (type == QEvent::Resize || type == QEvent::Move || type == QEvent::Show))
        PlaceAxisLabels();
    return QGroupBox::eventFilter(watched, event);
}

void PlotPanel::PlaceAxisLabels() {
    if (axis_ == nullptr)
        return;
    const int top = axis_->mapFrom(this, picture_->geometry().topLeft()).y();
    const int bottom = top + picture_->height();
    const int middle = top + picture_->height() / 2;
    const int h = middle_->sizeHint().height();
    const int w = axis_->width();
    upper_->setGeometry(0, top, w, h);
    lower_->setGeometry(0, bottom - h, w, h);
    middle_->setGeometry(0, middle - h / 2, w, h);
    unitLabel_->setGeometry(0, middle - h / 2 - h, w, h);
}

int PlotPanel::axisWidth() const {
    const QFontMetrics metrics(font());
    int widest = metrics.horizontalAdvance(config_.unit);
    for (const QString& caption : config_.cycle) {
        widest = std::max(widest, metrics.horizontalAdvance(caption));
        widest = std::max(widest, metrics.horizontalAdvance(general(-captionValue(caption))));
    }
    // A fitted range's bounds carry a few more digits.
    widest = std::max(widest, metrics.horizontalAdvance(QStringLiteral("-0.0000")));
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
    if (fit_) {
        hipk = fit_->top;
        lowpk = fit_->bottom;
        return;
    }
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
    // A caption outside the cycle ("Fit" among them) starts it again from the first entry.
    ApplyCaption(cycle.value(at < 0 ? 0 : (at + 1) % cycle.size()));
}

bool PlotPanel::SelectScale(const QString& caption) {
    if (!config_.cycle.contains(caption))
        return false;
    ApplyCaption(caption);
    return true;
}

void PlotPanel::ApplyCaption(const QString& caption) {
    fit_.reset();
    scaleButton_->setText(caption);
    upper_->setText(caption);
    lower_->setText(general(-captionValue(caption)));
    middle_->setText(QStringLiteral("0"));
    ApplyRange({captionValue(upper_->text()), captionValue(lower_->text())});
}

void PlotPanel::FitToData() {
    float lowest = 0, highest = 0;
    bool any = false;
    for (int i = 0; i < sweep_.Count(); ++i) {
        const SweepRecord::Sample& s = sweep_[i];
        for (std::size_t c = 0; c < 3; ++c) {
            if (!s.drawn[c])
                continue;
            lowest = any ? std::min(lowest, s.value[c]) : s.value[c];
            highest = any ? std::max(highest, s.value[c]) : s.value[c];
            any = true;
        }
    }
    if (!any)
        return;
    // Bounds on a round step of about a tenth of the spread, at least one
    // step beyond the traces, so that noise of a few counts fills the chart.
    const double spread = std::max(static_cast<double>(highest) - lowest,
                                   std::max(1e-4, std::fabs(static_cast<double>(highest)) * 1e-3));
    const double step = std::pow(10.0, std::floor(std::log10(spread / 4)));
    const Range range{static_cast<float>((std::floor(highest / step) + 1) * step),
                      static_cast<float>((std::ceil(lowest / step) - 1) * step)};
    fit_ = range;
    scaleButton_->setText(QStringLiteral("Fit"));
    upper_->setText(general(range.top));
    lower_->setText(general(range.bottom));
    middle_->setText(general(range.bottom + (range.top - range.bottom) / 2));
    ApplyRange(range);
}

void PlotPanel::ApplyRange(Range range) {
    picture_->setScale(kLeft, range.top, kRight, range.bottom);
    Redraw();
}

void PlotPanel::Redraw() {
    picture_->clear();
    if (sweep_.Count() == 0)
        return;
    const double x = state_.X;
    picture_->fillBox(x + 1, picture_->scaleTop(), x + 1, picture_->scaleBottom(), QColor(kMarker));
    // Each segment joins a sample to the one before it, as the pass that drew
    // it did; none joins the sweep's end to its start again at the left.
    for (int i = 1; i < sweep_.Count(); ++i) {
        const SweepRecord::Sample& a = sweep_[i - 1];
        const SweepRecord::Sample& b = sweep_[i];
        if (b.position != a.position + 1)
            continue;
        for (std::size_t c = 0; c < 3; ++c)
            if (b.drawn[c])
                picture_->drawLine(a.position, a.value[c], b.position, b.value[c],
                                   QColor(kChannelColours[c]));
    }
    picture_->flush();
}

void PlotPanel::ShowCursor(double x, double y) {
    cursorX_->setText(general(static_cast<float>(RoundHalfEven(x))));
    cursorY_->setText(QString::fromStdString(
        FormatFixed0_0(RoundHalfEven(y * 10.0) / 10.0, locale_.decimalSeparator())));
}

}  // namespace quenlor
