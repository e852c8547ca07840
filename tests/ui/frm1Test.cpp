// The main window offscreen against the simulated card and sensor, through the whole stack.

#include <gtest/gtest.h>

#include <cmath>

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "acquisition/BusTurn.h"
#include "core/SettingsFile.h"
#include "core/Version.h"
#include "regmap/StatusRegister.h"
#include "sim/BusTrace.h"
#include "tests/ui/UiRig.h"
#include "ui/datalog/frmDatalog.h"
#include "ui/main/OutputPanel.h"
#include "ui/main/frm1.h"
#include "ui/registers/frmManualReg.h"

namespace quenlor {
namespace {

constexpr std::uint8_t kDiagStat = SimSensor::kDiagStat;

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// The text each value box showed whenever it was painted.
class PaintLog : public QObject {
  public:
    explicit PaintLog(OutputPanel& panel) : panel_(panel) {
        for (int i = 1; i <= 8; ++i)
            panel.txtReadReg(i).installEventFilter(this);
    }
    const std::vector<QString>& painted(int i) const {
        return painted_[static_cast<std::size_t>(i)];
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        for (int i = 1; i <= 8 && event->type() == QEvent::Paint; ++i) {
            if (watched == &panel_.txtReadReg(i))
                painted_[static_cast<std::size_t>(i)].push_back(panel_.txtReadReg(i).text());
        }
        return false;
    }

  private:
    OutputPanel& panel_;
    std::array<std::vector<QString>, 9> painted_;
};

// Paint events of one widget.
class PaintCount : public QObject {
  public:
    explicit PaintCount(QWidget& widget) { widget.installEventFilter(this); }
    int count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

class frm1Test : public ::testing::Test {
  protected:
    void Build(UiRig::Setup setup) {
        window_.reset();  // before the stack it refers to
        rig_ = std::make_unique<UiRig>(setup);
        rig_->sensor().setTrace(&trace_);
        window_ = std::make_unique<frm1>(rig_->ctx());
    }
    void Load(UiRig::Setup setup = {InterfaceUsb, true, false}) {
        Build(setup);
        window_->Form_Load();
    }
    // Read requests for DIAG_STAT on the wire (each read sends its request twice).
    // The wire is the worker's while a loop runs: looked at with the bus.
    int DiagStatReads() {
        BusTurn turn(rig_->stack().engine());
        return Count(wire_.str(), "sent 3C00") / 2;
    }
    std::uint64_t Samples() {
        BusTurn turn(rig_->stack().engine());
        return rig_->sensor().sampleCount();
    }

    QPushButton& ReadButton() { return window_->outputs().cmdReadData(); }

    std::ostringstream wire_;
    BusTrace trace_{wire_};
    std::unique_ptr<UiRig> rig_;
    std::unique_ptr<frm1> window_;
};

TEST(frm1Os, ClassifiesTheFamilyByBuildAndVersion) {
    EXPECT_EQ(frm1::ClassifyOs(1, 4.0, 2000), "Win95");
    EXPECT_EQ(frm1::ClassifyOs(1, 4.1, 2001), "Win98");
    EXPECT_EQ(frm1::ClassifyOs(2, 5.0, 2195), "WinNT");
    EXPECT_EQ(frm1::ClassifyOs(2, 5.1, 2600), "WinXP");
    EXPECT_EQ(frm1::ClassifyOs(2, 4.0, 1381), "WinNT");
}

TEST_F(frm1Test, LoadWithCardPreparesItAndTakesOnePass) {
    Build({InterfaceUsb, true, false});
    rig_->sensor().setSampleRate(0.001);  // no new sample: bit 7 stays as poked
    rig_->sensor().pokeWord(kDiagStat, 0);
    window_->Form_Load();

    EXPECT_EQ(window_->windowTitle(), "Harnwick         Quenlor_Eval_Rev_2");
    EXPECT_EQ(window_->OsName(), "WinXP");
    EXPECT_TRUE(rig_->messages().boxes.empty());
    EXPECT_TRUE(rig_->usb().UsbReady());
    EXPECT_TRUE(window_->mnuUsb().isChecked());
    EXPECT_EQ(rig_->card().staticBits(0), 120);
    EXPECT_EQ(rig_->card().delaySetting(0), 25);

    const char* labels[] = {"SUPPLY_OUT", "XACCL_OUT", "YACCL_OUT", "ZACCL_OUT",
                            "TEMP_OUT",   "XINCL_OUT", "YINCL_OUT", "ZINCL_OUT"};
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(window_->outputs().lblReadReg(i).text(), labels[i - 1]);
        EXPECT_TRUE(window_->outputs().ck(i).isChecked());
        EXPECT_FALSE(window_->outputs().txtReadReg(i).text().isEmpty()) << i;
        EXPECT_TRUE(window_->OutputValues()[static_cast<std::size_t>(i)].has_value()) << i;
    }
    EXPECT_FALSE(window_->OutputValues()[0].has_value());
    EXPECT_FALSE(window_->OutputValues()[9].has_value());
    // Once by the status display, once by the single data-ready poll, although bit 7 is 0.
    EXPECT_EQ(DiagStatReads(), 2);
    EXPECT_EQ(ReadButton().text(), "Read");
    EXPECT_EQ(window_->accelPlot().state().X, 1.0f);
    EXPECT_EQ(window_->inclPlot().state().X, 1.0f);
    EXPECT_EQ(window_->accelPlot().scaleButton().text(), "2");
    EXPECT_EQ(window_->inclPlot().lowerLabel().text(), "-180");
    EXPECT_EQ(window_->accelPlot().cursorYLabel().text(), "0.00");
    EXPECT_EQ(window_->status().LBLAtitle(7).text(), "Data Ready");
}

TEST_F(frm1Test, LoadWithoutCardOpensTheSelectionWindowAndKeepsUsb) {
    Build({InterfaceUsb, false, false});
    UiRig::CloseModalSoon(50);
    window_->Form_Load();

    ASSERT_FALSE(rig_->messages().boxes.empty());
    EXPECT_EQ(rig_->messages().boxes.front().text,
              "No USB Buffers Found, Please Verify Setup and Restart");
    EXPECT_EQ(rig_->settings().Interface, InterfaceUsb);
    EXPECT_FALSE(window_->mnuUsb().isChecked());
    EXPECT_EQ(window_->accelPlot().state().X, 1.0f);  // the load went on
}

TEST_F(frm1Test, UsbMenuFollowsTheCardChosenInTheSelectionWindow) {
    Load({InterfaceNone, false, false});
    rig_->messages().clear();
    UiRig::CloseModalSoon(50);
    window_->mnuUsb().trigger();
    EXPECT_EQ(rig_->settings().Interface, InterfaceNone);
    EXPECT_FALSE(window_->mnuUsb().isChecked());

    rig_->card().placeCard(0);
    UiRig::CloseModalSoon(50);  // the window searches again when it is shown
    window_->mnuUsb().trigger();
    EXPECT_TRUE(rig_->usb().UsbReady());
    EXPECT_EQ(rig_->settings().Interface, InterfaceUsb);
    EXPECT_TRUE(window_->mnuUsb().isChecked());
}

TEST_F(frm1Test, UsbOnWin95IsRefusedOnceAndTheMenuHidden) {
    Build({InterfaceUsb, true, false});
    rig_->systemInfo().platform = 1;
    rig_->systemInfo().buildNumber = 950;
    window_->Form_Load();

    EXPECT_EQ(window_->OsName(), "Win95");
    ASSERT_EQ(rig_->messages().texts(),
              std::vector<std::string>{"USB not available for Windows95"});
    EXPECT_EQ(rig_->messages().boxes.front().title, "Quenlor_Eval_Rev_2");
    EXPECT_EQ(rig_->settings().Interface, InterfaceNone);
    EXPECT_FALSE(window_->mnuUsb().isChecked());
    EXPECT_FALSE(window_->mnuUsb().isVisible());
    EXPECT_FALSE(rig_->usb().UsbReady());
    EXPECT_EQ(window_->accelPlot().state().X, 1.0f);
}

TEST_F(frm1Test, NoOrUnknownInterfaceAsksForOneAndStillReadsOnce) {
    for (std::int16_t value : {std::int16_t{0}, std::int16_t{7}}) {
        Load({value, true, false});
        EXPECT_EQ(rig_->messages().texts(),
                  std::vector<std::string>{"Please select an interface before taking data"})
            << value;
        EXPECT_EQ(rig_->settings().Interface, InterfaceNone);
        EXPECT_EQ(window_->status().LbLAbit(0).text(), "OK");  // decoded what access yields
        EXPECT_EQ(window_->accelPlot().state().X, 1.0f);
        EXPECT_EQ(rig_->sensor().frameCount(), 0u);  // nothing reached the wire
    }
}

TEST_F(frm1Test, ParallelPortIsPreparedOnNtOnly) {
    Load({InterfaceParallel, false, false});
    EXPECT_GT(rig_->registry().opens, 0);  // the driver installation looked at the service
    EXPECT_EQ(rig_->ioPermission().grants, std::vector<std::int16_t>{888});
    EXPECT_TRUE(rig_->settings().PortIoReady);
    EXPECT_TRUE(rig_->messages().boxes.empty());

    Build({InterfaceParallel, false, false});
    rig_->systemInfo().platform = 1;
    rig_->systemInfo().buildNumber = 2222;
    window_->Form_Load();
    EXPECT_EQ(window_->OsName(), "Win98");
    EXPECT_EQ(rig_->registry().opens, 0);
    EXPECT_TRUE(rig_->ioPermission().grants.empty());
    EXPECT_FALSE(rig_->settings().PortIoReady);
}

TEST_F(frm1Test, ParallelPortChosenInTheMenuIsPreparedAtOnceAndSavedAtExit) {
    Load({InterfaceUsb, true, false});
    rig_->messages().clear();
    rig_->messages().typed = {"37X", " 3bc "};  // a typing error, then the address
    window_->mnuParallel().trigger();
    ASSERT_EQ(rig_->messages().boxes.size(), 3u);
    EXPECT_EQ(rig_->messages().boxes[1].text,
              "\"37X\" is not a port address: type 1 to 4 hex digits, such as 378.");
    EXPECT_EQ(rig_->messages().initialTexts, (std::vector<std::string>{"378", "37X"}));
    EXPECT_EQ(rig_->settings().Interface, InterfaceParallel);
    EXPECT_EQ(rig_->settings().PortAddress, 0x3BC);
    // Prepared as the load prepares it on an NT-class system.
    EXPECT_GT(rig_->registry().opens, 0);
    EXPECT_EQ(rig_->ioPermission().grants, std::vector<std::int16_t>{0x3BC});
    EXPECT_TRUE(rig_->settings().PortIoReady);
    EXPECT_EQ(rig_->board().base(), 0x3BC);
    EXPECT_TRUE(window_->mnuParallel().isChecked());
    EXPECT_FALSE(window_->mnuUsb().isChecked());
    EXPECT_EQ(window_->lblInterface().text(), "Parallel port 3BC hex");
    const int framesBefore = rig_->board().framesStarted();
    window_->ReadLoop();
    EXPECT_GT(rig_->board().framesStarted(), framesBefore);
    EXPECT_TRUE(window_->outputs().isLive(2));

    // Cancelled: nothing changes.
    window_->mnuParallel().trigger();
    EXPECT_EQ(rig_->messages().initialTexts.back(), "3BC");
    EXPECT_EQ(rig_->settings().PortAddress, 0x3BC);
    EXPECT_TRUE(window_->mnuParallel().isChecked());

    window_->MnuExit().trigger();
    EXPECT_EQ(ReadFile(rig_->settingsFile()),
              "Interface =  1 \r\nPort Address =  956 \r\nProductNumber =  0 \r\n");
}

TEST_F(frm1Test, AboutNamesTheVersionTheInterfaceInUseAndTheLicence) {
    Load();
    rig_->messages().clear();
    window_->mnuAbout().trigger();
    rig_->settings().Interface = InterfaceParallel;
    rig_->settings().PortAddress = 888;
    window_->mnuAbout().trigger();
    ASSERT_EQ(rig_->messages().boxes.size(), 2u);
    const auto& usb = rig_->messages().boxes[0];
    EXPECT_EQ(usb.title, kAppTitle);
    EXPECT_EQ(usb.icon, MessageIcon::Information);
    EXPECT_NE(usb.text.find(std::string("quenlor-eval version ") + kVersion), std::string::npos);
    EXPECT_NE(usb.text.find("Interface: USB-to-SPI adapter card"), std::string::npos);
    EXPECT_NE(usb.text.find("MIT License"), std::string::npos);
    const auto folder = rig_->settingsFile().parent_path().make_preferred().string();
    EXPECT_NE(usb.text.find("Settings (CommPort.cfg): " + folder + "\r\n"), std::string::npos);
    EXPECT_NE(usb.text.find("Datalogs: " + folder + "\r\n"), std::string::npos);
    EXPECT_NE(rig_->messages().boxes[1].text.find("Interface: parallel port at 378 hex"),
              std::string::npos);
}

TEST_F(frm1Test, ExitAndClosingWriteTheSettings) {
    Load();
    rig_->settings().PortAddress = 632;
    window_->MnuExit().trigger();
    EXPECT_TRUE(window_->closing());
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(ReadFile(rig_->settingsFile()),
              "Interface =  2 \r\nPort Address =  632 \r\nProductNumber =  0 \r\n");

    Load();
    window_->show();
    rig_->settings().Interface = InterfaceNone;
    window_->close();
    EXPECT_EQ(ReadFile(rig_->settingsFile()).substr(0, 17), "Interface =  0 \r\n");
}

TEST_F(frm1Test, PortAddressFrom8000HexIsUsedAndSurvivesAStartAndAnExit) {
    Build({InterfaceParallel, false, false});
    std::ofstream(rig_->settingsFile(), std::ios::binary)
        << "Interface = 1\r\nPort Address = 57360\r\nProductNumber = 0\r\n";
    LoadSettings(rig_->settings(), rig_->dir());
    window_->Form_Load();
    EXPECT_EQ(rig_->ioPermission().grants, std::vector<std::int16_t>{-8176});
    EXPECT_EQ(static_cast<std::uint16_t>(rig_->board().base()), 0xE010);
    EXPECT_GT(rig_->board().framesStarted(), 0);
    window_->MnuExit().trigger();
    EXPECT_EQ(ReadFile(rig_->settingsFile()),
              "Interface =  1 \r\nPort Address = -8176 \r\nProductNumber =  0 \r\n");
}

TEST_F(frm1Test, ClosingWhileTheLoopRunsEndsItAtTheNextYield) {
    Load();
    window_->show();
    // Close once a pass has plotted, however slow the build: polls until then.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, window_.get(), [this, &poll] {
        if (window_->accelPlot().state().X > 1.0f) {
            poll.stop();
            window_->close();
        }
    });
    poll.start(5);
    ReadButton().click();  // returns only when the loop has ended
    EXPECT_TRUE(window_->closing());
    EXPECT_GT(window_->accelPlot().state().X, 1.0f);
    EXPECT_TRUE(std::filesystem::exists(rig_->settingsFile()));
}

TEST_F(frm1Test, ReadRunsUntilStopAndNestedClicksRestartIt) {
    Load();
    // Each step waits for passes (DIAG_STAT polls) rather than for time, so a
    // slow build changes nothing. A timer is not fired again while its own slot
    // runs, so the inner loop is stopped by a second timer.
    int outerPolls = 0;
    int innerPolls = 0;
    QTimer outer;
    QTimer inner;
    int mark = DiagStatReads();
    QObject::connect(&inner, &QTimer::timeout, &ReadButton(), [&] {
        if (DiagStatReads() < mark + 2)
            return;
        inner.stop();
        innerPolls = DiagStatReads() - mark;
        EXPECT_EQ(ReadButton().text(), "STOP");
        ReadButton().click();  // ends the inner loop, then the outer one
    });
    QObject::connect(&outer, &QTimer::timeout, &ReadButton(), [&] {
        if (DiagStatReads() < mark + 2)
            return;
        outer.stop();
        outerPolls = DiagStatReads() - mark;
        EXPECT_EQ(ReadButton().text(), "STOP");
        ReadButton().click();  // STOP: returns at once
        EXPECT_EQ(ReadButton().text(), "Read");
        mark = DiagStatReads();
        inner.start(2);
        ReadButton().click();  // Read again before the loop looked: a nested loop
        // The click returned only when the nested loop had run and stopped.
        EXPECT_GE(innerPolls, 2);
        EXPECT_EQ(ReadButton().text(), "Read");
    });
    outer.start(2);
    ReadButton().click();
    EXPECT_EQ(ReadButton().text(), "Read");
    EXPECT_GE(outerPolls, 2);

    // Stopped: nothing more happens.
    const int stopped = DiagStatReads();
    QTest::qWait(20);
    EXPECT_EQ(DiagStatReads(), stopped);
}

// Opened while the read loop runs, the datalog window's run goes on the
// worker where the loop stands; the loop ends once the window has closed, as
// the window's opening set the read button back to "Read".
TEST_F(frm1Test, ADatalogRunDuringTheReadLoopTakesItsSamplesThenTheLoopEnds) {
    Load();
    QTimer outer;
    const int mark = DiagStatReads();
    bool loopWaitedForTheRun = false;
    QObject::connect(&outer, &QTimer::timeout, &ReadButton(), [&] {
        if (DiagStatReads() < mark + 2)
            return;
        outer.stop();
        QTimer::singleShot(0, [&] {
            auto* w = qobject_cast<frmDatalog*>(QApplication::activeModalWidget());
            ASSERT_NE(w, nullptr);
            w->findChild<QLineEdit*>("txtSamplesPerFile")->setText("5");
            w->findChild<QLineEdit*>("txtFilesPerSession")->setText("2");
            w->findChild<QPushButton*>("cmdStartDatalog")->click();
            loopWaitedForTheRun = rig_->stack().engine().Active();
            w->reject();
        });
        window_->mnuDatalog().trigger();
    });
    outer.start(2);
    ReadButton().click();
    EXPECT_TRUE(loopWaitedForTheRun);
    EXPECT_EQ(ReadButton().text(), "Read");
    EXPECT_FALSE(rig_->stack().engine().Active());
    for (const char* name : {"DATALOG_1.csv", "DATALOG_2.csv"}) {
        std::ifstream in(rig_->dir() / name, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(Count(text, "\r\n"), 8 + 5) << name;
    }
}

// At a slow rate every pass reaches the boxes: the window paints at the
// screen's pace, not when the loop lets it.
TEST_F(frm1Test, AtTenSamplesASecondTheBoxesShowEveryPass) {
    Load({InterfaceUsb, true, false, &UiRig::NoSpin, nullptr, true});
    rig_->sensor().setSampleRate(10);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    PaintLog log(window_->outputs());
    const auto samplesBefore = Samples();
    QTimer::singleShot(1000, &ReadButton(), [this] { ReadButton().click(); });
    ReadButton().click();
    const auto passes = Samples() - samplesBefore;
    ASSERT_GE(passes, 5u);
    // XACCL_OUT is noisy: each pass's reading is a text of its own. A frame
    // lost to a machine busy with other work may merge two passes.
    std::vector<QString> shown = log.painted(2);
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    EXPECT_GE((shown.size() + 1) * 10, passes * 8) << shown.size() << " of " << passes;
}

// With no interface the loop polls without end; the window still answers and
// paints a click on a scale button at once.
TEST_F(frm1Test, WithoutAnInterfaceTheWindowIsPaintedWhileTheLoopWaits) {
    Load({InterfaceNone, false, false});
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    QPushButton& scale = window_->accelPlot().scaleButton();
    PaintCount paints(scale);
    // A click every 10 ms changes the caption; each wants a paint. Counted
    // against the clicks handled, so a busy machine that handles fewer of
    // them asks for fewer paints too.
    int clicked = 0;
    QTimer clicks;
    QObject::connect(&clicks, &QTimer::timeout, &scale, [&] {
        scale.click();
        if (++clicked == 30)
            ReadButton().click();
    });
    clicks.start(10);
    QTimer::singleShot(10000, &ReadButton(), [this] { ReadButton().click(); });
    ReadButton().click();
    EXPECT_GE(clicked, 30);
    EXPECT_GE(paints.count, clicked / 2);  // at least 50 a second on an idle machine
}

// Boxes and statistics come from the same pass: no value shown lies outside
// its row's Min and Max.
TEST_F(frm1Test, EveryValueShownLiesWithinItsRowsMinAndMax) {
    Load({InterfaceUsb, true, false, &UiRig::NoSpin, nullptr, true});
    rig_->sensor().setSampleRate(500);
    window_->show();
    OutputPanel& rows = window_->outputs();
    int looks = 0;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &rows, [&] {
        // Blank until the new run's first pass is on screen.
        if (rows.statistics().lblMin(1).text().isEmpty())
            return;
        for (int i = 1; i <= 8; ++i) {
            // A box shows three decimals at most ("0.0##"), the statistics the
            // register's resolution: a reading within Min and Max is shown
            // within half a box digit of them, whichever way it was rounded.
            const double value = rows.txtReadReg(i).text().toDouble();
            const double min = rows.statistics().lblMin(i).text().toDouble();
            const double max = rows.statistics().lblMax(i).text().toDouble();
            EXPECT_LE(min - 0.0005 - 1e-9, value) << i;
            EXPECT_LE(value, max + 0.0005 + 1e-9) << i;
        }
        // Stopped after enough looks, however slowly a busy machine runs it.
        if (++looks == 8)
            ReadButton().click();
    });
    look.start(7);
    QTimer::singleShot(10000, &ReadButton(), [this] { ReadButton().click(); });
    ReadButton().click();
    EXPECT_GE(looks, 8);
}

TEST_F(frm1Test, UntickedRowsAreNotReadButThePlotsAdvance) {
    Load();
    for (int i = 1; i <= 8; ++i)
        window_->outputs().ck(i).setChecked(false);
    window_->outputs().txtReadReg(2).setText("kept");
    const auto framesBefore = rig_->sensor().frameCount();
    const int diagBefore = DiagStatReads();
    window_->ReadLoop();
    EXPECT_EQ(window_->outputs().txtReadReg(2).text(), "kept");
    EXPECT_EQ(window_->accelPlot().state().X, 2.0f);
    // Only the data-ready poll went over the wire.
    EXPECT_EQ(rig_->sensor().frameCount() - framesBefore, 2u);
    EXPECT_EQ(DiagStatReads() - diagBefore, 1);
}

TEST_F(frm1Test, StatusColoursFollowTheBits) {
    Load();
    rig_->sensor().pokeWord(kDiagStat, 0);
    window_->status().CmdReadStatus().click();
    for (int b = 0; b < 12; ++b) {
        EXPECT_EQ(window_->status().LbLAbit(b).text(), "OK") << b;
        EXPECT_EQ(window_->status().bitColour(b), StatusPanel::kGreen) << b;
        EXPECT_EQ(window_->status().LbLAbit(b).palette().color(QPalette::Window),
                  QColor(StatusPanel::kGreen));
    }
    rig_->sensor().pokeWord(kDiagStat, 0xF081);  // bits 12..15 show nowhere
    window_->ReadStatus();
    for (int b = 0; b < 12; ++b) {
        const bool set = b == 0 || b == 7;
        EXPECT_EQ(window_->status().LbLAbit(b).text(), b == 0 ? "FAIL" : (b == 7 ? "SET" : "OK"))
            << b;
        EXPECT_EQ(window_->status().bitColour(b),
                  b == 0 ? StatusPanel::kRed : (set ? StatusPanel::kYellow : StatusPanel::kGreen))
            << b;
    }
    for (std::size_t b = 0; b < kStatusBits.size(); ++b)
        EXPECT_EQ(window_->status().LBLAtitle(static_cast<int>(b)).text(), kStatusBits[b].name);
}

TEST_F(frm1Test, ClearCommandsTheSensorAndShowsTheRegisterAfterwards) {
    Load();
    rig_->sensor().pokeWord(kDiagStat, 0x0009);
    window_->ReadStatus();
    ASSERT_EQ(window_->status().LbLAbit(3).text(), "FAIL");
    wire_.str("");
    window_->status().cmdClearStatus().click();
    // GLOB_CMD (0x3E) takes one byte: 16 goes out as the single write frame BE10.
    EXPECT_EQ(Count(wire_.str(), "sent BE10"), 1);
    EXPECT_EQ(Count(wire_.str(), "sent BF"), 0);
    EXPECT_EQ(window_->status().LbLAbit(3).text(), "OK");
    EXPECT_EQ(window_->status().LbLAbit(0).text(), "OK");
}

// A card that stops answering: the status bar says so at once, and what is on
// show keeps its numbers but greys out until it is read anew.
TEST_F(frm1Test, CardFailureGreysTheReadingsAndTheStatusBarSaysSo) {
    Load();
    const QLabel& field = window_->lblInterface();
    EXPECT_EQ(field.text(), "USB card Ezusb-0, Tarrow, rev 1.5, USB 2");
    for (int i = 1; i <= 8; ++i)
        EXPECT_TRUE(window_->outputs().isLive(i)) << i;
    EXPECT_TRUE(window_->status().isLive());

    rig_->driver().failAllRequests(0, kIoctlBulkRead);
    window_->ReadLoop();
    EXPECT_EQ(rig_->messages().texts(), std::vector<std::string>{"Error Reading SPI"});
    EXPECT_EQ(field.text(), "Card not answering");
    for (int i = 1; i <= 8; ++i) {
        EXPECT_FALSE(window_->outputs().isLive(i)) << i;
        EXPECT_FALSE(window_->outputs().txtReadReg(i).text().isEmpty()) << i;
        EXPECT_EQ(window_->outputs().txtReadReg(i).palette().color(QPalette::Text),
                  QColor(OutputPanel::kStaleText));
    }
    EXPECT_FALSE(window_->status().isLive());
    EXPECT_EQ(window_->status().LbLAbit(0).text(), "OK");
    EXPECT_EQ(window_->status().LbLAbit(0).palette().color(QPalette::Window),
              QColor(StatusPanel::kStale));

    // Chosen again: the field follows at once, each value when it is read again.
    rig_->driver().clearFaults(0);
    UiRig::CloseModalSoon(50);
    window_->mnuUsb().trigger();
    EXPECT_EQ(field.text(), "USB card Ezusb-0, Tarrow, rev 1.5, USB 2");
    EXPECT_FALSE(window_->outputs().isLive(3));
    window_->outputs().ck(3).setChecked(false);
    window_->ReadLoop();
    EXPECT_TRUE(window_->outputs().isLive(2));
    EXPECT_FALSE(window_->outputs().isLive(3));  // not read: still the old number
    EXPECT_FALSE(window_->status().isLive());
    window_->ReadStatus();
    EXPECT_TRUE(window_->status().isLive());
    EXPECT_EQ(window_->status().LbLAbit(0).palette().color(QPalette::Window),
              QColor(StatusPanel::kGreen));
}

TEST_F(frm1Test, WithoutAWorkingInterfaceReadingsAreGreyAndARunningLoopSaysSo) {
    Load({InterfaceNone, true, false});
    EXPECT_EQ(window_->lblInterface().text(), "No interface");
    EXPECT_FALSE(window_->outputs().isLive(5));
    EXPECT_FALSE(window_->status().isLive());
    QString whileReading;
    QTimer::singleShot(20, window_.get(), [&] {
        whileReading = window_->lblInterface().text();
        ReadButton().click();
    });
    ReadButton().click();
    EXPECT_EQ(whileReading, "No interface \u2014 the read loop measures nothing");
    EXPECT_EQ(window_->lblInterface().text(), "No interface");

    Build({InterfaceParallel, false, false});
    rig_->board().denyAccess();
    window_->Form_Load();
    EXPECT_EQ(window_->lblInterface().text(), "Parallel port 378 hex not reachable");
    EXPECT_FALSE(window_->outputs().isLive(1));
    rig_->board().denyAccess(false);
    window_->ReadLoop();
    EXPECT_EQ(window_->lblInterface().text(), "Parallel port 378 hex");
    EXPECT_TRUE(window_->outputs().isLive(1));
}

// Every pixel of the group outside its rows, as a plain group box of the same
// title and size paints it; checked again after a resize and a palette change,
// so a kept background that went stale shows.
// The register window from the menu: "Close Window" keeps it as it was, its
// close box destroys it and the next opening loads afresh.
TEST_F(frm1Test, RegistersMenuKeepsTheWindowUntilItsCloseBoxDestroysIt) {
    Build({InterfaceUsb, true, true});
    window_->show();
    struct Seen {
        int choice = -2;
        QString address;
    };
    // Runs inside the modal window's own loop: notes what it shows, picks
    // AVG_CNT when asked, then leaves by the button or by the close box.
    const auto openAndLeave = [&](bool choose, bool closeBox) {
        Seen seen;
        QTimer::singleShot(0, [&, choose, closeBox] {
            auto* w = qobject_cast<frmManualReg*>(QApplication::activeModalWidget());
            if (!w)
                return;
            seen.choice = w->cmboRegister->currentIndex();
            if (choose) {
                w->cmboRegister->setCurrentIndex(AVG_CNT);
                emit w->cmboRegister->activated(AVG_CNT);
            }
            seen.address = w->txtRegAddr->text();
            if (closeBox)
                w->close();
            else
                w->cmdClose->click();
        });
        window_->mnuRegisters().trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return seen;
    };
    EXPECT_EQ(openAndLeave(true, false).choice, -1);
    const Seen kept = openAndLeave(false, true);
    EXPECT_EQ(kept.choice, AVG_CNT);
    EXPECT_EQ(kept.address, "38");
    // A new window chooses again the register the user chose last.
    const Seen fresh = openAndLeave(false, false);
    EXPECT_EQ(fresh.choice, AVG_CNT);
    EXPECT_EQ(fresh.address, "38");
}

TEST(OutputPanelPaint, FrameAndTitleMatchAPlainGroupBox) {
    QWidget windowA, windowB;
    auto* panel = new OutputPanel(&windowA);
    auto* plain = new QGroupBox(panel->title(), &windowB);
    auto compare = [&](QSize size) {
        for (QWidget* w : {&windowA, &windowB})
            w->resize(size + QSize(20, 20));
        panel->setGeometry(QRect(QPoint(10, 10), size));
        plain->setGeometry(QRect(QPoint(10, 10), size));
        const QImage a = windowA.grab().toImage();
        const QImage b = windowB.grab().toImage();
        const QRect rows = panel->layout()->contentsRect().translated(10, 10);
        int differing = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (!rows.contains(x, y))
                    differing += a.pixel(x, y) != b.pixel(x, y);
        return differing;
    };
    windowA.show();
    windowB.show();
    const QSize least = panel->minimumSizeHint();
    EXPECT_EQ(compare(least), 0);
    EXPECT_EQ(compare(least + QSize(40, 40)), 0);
    QPalette dark = windowA.palette();
    dark.setColor(QPalette::Window, QColor(90, 60, 60));
    dark.setColor(QPalette::WindowText, Qt::white);
    windowA.setPalette(dark);
    windowB.setPalette(dark);
    EXPECT_EQ(compare(least + QSize(40, 40)), 0);
}

}  // namespace
}  // namespace quenlor
