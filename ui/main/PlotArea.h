#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QWidget>
#include <memory>

namespace quenlor {

// A picture box with a user coordinate system. Everything is drawn into a
// persistent image, so drawings survive repaints; a resize scales the image.
// Drawing calls collect into one painter until flush(), which repaints only
// the touched rectangle.
class PlotArea : public QWidget {
    Q_OBJECT
  public:
    static constexpr QRgb kBackground = qRgb(224, 224, 224);

    explicit PlotArea(QWidget* parent = nullptr);
    ~PlotArea() override;

    // Left and right edge, top and bottom edge, in user units.
    void setScale(double left, double top, double right, double bottom);
    double scaleLeft() const { return left_; }
    double scaleTop() const { return top_; }
    double scaleRight() const { return right_; }
    double scaleBottom() const { return bottom_; }

    // Fills the whole picture with the background colour.
    void clear();
    // Filled box between two corners; a box of no width is a one-pixel line.
    void fillBox(double x1, double y1, double x2, double y2, QColor colour);
    void drawLine(double x1, double y1, double x2, double y2, QColor colour);
    // Ends a batch of drawing and schedules the repaint of what it touched.
    void flush();

    QPointF toPixel(QPointF user) const;
    QPointF toUser(QPointF pixel) const;
    // Column of the image that holds user position x.
    int pixelColumn(double x) const;
    const QImage& image() const { return image_; }

    QSize sizeHint() const override { return {402, 150}; }

  signals:
    // The pointer position in user units.
    void mouseMovedTo(double x, double y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QPainter& painter();
    void touch(const QRect& r);

    QImage image_;
    std::unique_ptr<QPainter> painter_;
    QRect dirty_;
    // What flush asked to be repainted since the last paint, as one rect: a
    // paint region of several rects (a sweep starting again at the left while
    // its end is still unpainted) makes every copy clip rows span by span.
    QRect unpainted_;
    double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
};

}  // namespace quenlor
