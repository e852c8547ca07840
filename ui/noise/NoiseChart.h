#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

class QPainter;

namespace quenlor {

// A log-log chart of noise curves: the Allan deviation (points with their
// bounds) or the noise density (a line), one colour per output, with the
// fitted lines dashed in the same colour.
class NoiseChart : public QWidget {
    Q_OBJECT
  public:
    struct Line {
        double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
        Qt::PenStyle style = Qt::DashLine;
    };
    struct Curve {
        QString name;
        QColor color;
        std::vector<double> x, y;
        // Empty for a curve without bounds.
        std::vector<double> lower, upper;
        std::vector<Line> fits;
    };

    NoiseChart(QString title, QString xTitle, QWidget* parent = nullptr);

    void setCurves(std::vector<Curve> curves, QString yTitle);
    const std::vector<Curve>& curves() const { return curves_; }

    // Draws the chart into `area` of any painter (the window, a picture file).
    void paint(QPainter& painter, const QRect& area) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Range {
        double low = 1.0, high = 10.0;  // decades, whole
    };
    void drawAxes(QPainter& p, const QRect& plot, Range x, Range y) const;
    void drawCurve(QPainter& p, const QRect& plot, Range x, Range y, const Curve& c) const;
    void drawLegend(QPainter& p, const QRect& plot) const;

    QString title_;
    QString xTitle_;
    QString yTitle_;
    std::vector<Curve> curves_;
};

}  // namespace quenlor
