// Application::Main over the simulated card and recording seams: what the
// start-up shows, in which order it sets the settings, and that it ends with
// the main window up. Runs offscreen; no box waits for a click.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "app/Application.h"
#include "platform/fake/BorrowedBackends.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeLocaleInfo.h"
#include "platform/fake/FakeSystemInfo.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingCursor.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "sim/SimAdapterCard.h"
#include "sim/SimParallelBoard.h"
#include "sim/SimSensor.h"
#include "tests/ui/RigIoPermission.h"
#include "tests/ui/RigProcessRunner.h"
#include "tests/ui/RigRegistry.h"
#include "ui/main/frm1.h"
#include "ui/main/frmMsg.h"

namespace quenlor {
namespace {

class StartUp : public ::testing::Test {
  protected:
    // What the calibration's first busy-wait saw of the message window.
    struct Seen {
        bool spun = false;
        std::string caption;
        std::string text;
    };

    // Every busy-wait while the message window is up (the calibration's)
    // scribbles over the settings, so only start values set after the
    // calibration survive.
    void OnSpin() {
        frmMsg* message = app_ ? app_->messageWindow() : nullptr;
        if (!message || !message->isVisible())
            return;
        if (!seen_.spun) {
            seen_.spun = true;
            seen_.caption = message->windowTitle().toStdString();
            seen_.text = message->txtMsg().toPlainText().toStdString();
        }
        Settings& s = app_->stack().settings();
        s.Interface = 7;
        s.PortIoReady = true;
        s.UsbLoopStop = false;
        s.UsbSpiPolarity = false;
        s.UsbSpiChannel = 3;
        s.UsbSpiBits = 0;
        s.UsbSpiDelay = 0;
    }

    void WriteSettingsFile(const std::string& text) {
        std::ofstream(appDir_.path() / "CommPort.cfg", std::ios::binary) << text;
    }

    QTemporaryDir tempDir_;
    double simTime_ = 0.0;
    SimSensor sensor_{1, [this] { return simTime_ += 0.0001; }};
    SimAdapterCard card_{sensor_};
    SimParallelBoard board_{sensor_};
    RigRegistry registry_;
    RigProcessRunner processes_;
    RigIoPermission ioPermission_;
    FakeSystemInfo systemInfo_;
    BorrowedBackends backends_{card_, board_, ioPermission_, registry_, processes_, systemInfo_};
    RecordingMessageBoxes messages_;
    FakeClock clock_;
    RecordingCursor cursor_;
    FixedAppDirectory appDir_{tempDir_.path().toStdString()};
    FakeLocaleInfo locale_;
    Seen seen_;
    std::unique_ptr<Application> app_ =
        std::make_unique<Application>(backends_,
                                      StackSeams{messages_, clock_, cursor_, appDir_,
                                                 [this](std::int32_t, std::int32_t) { OnSpin(); }},
                                      locale_);
};

TEST_F(StartUp, ShowsTheMessageCalibratesThenSetsStartValuesThenReadsTheFile) {
    card_.placeCard(0);
    WriteSettingsFile("Interface =  2 \r\nPort Address =  888 \r\nProductNumber =  5 \r\n");
    app_->stack().settings().DelayCalibrated = true;  // Main must redo it

    app_->Main();

    EXPECT_TRUE(seen_.spun) << "no calibration ran under the message window";
    EXPECT_EQ(seen_.caption, "Quenlor_Eval_Rev_2  Message");
    EXPECT_EQ(seen_.text, "\n LOADING...\n\n Setting up Delay function.\n\n 3 second trial delay.");
    ASSERT_NE(app_->messageWindow(), nullptr);
    EXPECT_FALSE(app_->messageWindow()->isVisible());
    EXPECT_EQ(app_->messageWindow()->txtMsg().toPlainText().toStdString(), " ");

    const Settings& s = app_->stack().settings();
    EXPECT_TRUE(s.DelayCalibrated);
    // The file's values, read after the start values were set.
    EXPECT_EQ(s.Interface, InterfaceUsb);
    EXPECT_EQ(s.PortAddress, 888);
    EXPECT_EQ(s.ProductNumber, 5);
    // The start values, set after the calibration.
    EXPECT_FALSE(s.PortIoReady);
    EXPECT_TRUE(s.UsbLoopStop);
    EXPECT_TRUE(s.UsbSpiPolarity);
    EXPECT_EQ(s.UsbSpiChannel, 1);
    EXPECT_EQ(s.UsbSpiBits, 120);
    EXPECT_EQ(s.UsbSpiDelay, 25);

    EXPECT_TRUE(app_->mainWindow().isVisible());
    EXPECT_TRUE(messages_.boxes.empty()) << messages_.boxes[0].text;
}

}  // namespace
}  // namespace quenlor
