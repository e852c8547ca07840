#include "ui/main/PlotArea.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

namespace quenlor {

PlotArea::PlotArea(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 100);
    image_ = QImage(sizeHint(), QImage::Format_RGB32);
    image_.fill(kBackground);
}

PlotArea::~PlotArea() = default;

void PlotArea::setScale(double left, double top, double right, double bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

QPointF PlotArea::toPixel(QPointF user) const {
    const double w = image_.width();
    const double h = image_.height();
    const double sx = right_ != left_ ? w / (right_ - left_) : 0.0;
    const double sy = top_ != bottom_ ? h / (top_ - bottom_) : 0.0;
    return {(user.x() - left_) * sx, (top_ - user.y()) * sy};
}

QPointF PlotArea::toUser(QPointF pixel) const {
    const double w = std::max(1, width());
    const double h = std::max(1, height());
    return {left_ + pixel.x() * (right_ - left_) / w, top_ - pixel.y() * (top_ - bottom_) / h};
}

int PlotArea::pixelColumn(double x) const {
    return static_cast<int>(std::floor(toPixel({x, top_}).x()));
}

QPainter& PlotArea::painter() {
    if (!painter_)
        painter_ = std::make_unique<QPainter>(&image_);
    return *painter_;
}

void PlotArea::touch(const QRect& r) {
    dirty_ = dirty_.united(r.intersected(image_.rect()));
}

void PlotArea::clear() {
    painter().fillRect(image_.rect(), QColor(kBackground));
    touch(image_.rect());
}

void PlotArea::fillBox(double x1, double y1, double x2, double y2, QColor colour) {
    const QPointF a = toPixel({x1, y1});
    const QPointF b = toPixel({x2, y2});
    // Both corners are part of the box, as a picture box fills them.
    const int left = static_cast<int>(std::floor(std::min(a.x(), b.x())));
    const int right = static_cast<int>(std::floor(std::max(a.x(), b.x())));
    const int top = static_cast<int>(std::floor(std::min(a.y(), b.y())));
    const int bottom = static_cast<int>(std::floor(std::max(a.y(), b.y())));
    const QRect box(QPoint(left, top), QPoint(right, bottom));
    painter().fillRect(box, colour);
    touch(box);
}

void PlotArea::drawLine(double x1, double y1, double x2, double y2, QColor colour) {
    const QPointF a = toPixel({x1, y1});
    const QPointF b = toPixel({x2, y2});
    QPainter& p = painter();
    p.setPen(colour);
    p.drawLine(a, b);
    // Clamp before converting: out-of-range values may lie far outside the image.
    auto clampX = [&](double v) {
        return static_cast<int>(std::clamp(v, -2.0, image_.width() + 2.0));
    };
    auto clampY = [&](double v) {
        return static_cast<int>(std::clamp(v, -2.0, image_.height() + 2.0));
    };
    touch(QRect(QPoint(clampX(std::min(a.x(), b.x())) - 1, clampY(std::min(a.y(), b.y())) - 1),
                QPoint(clampX(std::max(a.x(), b.x())) + 1, clampY(std::max(a.y(), b.y())) + 1)));
}

void PlotArea::flush() {
    painter_.reset();
    if (!dirty_.isEmpty()) {
        unpainted_ = unpainted_.united(dirty_);
        update(unpainted_);
    }
    dirty_ = QRect();
}

void PlotArea::paintEvent(QPaintEvent* event) {
    flush();
    unpainted_ = QRect();
    QPainter p(this);
    p.drawImage(event->rect(), image_, event->rect());
}

void PlotArea::resizeEvent(QResizeEvent* event) {
    painter_.reset();
    if (event->size().isEmpty())
        return;
    // Keep what has been drawn: the old picture is stretched to the new size.
    image_ = image_.scaled(event->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                 .convertToFormat(QImage::Format_RGB32);
    dirty_ = QRect();
    unpainted_ = QRect();
    update();
}

void PlotArea::mouseMoveEvent(QMouseEvent* event) {
    const QPointF u = toUser(event->position());
    emit mouseMovedTo(u.x(), u.y());
}

}  // namespace quenlor
