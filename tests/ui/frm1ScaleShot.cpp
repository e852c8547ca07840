// Shows the main window on a display, reads for a while from the simulated
// sensor and stops; then saves the inclination chart with the pointer over
// its Z trace before and after one click of its scale button, to the files
// named by the first two arguments, and prints what the cursor read-out
// shows beside the value the chart was given there.

#include <QApplication>
#include <QTest>
#include <cstdio>

#include "tests/ui/UiRig.h"
#include "ui/main/PlotPanel.h"
#include "ui/main/frm1.h"

namespace {

// Puts the pointer on the Z trace at the sample `i` of the chart and saves it.
bool PointAndSave(quenlor::PlotPanel& chart, int i, const char* file) {
    const quenlor::SweepRecord::Sample& s = chart.sweep()[i];
    quenlor::PlotArea& area = chart.picture();
    const QPoint at = area.toPixel({static_cast<double>(s.position), s.value[2]}).toPoint();
    QTest::mouseMove(&area, QPoint(1, 1));
    QTest::mouseMove(&area, at);
    QTest::qWait(100);
    std::printf("%s: range %s, sample at %d, Z %.3f, cursor reads %s\n", file,
                chart.scaleButton().text().toUtf8().constData(), s.position,
                static_cast<double>(s.value[2]), chart.cursorYLabel().text().toUtf8().constData());
    return chart.grab().save(QString::fromLocal8Bit(file));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    quenlor::UiRig rig({quenlor::InterfaceUsb, true, false});
    quenlor::frm1 window(rig.ctx());
    window.Form_Load();
    window.resize(1100, 700);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 3;
    for (int pass = 0; pass < 300; ++pass)
        window.ReadLoop();
    quenlor::PlotPanel& chart = window.inclPlot();
    const int sample = chart.sweep().Count() - 60;
    if (!PointAndSave(chart, sample, argv[1]))
        return 1;
    QTest::mouseClick(&chart.scaleButton(), Qt::LeftButton);
    return PointAndSave(chart, sample, argv[2]) ? 0 : 1;
}
