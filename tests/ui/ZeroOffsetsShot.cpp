// Shows the Zero Offsets dialog on a display over a still simulated board and
// saves its image before a run to the file named by the first argument, and
// after one to the second.

#include <QApplication>
#include <QPushButton>

#include "tests/ui/RigTime.h"
#include "tests/ui/UiRig.h"
#include "ui/main/ZeroOffsetsDialog.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    quenlor::UiRig rig;
    rig.settings().DelayCalibrated = true;
    rig.setSimStep(20e-6);
    rig.sensor().holdStill({0.0, 0.0, 1.0});
    quenlor::RigTime clock;
    clock.rig = &rig;
    quenlor::ZeroOffsetsDialog dialog(rig.registers(), rig.stack().registerTable(), clock);
    dialog.show();
    QApplication::processEvents();
    bool saved = dialog.grab().save(QString::fromLocal8Bit(argv[1]));
    dialog.findChild<QPushButton*>("cmdStart")->click();
    QApplication::processEvents();
    saved = dialog.grab().save(QString::fromLocal8Bit(argv[2])) && saved;
    return saved ? 0 : 1;
}
