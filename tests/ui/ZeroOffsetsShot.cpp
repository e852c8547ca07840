// Shows the Zero Offsets dialog on a display over a still simulated board and
// saves its image before a run to the file named by the first argument, and
// after one to the second.

#include <QApplication>
#include <QPushButton>

#include "tests/ui/UiRig.h"
#include "ui/main/ZeroOffsetsDialog.h"

namespace {

// The simulated seconds of the rig's sensor.
class SimClock : public quenlor::Clock {
  public:
    explicit SimClock(quenlor::UiRig& rig) : rig_(rig) {}
    float secondsSinceMidnight() override { return static_cast<float>(rig_.simTime()); }
    std::int64_t monotonicNanoseconds() override {
        return static_cast<std::int64_t>(rig_.simTime() * 1e9);
    }
    quenlor::LocalDateTime localDateTime() override { return {2026, 12, 9, 0, 0, 0}; }

  private:
    quenlor::UiRig& rig_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    quenlor::UiRig rig;
    rig.settings().DelayCalibrated = true;
    rig.setSimStep(20e-6);
    rig.sensor().holdStill({0.0, 0.0, 1.0});
    SimClock clock(rig);
    quenlor::ZeroOffsetsDialog dialog(rig.registers(), rig.stack().registerTable(), clock);
    dialog.show();
    QApplication::processEvents();
    bool saved = dialog.grab().save(QString::fromLocal8Bit(argv[1]));
    dialog.findChild<QPushButton*>("cmdStart")->click();
    QApplication::processEvents();
    saved = dialog.grab().save(QString::fromLocal8Bit(argv[2])) && saved;
    return saved ? 0 : 1;
}
