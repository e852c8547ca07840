// The main window's "Zero Offsets..." over a still simulated board.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QTimer>

#include "tests/ui/RigTime.h"
#include "tests/ui/UiRig.h"
#include "ui/main/ZeroOffsetsDialog.h"
#include "ui/main/frm1.h"

namespace quenlor {
namespace {

std::array<std::uint16_t, 3> Nulls(SimSensor& s) {
    return {s.peekWord(0x12), s.peekWord(0x14), s.peekWord(0x16)};
}

TEST(ZeroOffsetsDialogTest, TheMenuEntryZeroesAStillBoardAndUndoPutsTheNullsBack) {
    RigTime time;
    UiRig::Setup setup;
    setup.clock = &time;
    UiRig rig(setup);
    time.rig = &rig;
    rig.setSimStep(20e-6);
    rig.sensor().holdStill({0.0, 0.0, 1.0});
    frm1 window(rig.ctx());

    std::array<std::uint16_t, 3> zeroed{};
    bool flashOffered = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<ZeroOffsetsDialog*>(modal);
        if (dialog == nullptr) {
            ADD_FAILURE() << "the dialog did not open";
            if (modal != nullptr)
                modal->close();
            return;
        }
        dialog->findChild<QDoubleSpinBox*>("spnSeconds")->setValue(1.0);
        dialog->findChild<QPushButton*>("cmdStart")->click();
        zeroed = Nulls(rig.sensor());
        flashOffered = dialog->findChild<QPushButton*>("cmdFlash")->isEnabled();
        dialog->findChild<QPushButton*>("cmdUndo")->click();
        dialog->close();
    });
    window.mnuZeroOffsets().trigger();

    EXPECT_TRUE(flashOffered);
    EXPECT_NE(zeroed, (std::array<std::uint16_t, 3>{}));
    EXPECT_EQ(Nulls(rig.sensor()), (std::array<std::uint16_t, 3>{}));
    EXPECT_EQ(rig.sensor().peekWord(SimSensor::kFlashCnt), 12) << "stored without being asked";
}

}  // namespace
}  // namespace quenlor
