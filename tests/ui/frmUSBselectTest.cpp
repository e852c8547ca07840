#include <gtest/gtest.h>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>

#include "tests/ui/UiRig.h"
#include "ui/cards/frmUSBdebug.h"
#include "ui/cards/frmUSBselect.h"
#include "ui/main/frm1.h"

namespace quenlor {
namespace {

UiRig::Setup NoCards() {
    UiRig::Setup s;
    s.card = false;
    s.ready = false;
    return s;
}

class UsbSelectTest : public ::testing::Test {
  protected:
    UsbSelectTest() : rig(NoCards()) { rig.driver().setRecording(true); }

    QRadioButton* opt(int i) {
        return window->findChild<QRadioButton*>(QString("optUsbPort_%1").arg(i));
    }
    QString text(const char* name, int i) {
        return window->findChild<QLineEdit*>(QString("%1_%2").arg(name).arg(i))->text();
    }
    void open() {
        if (!window)
            window = std::make_unique<frmUSBselect>(rig.ctx().usbSelect, nullptr);
        window->show();
    }

    // The debug window's loop, started from this window's "Debug": `onPass`
    // runs at each pass of the loop; gives the passes seen. Every step runs
    // inside the modal runs, so it is queued before they start. A loop still
    // going after kGuard passes is stopped, so a fault ends the test instead of
    // hanging it; a late step finds the run gone and does nothing.
    static constexpr int kGuard = 50;
    int LoopInDebugWindow(frmUSBselect& select, std::function<void(int pass)> onPass) {
        struct Run {
            int passes = 0;
            std::function<void(int)> onPass;
            std::function<void()> tick;
        };
        auto run = std::make_shared<Run>();
        run->onPass = std::move(onPass);
        Settings& settings = rig.settings();
        run->tick = [weak = std::weak_ptr<Run>(run), &settings] {
            const auto r = weak.lock();
            if (!r)
                return;
            if (++r->passes >= kGuard) {
                settings.UsbLoopStop = true;
                return;
            }
            r->onPass(r->passes);
            QTimer::singleShot(0, r->tick);
        };
        QTimer::singleShot(0, [&select, run] {
            QTimer::singleShot(0, [&select, run] {
                QTimer::singleShot(0, run->tick);
                select.debugWindow()->findChild<QPushButton*>("cmdLoop")->click();
            });
            select.findChild<QPushButton*>("cmdDebugUsb")->click();
        });
        select.showModal();
        return run->passes;
    }

    UiRig rig;
    std::unique_ptr<frmUSBselect> window;
};

TEST_F(UsbSelectTest, NoCardShowsOneMessageAndChoosesNone) {
    rig.usb().SetUsbReady(true);  // left over from an earlier card
    open();
    EXPECT_EQ(rig.messages().texts(),
              std::vector<std::string>{"No USB Buffers Found, Please Verify Setup and Restart"});
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(opt(i)->isEnabled()) << i;
        EXPECT_TRUE(text("txtDescript0", i).isEmpty());
        EXPECT_TRUE(text("txtDriverRev", i).isEmpty());
        EXPECT_TRUE(text("txtSpeed", i).isEmpty());
    }
    EXPECT_TRUE(opt(4)->isEnabled());
    EXPECT_TRUE(opt(4)->isChecked());
    window->findChild<QPushButton*>("cmdExit")->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(rig.usb().UsbReady());
    EXPECT_TRUE(rig.settings().UsbLoopStop);
}

TEST_F(UsbSelectTest, OneCardAtEzusb1IsChosenAndGetsDelayAndBits) {
    SimCardConfig full;
    full.pipe3PacketSize = SimCardConfig::kFullSpeedPacket;
    rig.card().placeCard(1, full);
    rig.settings().UsbSpiDelay = 40;
    rig.settings().UsbSpiBits = 0x28;
    open();
    EXPECT_TRUE(rig.messages().texts().empty());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(opt(i)->isEnabled(), i == 1) << i;
    EXPECT_TRUE(opt(1)->isChecked());
    EXPECT_TRUE(rig.usb().UsbReady());
    EXPECT_EQ(rig.usb().UsbSelectedCard.DeviceName, "Ezusb-1");
    const auto& writes = rig.driver().bulkWrites(1);
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes[writes.size() - 2], (std::vector<std::uint8_t>{0x0B, 40}));
    EXPECT_EQ(writes.back(), (std::vector<std::uint8_t>{0x0C, 0x28}));
    EXPECT_EQ(rig.card().delaySetting(1), 40);
    EXPECT_EQ(rig.card().staticBits(1), 0x28);
    EXPECT_EQ(text("txtDescript0", 1).toStdString(), rig.usb().UsbCards[1].Descriptor0);
    EXPECT_FALSE(text("txtDescript0", 1).isEmpty());
    EXPECT_EQ(text("txtDriverRev", 1), "1.5");
    EXPECT_EQ(text("txtSpeed", 1), "1.1");
    EXPECT_TRUE(text("txtDescript0", 0).isEmpty());
}

TEST_F(UsbSelectTest, HandChosenCardHoldsUntilTheNextShowing) {
    rig.card().placeCard(0);
    rig.card().placeCard(2);
    open();
    EXPECT_TRUE(opt(0)->isChecked());
    EXPECT_EQ(text("txtSpeed", 2), "2.0");
    EXPECT_FALSE(opt(1)->isEnabled());
    const std::size_t before = rig.driver().bulkWrites(2).size();
    opt(2)->click();
    EXPECT_EQ(rig.driver().bulkWrites(2).size(), before + 2);  // delay and bits
    window->findChild<QPushButton*>("cmdExit")->click();
    EXPECT_EQ(rig.usb().UsbSelectedCard.DeviceName, "Ezusb-2");
    EXPECT_TRUE(rig.usb().UsbReady());

    open();
    EXPECT_TRUE(opt(0)->isChecked());
    EXPECT_EQ(rig.usb().UsbSelectedCard.DeviceName, "Ezusb-0");
    EXPECT_TRUE(rig.messages().texts().empty());
}

TEST_F(UsbSelectTest, DebugOpensTheSetupWindowAndTheReturnRescans) {
    rig.card().placeCard(0);
    rig.card().placeCard(2);
    open();
    opt(2)->click();
    UiRig::CloseModalSoon();
    window->findChild<QPushButton*>("cmdDebugUsb")->click();
    ASSERT_NE(window->debugWindow(), nullptr);
    EXPECT_EQ(window->debugWindow()->windowTitle(), "USB SPI Card Setup");
    EXPECT_FALSE(window->debugWindow()->isVisible());
    // Coming back activates this window: the first valid card again.
    EXPECT_TRUE(opt(0)->isChecked());
    EXPECT_EQ(rig.usb().UsbSelectedCard.DeviceName, "Ezusb-0");
    EXPECT_TRUE(rig.messages().texts().empty());
}

TEST_F(UsbSelectTest, NoneAndTheCloseBoxActLikeOk) {
    rig.card().placeCard(0);
    open();
    ASSERT_TRUE(rig.usb().UsbReady());
    rig.settings().UsbLoopStop = false;
    const std::size_t before = rig.driver().bulkWrites(0).size();
    opt(4)->click();
    EXPECT_EQ(rig.driver().bulkWrites(0).size(), before);  // nothing sent
    EXPECT_TRUE(rig.settings().UsbLoopStop);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(rig.usb().UsbReady());
    // Still loaded: the table keeps its rows while hidden.
    EXPECT_FALSE(text("txtDescript0", 0).isEmpty());
}

TEST_F(UsbSelectTest, BuiltBeforeTheMainWindowAppearsItIsPlacedAtItsFirstShowing) {
    rig.card().placeCard(0);
    QWidget main;
    main.move(40, 30);
    frmUSBselect dialog(rig.ctx().usbSelect, &main);  // main window still hidden
    main.move(200, 150);
    main.show();
    dialog.show();
    EXPECT_EQ(dialog.pos(), main.pos());
    dialog.hide();
    // Placed once: where the user left it, it stays.
    dialog.move(300, 250);
    dialog.show();
    EXPECT_EQ(dialog.pos(), QPoint(300, 250));
    dialog.hide();
}

// At start-up the window is built as a child of the hidden main window, and
// its search runs a message box while it is being shown. The native window
// is made at the widget's size of that moment; X11 reports that size back
// during the box and Qt takes it, so a window made at a child widget's
// default size (100 x 30) stayed that small.
TEST_F(UsbSelectTest, ItsNativeWindowIsMadeAtItsNormalSize) {
    QWidget main;
    frmUSBselect dialog(rig.ctx().usbSelect, &main, &main);
    dialog.winId();
    const QSize made = dialog.windowHandle()->geometry().size();
    EXPECT_GE(made.width(), dialog.sizeHint().width());
    EXPECT_GE(made.height(), dialog.sizeHint().height());
}

TEST_F(UsbSelectTest, CloseBoxOnlyHidesWhileTheMainWindowIsUp) {
    rig.card().placeCard(0);
    QWidget main;
    main.move(120, 80);
    main.show();
    frmUSBselect dialog(rig.ctx().usbSelect, &main);
    EXPECT_EQ(dialog.pos(), main.pos());
    dialog.show();
    QCloseEvent event;
    QApplication::sendEvent(&dialog, &event);
    EXPECT_FALSE(event.isAccepted());
    EXPECT_FALSE(dialog.isVisible());
}

// At start-up with no usable card this window comes up before the main window:
// a main window not yet shown is not an ending program.
TEST_F(UsbSelectTest, BeforeTheMainWindowIsUpTheCloseBoxStillActsLikeOk) {
    rig.card().placeCard(0);
    frm1 main(rig.ctx());
    frmUSBselect dialog(rig.ctx().usbSelect, &main);
    dialog.show();
    QCloseEvent early;
    QApplication::sendEvent(&dialog, &early);
    EXPECT_FALSE(early.isAccepted());
    EXPECT_FALSE(dialog.isVisible());

    main.close();
    dialog.show();
    QCloseEvent ending;
    QApplication::sendEvent(&dialog, &ending);
    EXPECT_TRUE(ending.isAccepted());
}

// At start-up the card windows can come up before the main window. "OK" in
// both while the debug window loops would leave no window to stop it from:
// the loop ends, and the main window's load goes on.
TEST_F(UsbSelectTest, AtStartUpHidingBothCardWindowsEndsTheDebugLoop) {
    rig.card().placeCard(0);
    frm1 main(rig.ctx());  // not yet shown, as during its load
    frmUSBselect select(rig.ctx().usbSelect, &main, &main);
    const int passes = LoopInDebugWindow(select, [&](int pass) {
        if (pass == 2)
            select.debugWindow()->findChild<QPushButton*>("cmdExit")->click();
        if (pass == 3)
            select.findChild<QPushButton*>("cmdExit")->click();
    });
    EXPECT_EQ(passes, 3);  // the loop saw nothing on screen at once
    EXPECT_TRUE(rig.settings().UsbLoopStop);
    EXPECT_EQ(select.debugWindow()->findChild<QPushButton*>("cmdLoop")->text(), "Loop");
    EXPECT_FALSE(select.isVisible());
}

// A debug window hidden while it loops keeps looping; "Debug" shows it again
// (Qt would refuse a second modal run of it) so that "Stop" can be reached.
TEST_F(UsbSelectTest, DebugShowsALoopingHiddenDebugWindowAgain) {
    rig.card().placeCard(0);
    QWidget main;
    main.show();
    frmUSBselect select(rig.ctx().usbSelect, &main, &main);
    bool shownAgain = false;
    const int passes = LoopInDebugWindow(select, [&](int pass) {
        frmUSBdebug& debug = *select.debugWindow();
        if (pass == 2)
            debug.findChild<QPushButton*>("cmdExit")->click();
        if (pass == 3) {
            EXPECT_FALSE(debug.isVisible());
            select.findChild<QPushButton*>("cmdDebugUsb")->click();
            shownAgain = debug.isVisible();
        }
        if (pass == 5) {
            debug.findChild<QPushButton*>("cmdLoop")->click();  // "Stop"
            debug.findChild<QPushButton*>("cmdExit")->click();
            select.findChild<QPushButton*>("cmdExit")->click();
        }
    });
    EXPECT_TRUE(shownAgain);
    EXPECT_EQ(passes, 5);
    EXPECT_TRUE(rig.settings().UsbLoopStop);
}

}  // namespace
}  // namespace quenlor
