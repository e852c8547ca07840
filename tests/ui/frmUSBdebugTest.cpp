#include <gtest/gtest.h>
#include <functional>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/NumberFormat.h"
#include "tests/ui/UiRig.h"
#include "ui/cards/frmUSBdebug.h"
#include "ui/main/frm1.h"

namespace quenlor {
namespace {

const std::string kNeedCard = "Please Select a Buffer first";

UiRig::Setup OneCard() {
    UiRig::Setup s;
    s.ready = false;  // the window's own search chooses the card
    return s;
}

class UsbDebugTest : public ::testing::Test {
  protected:
    UsbDebugTest() : rig(OneCard()) { rig.driver().setRecording(true); }

    template <class T>
    T* get(const QString& name) {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLineEdit* box(const char* name, int i) {
        return get<QLineEdit>(QString("%1_%2").arg(name).arg(i));
    }
    QLineEdit* box(const char* name) { return get<QLineEdit>(name); }
    void click(const char* name) { get<QPushButton>(name)->click(); }
    bool framesEnabled() {
        return get<QGroupBox>("frameManual")->isEnabled() &&
               get<QGroupBox>("frameSPIsetup")->isEnabled();
    }
    bool framesDisabled() {
        return !get<QGroupBox>("frameManual")->isEnabled() &&
               !get<QGroupBox>("frameSPIsetup")->isEnabled();
    }
    // Clicks "Loop" and runs `onPass` at each event pass of the loop until it
    // returns true; gives the number of passes it saw.
    int LoopWithEachPass(const std::function<bool(int pass)>& onPass) {
        int passes = 0;
        std::function<void()> tick;
        tick = [&] {
            if (!onPass(++passes))
                QTimer::singleShot(0, tick);
        };
        QTimer::singleShot(0, tick);
        click("cmdLoop");
        return passes;
    }
    void open(QWidget* mainWindow = nullptr) {
        window = std::make_unique<frmUSBdebug>(rig.ctx().usbSelect.debug, mainWindow);
        window->show();
    }

    UiRig rig;
    std::unique_ptr<frmUSBdebug> window;
};

TEST_F(UsbDebugTest, ShowingChoosesTheCardAndFillsTheTable) {
    open();
    EXPECT_TRUE(rig.messages().texts().empty());
    EXPECT_TRUE(framesEnabled());
    EXPECT_TRUE(get<QRadioButton>("optUsbPort_0")->isChecked());
    EXPECT_EQ(box("txtUsbPort", 0)->text(), "Tarrow - 0");
    EXPECT_EQ(box("txtDescript1", 0)->text().toStdString(), rig.usb().UsbCards[0].Descriptor1);
    EXPECT_EQ(box("txtDriverRev", 0)->text(), "1.5");
    EXPECT_EQ(box("txtSpeed", 0)->text(), "2.0");
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(box("txtUsbPort", i)->text(), "None");
        EXPECT_TRUE(box("txtDescript0", i)->text().isEmpty());
        EXPECT_FALSE(get<QRadioButton>(QString("optUsbPort_%1").arg(i))->isEnabled());
    }
    // The settings went out and were read back.
    EXPECT_EQ(box("txtLoopDelay")->text(), QString::number(rig.settings().UsbSpiDelay));
    EXPECT_EQ(rig.card().delaySetting(0), rig.settings().UsbSpiDelay);
    EXPECT_TRUE(get<QRadioButton>("optSpiChan_1")->isChecked());
    EXPECT_EQ(get<QPushButton>("cmdPolarity")->text(), "Pos");
}

TEST_F(UsbDebugTest, WriteSendsTheTypedWordsAndShowsThemInHex) {
    open();
    box("txtNumWords")->setText("3");
    box("txtWriteSpi", 1)->setText("12");
    box("txtWriteSpi", 2)->setText("");
    box("txtWriteSpi", 3)->setText("a5a5");
    box("txtWriteSpi", 5)->setText("77");
    box("txtReadSpi", 9)->setText("stale");
    click("cmdWriteSpi");
    EXPECT_EQ(rig.driver().lastBulkWrite(0),
              (std::vector<std::uint8_t>{0x0D, 1, 3, 0x00, 0x12, 0x00, 0x00, 0xA5, 0xA5}));
    EXPECT_EQ(box("txtWriteSpi", 1)->text(), "12");
    EXPECT_EQ(box("txtWriteSpi", 2)->text(), "0");
    EXPECT_EQ(box("txtWriteSpi", 3)->text(), "A5A5");
    EXPECT_TRUE(box("txtWriteSpi", 5)->text().isEmpty());
    for (int j = 1; j <= 3; ++j)
        EXPECT_EQ(box("txtReadSpi", j)->text().toStdString(),
                  FormatHex(rig.ctx().usbSpi.UsbReadWords[static_cast<std::size_t>(j)]));
    for (int j = 4; j <= 16; ++j)
        EXPECT_TRUE(box("txtReadSpi", j)->text().isEmpty()) << j;

    // Polarity and channel go out with the next transfer.
    click("cmdPolarity");
    get<QRadioButton>("optSpiChan_3")->click();
    box("txtNumWords")->setText("40");
    click("cmdWriteSpi");
    EXPECT_EQ(box("txtNumWords")->text(), "16");
    EXPECT_EQ(rig.driver().lastBulkWrite(0)[0], 0x0E);
    EXPECT_EQ(rig.driver().lastBulkWrite(0)[1], 3);
    EXPECT_EQ(rig.driver().lastBulkWrite(0)[2], 16);
    box("txtNumWords")->setText("0");
    click("cmdWriteSpi");
    EXPECT_EQ(box("txtNumWords")->text(), "1");
    EXPECT_EQ(rig.driver().lastBulkWrite(0)[2], 1);
    EXPECT_TRUE(rig.messages().texts().empty());
}

TEST_F(UsbDebugTest, StaticBitsAreReadBackAndSent) {
    rig.settings().UsbSpiBits = 0x30;
    open();
    EXPECT_FALSE(get<QCheckBox>("chkStaticBits_2")->isChecked());
    EXPECT_TRUE(get<QCheckBox>("chkStaticBits_3")->isChecked());
    EXPECT_TRUE(get<QCheckBox>("chkStaticBits_4")->isChecked());
    EXPECT_FALSE(get<QCheckBox>("chkStaticBits_5")->isChecked());

    get<QCheckBox>("chkStaticBits_2")->setChecked(true);
    get<QCheckBox>("chkStaticBits_3")->setChecked(false);
    get<QCheckBox>("chkStaticBits_4")->setChecked(false);
    get<QCheckBox>("chkStaticBits_5")->setChecked(true);
    click("cmdSetSpiBits");
    EXPECT_EQ(rig.driver().lastBulkWrite(0), (std::vector<std::uint8_t>{0x0C, 0x48}));
    // Ticks left over on screen are replaced by what the card reports.
    get<QCheckBox>("chkStaticBits_3")->setChecked(true);
    click("cmdReadBits");
    EXPECT_TRUE(get<QCheckBox>("chkStaticBits_2")->isChecked());
    EXPECT_FALSE(get<QCheckBox>("chkStaticBits_3")->isChecked());
    EXPECT_TRUE(get<QCheckBox>("chkStaticBits_5")->isChecked());
}

TEST_F(UsbDebugTest, DelayBoxActsOnEnterOnly) {
    open();
    QLineEdit* delay = box("txtLoopDelay");
    delay->setText("300");
    const std::size_t before = rig.driver().bulkWrites(0).size();
    QTest::keyClick(delay, Qt::Key_A);
    EXPECT_EQ(rig.driver().bulkWrites(0).size(), before);
    delay->setText("300");
    QTest::keyClick(delay, Qt::Key_Return);
    EXPECT_EQ(rig.driver().lastBulkWrite(0), (std::vector<std::uint8_t>{0x0B, 0xFF}));
    EXPECT_EQ(delay->text(), "255");
    delay->setText("abc");
    QTest::keyClick(delay, Qt::Key_Enter);
    EXPECT_EQ(rig.driver().lastBulkWrite(0), (std::vector<std::uint8_t>{0x0B, 1}));
    EXPECT_EQ(delay->text(), "1");
    delay->setText("12.5us");  // halves go to the even neighbour
    QTest::keyClick(delay, Qt::Key_Return);
    EXPECT_EQ(delay->text(), "12");
    EXPECT_EQ(rig.card().delaySetting(0), 12);
}

TEST_F(UsbDebugTest, EveryCardActionWithoutACardAsksForOne) {
    rig.card().removeCard(0);
    open();
    EXPECT_EQ(rig.messages().texts(),
              std::vector<std::string>{"No USB Buffers Found, Please Verify Setup and Restart"});
    EXPECT_TRUE(framesDisabled());
    rig.messages().clear();
    // The frames are disabled for the user; the actions still guard themselves.
    window->setBits();
    window->readBits();
    window->readDelay();
    window->enterDelay();
    window->write();
    EXPECT_EQ(rig.messages().texts(), std::vector<std::string>(5, kNeedCard));
    EXPECT_TRUE(get<QRadioButton>("optUsbPort_4")->isChecked());
    EXPECT_TRUE(rig.driver().bulkWrites(0).empty());

    rig.messages().clear();
    window->loop();
    EXPECT_EQ(rig.messages().texts(), std::vector<std::string>{kNeedCard});
    EXPECT_TRUE(get<QRadioButton>("optUsbPort_4")->isChecked());
    EXPECT_EQ(get<QPushButton>("cmdLoop")->text(), "Loop");
    EXPECT_TRUE(rig.settings().UsbLoopStop);
}

TEST_F(UsbDebugTest, CardFailingSetBitsWhenChosen) {
    // The scan itself writes to the card; the set-bits command is the next write.
    rig.usb().FindUsbBuffers();
    int scanWrites = 0;
    for (const auto& r : rig.driver().requests())
        scanWrites += r.controlCode == kIoctlBulkWrite ? 1 : 0;
    rig.usb().UsbSelectedIndex = -1;
    rig.driver().failBulkWrite(0, scanWrites + 1);
    open();
    EXPECT_EQ(rig.messages().texts(),
              (std::vector<std::string>{"Error Setting SPI Bits", kNeedCard, kNeedCard}));
    EXPECT_FALSE(rig.usb().UsbReady());
    // The option stays marked; only write, set-bits and loop mark "None".
    EXPECT_TRUE(get<QRadioButton>("optUsbPort_0")->isChecked());
    // The failed delay read-back leaves the delay box at the setting.
    EXPECT_EQ(box("txtLoopDelay")->text(), QString::number(rig.settings().UsbSpiDelay));
}

TEST_F(UsbDebugTest, CardPulledOutDuringTheLoop) {
    open();
    box("txtNumWords")->setText("2");
    rig.driver().unplugAfter(0, 10);  // five whole transfers
    click("cmdLoop");                 // returns once the loop has ended
    EXPECT_EQ(rig.messages().texts(), std::vector<std::string>{"Error Writing SPI"});
    EXPECT_TRUE(rig.settings().UsbLoopStop);
    EXPECT_EQ(get<QPushButton>("cmdLoop")->text(), "Loop");
    EXPECT_TRUE(get<QRadioButton>("optUsbPort_4")->isChecked());
    EXPECT_TRUE(framesDisabled());
    EXPECT_FALSE(rig.usb().UsbReady());
}

TEST_F(UsbDebugTest, LoopEndsWhenTheWindowIsDestroyedDuringIt) {
    open();
    int transfers = 0;
    // Each pass of event processing runs this; on the third, the window goes.
    QPointer<frmUSBdebug> watch(window.get());
    std::function<void()> tick;
    tick = [&] {
        if (++transfers == 3) {
            window.reset();
            return;
        }
        QTimer::singleShot(0, tick);
    };
    QTimer::singleShot(0, tick);
    watch->loop();
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(transfers, 3);
    EXPECT_FALSE(rig.settings().UsbLoopStop);  // nothing stopped it: the window left
    EXPECT_TRUE(rig.messages().texts().empty());
}

TEST_F(UsbDebugTest, HidingKeepsTheLoopAndStopEndsIt) {
    QWidget main;  // a window stays on screen, from which the user can stop it
    main.show();
    open();
    const int passes = LoopWithEachPass([&](int pass) {
        if (pass == 2)
            window->close();  // acts as OK: hidden, loop goes on
        if (pass < 4)
            return false;
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(get<QPushButton>("cmdLoop")->text(), "Stop");
        click("cmdLoop");
        return true;
    });
    EXPECT_EQ(passes, 4);
    EXPECT_TRUE(rig.settings().UsbLoopStop);
    EXPECT_EQ(get<QPushButton>("cmdLoop")->text(), "Loop");
}

// At start-up with no usable card this window can be opened from the selection
// window while the main window is not yet on screen.
TEST_F(UsbDebugTest, BeforeTheMainWindowIsUpTheLoopRunsUntilTheProgramEnds) {
    frm1 main(rig.ctx());
    open(&main);
    QCloseEvent early;
    QApplication::sendEvent(window.get(), &early);
    EXPECT_FALSE(early.isAccepted());  // acts as OK
    window->show();

    const int passes = LoopWithEachPass([&](int pass) {
        if (pass < 4)
            return false;
        main.close();  // the program ends: the loop unwinds at this yield
        return true;
    });
    EXPECT_EQ(passes, 4);
    EXPECT_TRUE(rig.settings().UsbLoopStop);
    EXPECT_EQ(get<QPushButton>("cmdLoop")->text(), "Loop");
    QCloseEvent ending;
    QApplication::sendEvent(window.get(), &ending);
    EXPECT_TRUE(ending.isAccepted());
}

TEST_F(UsbDebugTest, BuiltBeforeTheMainWindowAppearsItIsPlacedAtItsFirstShowing) {
    QWidget main;
    main.move(40, 30);
    frmUSBdebug dialog(rig.ctx().usbSelect.debug, &main);
    main.move(210, 140);
    main.show();
    dialog.show();
    EXPECT_EQ(dialog.pos(), main.pos());
    dialog.hide();
    dialog.move(320, 260);
    dialog.show();
    EXPECT_EQ(dialog.pos(), QPoint(320, 260));
    dialog.hide();
}

TEST_F(UsbDebugTest, WordBoxesCountCharactersNotBytes) {
    open();
    box("txtNumWords")->setText("1");
    box("txtWriteSpi", 1)->setText(QString::fromUtf8("1\u00e9"));  // é: one character, 0
    click("cmdWriteSpi");
    EXPECT_EQ(rig.driver().lastBulkWrite(0), (std::vector<std::uint8_t>{0x0D, 1, 1, 0x00, 0x10}));
}

// Outside the loop a failed set-bits or write marks "None" too, and the card
// can be chosen again afterwards.
TEST_F(UsbDebugTest, FailedSetBitsOrWriteMarkNone) {
    open();
    ASSERT_TRUE(framesEnabled());
    rig.driver().failBulkWrite(0, 1);
    click("cmdSetSpiBits");
    EXPECT_EQ(rig.messages().texts(), std::vector<std::string>{"Error Setting SPI Bits"});
    EXPECT_TRUE(get<QRadioButton>("optUsbPort_4")->isChecked());
    EXPECT_TRUE(framesDisabled());

    rig.messages().clear();
    get<QRadioButton>("optUsbPort_0")->click();
    ASSERT_TRUE(framesEnabled());
    ASSERT_TRUE(rig.messages().texts().empty());
    rig.driver().failBulkWrite(0, 1);
    click("cmdWriteSpi");
    EXPECT_EQ(rig.messages().texts(), std::vector<std::string>{"Error Writing SPI"});
    EXPECT_TRUE(get<QRadioButton>("optUsbPort_4")->isChecked());
    EXPECT_TRUE(framesDisabled());
    EXPECT_FALSE(rig.usb().UsbReady());
}

}  // namespace
}  // namespace quenlor
