#include "ui/noise/NoiseChart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace quenlor {

namespace {

constexpr int kMargin = 8;
constexpr int kLeftAxis = 58;
constexpr int kBottomAxis = 36;

// The whole decades that hold every positive value given.
struct Decades {
    double low = HUGE_VAL, high = -HUGE_VAL;
    void add(double v) {
        if (v > 0.0 && std::isfinite(v)) {
            low = std::min(low, std::floor(std::log10(v)));
            high = std::max(high, std::ceil(std::log10(v)));
        }
    }
    void close() {
        if (low > high)
            low = 0.0, high = 1.0;
        if (high <= low)
            high = low + 1.0;
    }
};

double At(double v, double low, double high, int from, int to) {
    const double f = (std::log10(v) - low) / (high - low);
    return from + f * (to - from);
}

QString DecadeLabel(int decade) {
    if (decade >= -2 && decade <= 3)
        return QString::number(std::pow(10.0, decade), 'g', 6);
    return QStringLiteral("1e%1").arg(decade);
}

}  // namespace

NoiseChart::NoiseChart(QString title, QString xTitle, QWidget* parent)
    : QWidget(parent), title_(std::move(title)), xTitle_(std::move(xTitle)) {
    setMinimumSize(360, 260);
}

void NoiseChart::setCurves(std::vector<Curve> curves, QString yTitle) {
    curves_ = std::move(curves);
    yTitle_ = std::move(yTitle);
    update();
}

void NoiseChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint(p, rect());
}

void NoiseChart::paint(QPainter& p, const QRect& area) const {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(area, Qt::white);
    const int titleHeight = p.fontMetrics().height() + 4;
    p.setPen(Qt::black);
    p.drawText(area.adjusted(0, 2, 0, 0), Qt::AlignHCenter | Qt::AlignTop, title_);
    const QRect plot = area.adjusted(kLeftAxis, titleHeight + kMargin, -kMargin, -kBottomAxis);
    Decades x, y;
    for (const Curve& c : curves_) {
        for (std::size_t i = 0; i < c.x.size(); ++i) {
            x.add(c.x[i]);
            y.add(c.y[i]);
            if (i < c.lower.size()) {
                y.add(c.lower[i]);
                y.add(c.upper[i]);
            }
        }
    }
    x.close();
    y.close();
    drawAxes(p, plot, {x.low, x.high}, {y.low, y.high});
    p.setClipRect(plot.adjusted(1, 1, 0, 0));
    for (const Curve& c : curves_)
        drawCurve(p, plot, {x.low, x.high}, {y.low, y.high}, c);
    p.setClipping(false);
    drawLegend(p, plot);
    if (std::all_of(curves_.begin(), curves_.end(), [](const Curve& c) { return c.x.empty(); })) {
        p.setPen(Qt::gray);
        p.drawText(plot, Qt::AlignCenter, QStringLiteral("No curve yet"));
    }
    p.restore();
}

void NoiseChart::drawAxes(QPainter& p, const QRect& plot, Range x, Range y) const {
    const QFontMetrics fm = p.fontMetrics();
    for (int d = static_cast<int>(x.low); d <= static_cast<int>(x.high); ++d) {
        const int at =
            static_cast<int>(At(std::pow(10.0, d), x.low, x.high, plot.left(), plot.right()));
        p.setPen(QColor(225, 225, 225));
        p.drawLine(at, plot.top(), at, plot.bottom());
        p.setPen(Qt::black);
        // The last label stays inside the chart's own area.
        QRect label(at - 40, plot.bottom() + 2, 80, fm.height());
        const QString text = DecadeLabel(d);
        const int overflow = at + fm.horizontalAdvance(text) / 2 + 2 - (plot.right() + kMargin);
        if (overflow > 0)
            label.translate(-overflow, 0);
        p.drawText(label, Qt::AlignHCenter, text);
    }
    for (int d = static_cast<int>(y.low); d <= static_cast<int>(y.high); ++d) {
        const int at =
            static_cast<int>(At(std::pow(10.0, d), y.low, y.high, plot.bottom(), plot.top()));
        p.setPen(QColor(225, 225, 225));
        p.drawLine(plot.left(), at, plot.right(), at);
        p.setPen(Qt::black);
        p.drawText(QRect(plot.left() - kLeftAxis, at - fm.height() / 2, kLeftAxis - 4, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, DecadeLabel(d));
    }
    p.setPen(Qt::black);
    p.drawRect(plot);
    p.drawText(QRect(plot.left(), plot.bottom() + fm.height() + 2, plot.width(), fm.height()),
               Qt::AlignHCenter, xTitle_);
    p.save();
    p.translate(plot.left() - kLeftAxis + 2, plot.center().y());
    p.rotate(-90);
    p.drawText(QRect(-plot.height() / 2, 0, plot.height(), fm.height()), Qt::AlignHCenter, yTitle_);
    p.restore();
}

void NoiseChart::drawCurve(QPainter& p, const QRect& plot, Range x, Range y, const Curve& c) const {
    auto point = [&](double vx, double vy) {
        return QPointF(At(vx, x.low, x.high, plot.left(), plot.right()),
                       At(vy, y.low, y.high, plot.bottom(), plot.top()));
    };
    // A path holding only its first point still counts as empty: keep count.
    QPainterPath path;
    bool started = false;
    for (std::size_t i = 0; i < c.x.size(); ++i) {
        if (!(c.x[i] > 0.0 && c.y[i] > 0.0))
            continue;
        const QPointF at = point(c.x[i], c.y[i]);
        started ? path.lineTo(at) : path.moveTo(at);
        started = true;
    }
    p.setPen(QPen(c.color, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    // The points with their bounds.
    for (std::size_t i = 0; i < c.lower.size() && i < c.x.size(); ++i) {
        if (!(c.x[i] > 0.0 && c.y[i] > 0.0 && c.lower[i] > 0.0))
            continue;
        const QPointF lo = point(c.x[i], c.lower[i]);
        const QPointF hi = point(c.x[i], c.upper[i]);
        p.drawLine(lo, hi);
        p.drawLine(lo - QPointF(3, 0), lo + QPointF(3, 0));
        p.drawLine(hi - QPointF(3, 0), hi + QPointF(3, 0));
        p.setBrush(c.color);
        p.drawEllipse(point(c.x[i], c.y[i]), 2.5, 2.5);
        p.setBrush(Qt::NoBrush);
    }
    for (const Line& l : c.fits) {
        if (!(l.x0 > 0.0 && l.y0 > 0.0 && l.x1 > 0.0 && l.y1 > 0.0))
            continue;
        p.setPen(QPen(c.color, 1.2, l.style));
        p.drawLine(point(l.x0, l.y0), point(l.x1, l.y1));
    }
}

void NoiseChart::drawLegend(QPainter& p, const QRect& plot) const {
    const QFontMetrics fm = p.fontMetrics();
    int top = plot.top() + 4;
    for (const Curve& c : curves_) {
        const int width = fm.horizontalAdvance(c.name);
        const QRect box(plot.right() - width - 30, top, width + 26, fm.height());
        p.fillRect(box, QColor(255, 255, 255, 220));
        p.setPen(QPen(c.color, 2));
        p.drawLine(box.left() + 3, box.center().y(), box.left() + 17, box.center().y());
        p.setPen(Qt::black);
        p.drawText(box.adjusted(21, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, c.name);
        top += fm.height() + 2;
    }
}

}  // namespace quenlor
