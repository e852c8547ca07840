// The register window against the simulated card and sensor, through the whole stack.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/UiRig.h"
#include "ui/registers/frmManualReg.h"

namespace quenlor {
namespace {

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start != text.size())
        lines.push_back(text.substr(start) + "<unterminated>");
    return lines;
}

// What a PDF file says about itself: its page objects and its image objects.
struct PdfSummary {
    int pages = 0;
    std::vector<int> imageWidths;
};

PdfSummary ReadPdf(const QString& path) {
    QFile file(path);
    PdfSummary summary;
    if (!file.open(QIODevice::ReadOnly))
        return summary;
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("%PDF-"))
        return summary;
    // "/Type /Pages" is the page tree, not a page.
    static const QRegularExpression page(R"(/Type\s*/Page(?![a-zA-Z]))");
    for (auto it = page.globalMatch(QString::fromLatin1(bytes)); it.hasNext(); it.next())
        ++summary.pages;
    static const QRegularExpression image(R"(/Subtype\s*/Image[^>]*?/Width\s+(\d+))");
    for (auto it = image.globalMatch(QString::fromLatin1(bytes)); it.hasNext();)
        summary.imageWidths.push_back(it.next().captured(1).toInt());
    return summary;
}

// Records what a widget went through, with the sensor's frame count at that moment.
class EventLog : public QObject {
  public:
    EventLog(QObject* watched, const SimSensor& sensor) : sensor_(sensor) {
        watched->installEventFilter(this);
    }
    struct Entry {
        QEvent::Type type;
        std::uint64_t frames;
    };
    std::vector<Entry> entries;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type t = event->type();
        if (t == QEvent::Show || t == QEvent::Hide || t == QEvent::Paint)
            entries.push_back({t, sensor_.frameCount()});
        return false;
    }

  private:
    const SimSensor& sensor_;
};

class frmManualRegTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The sensor's clock stands still, so values put into the output
        // registers are not replaced by new samples during a test.
        rig_.setSimStep(0.0);
        main_.move(140, 90);
        main_.resize(300, 200);
        main_.show();
        window_ = std::make_unique<frmManualReg>(rig_.ctx().registerWindow, &main_);
    }

    void Choose(int index) {
        window_->cmboRegister->setCurrentIndex(index);
        emit window_->cmboRegister->activated(index);
    }

    std::string ListingLine(int index) const {
        return SplitCrLf(window_->listingText()).at(static_cast<std::size_t>(index + 2));
    }

    UiRig rig_;
    QWidget main_;
    std::unique_ptr<frmManualReg> window_;
};

TEST_F(frmManualRegTest, LoadsAllLabelsInTableOrderWithNothingChosen) {
    QComboBox& combo = *window_->cmboRegister;
    ASSERT_EQ(combo.count(), 31);
    EXPECT_EQ(combo.itemText(0), "FLASH_CNT");
    EXPECT_EQ(combo.itemText(29), "PROD_ID");
    EXPECT_EQ(combo.itemText(30), "SERIAL_NUM");
    for (int i = 0; i < combo.count(); ++i)
        EXPECT_EQ(combo.itemText(i).toStdString(),
                  rig_.ctx().registerTable[static_cast<std::int16_t>(i)].Label);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(SplitCrLf(window_->listingText()).size(), 33u);
    EXPECT_EQ(window_->pos(), main_.pos());
    EXPECT_EQ(window_->windowTitle(), "Registers");
    EXPECT_TRUE(rig_.messages().boxes.empty());
}

TEST_F(frmManualRegTest, ChoosingARegisterFillsItsAttributesAndReadsIt) {
    rig_.sensor().pokeWord(0x56, 0x1234);
    rig_.sensor().pokeWord(0x12, 0xFFFB);

    window_->txtDataWrite->setText("77");
    Choose(DIAG_STAT);
    EXPECT_EQ(window_->txtRegAddr->text(), "3C");
    EXPECT_EQ(window_->txtRegByte->text(), "2");
    EXPECT_EQ(window_->txtRegRead->text(), "True");
    EXPECT_EQ(window_->txtRegWrite->text(), "False");
    EXPECT_FALSE(window_->cmdWrite->isEnabled());
    EXPECT_TRUE(window_->cmdRead->isEnabled());
    EXPECT_TRUE(window_->txtDataWrite->text().isEmpty());
    EXPECT_EQ(window_->txtRegHex->text(),
              QString::number(rig_.sensor().peekWord(0x3C), 16).toUpper());

    // PROD_ID is one byte wide and keeps only the low byte of its word.
    Choose(PROD_ID);
    EXPECT_EQ(window_->txtRegByte->text(), "1");
    EXPECT_EQ(window_->txtRegAddr->text(), "56");
    EXPECT_EQ(window_->txtRegHex->text(), "34");
    EXPECT_EQ(window_->txtRegVal->text(), "52");
    EXPECT_TRUE(window_->cmdWrite->isEnabled());

    // A negative value shows as its 32-bit two's complement.
    Choose(XACCL_NULL);
    EXPECT_EQ(window_->txtRegHex->text(), "FFFFFFFB");
    EXPECT_EQ(window_->txtRegWrite->text(), "True");
}

TEST_F(frmManualRegTest, DecimalValueUsesTheLocaleSeparator) {
    rig_.locale().separator = ",";
    rig_.sensor().pokeWord(0x20, 0x0800);  // ALM_MAG_X: 2048 * 0.000061
    Choose(ALM_MAG_X);
    EXPECT_EQ(window_->txtRegVal->text(), "0,124928");

    rig_.sensor().pokeWord(0x20, 0x0010);
    window_->cmdRead->click();
    EXPECT_EQ(window_->txtRegHex->text(), "10");
    EXPECT_EQ(window_->txtRegVal->text(), "0,000976");
}

TEST_F(frmManualRegTest, WriteReachesTheRegisterAndRelistsTheWholeMap) {
    Choose(ALM_MAG_S);
    // Changed behind the window's back: only a fresh listing shows it.
    rig_.sensor().pokeWord(0x02, 0x0ABC);
    window_->txtDataWrite->setText("1A");
    window_->cmdWrite->click();

    EXPECT_EQ(rig_.sensor().peekWord(0x26), 0x1A);
    EXPECT_EQ(window_->txtRegHex->text(), "1A");
    EXPECT_EQ(window_->txtRegVal->text(), "26");
    const std::vector<std::string> lines = SplitCrLf(window_->listingText());
    ASSERT_EQ(lines.size(), 33u);
    EXPECT_EQ(lines[2 + ALM_MAG_S], "ALM_MAG_S     \t26\t001A");
    EXPECT_EQ(lines[2 + SUPPLY_OUT], "SUPPLY_OUT     \t2\t0ABC");
    EXPECT_TRUE(rig_.messages().boxes.empty());

    // Digits are counted per character, not per byte of an encoding.
    window_->txtDataWrite->setText(QString::fromUtf8("BE\u00e9F"));
    window_->cmdWrite->click();
    EXPECT_EQ(rig_.sensor().peekWord(0x26), 0xBE0F);
}

TEST_F(frmManualRegTest, ListingHasTheExactTextFormat) {
    rig_.sensor().pokeWord(0x02, 0x0ABC);
    rig_.sensor().pokeWord(0x12, 0xFFFB);
    window_->cmdReadAllReg->click();

    const std::string& text = window_->listingText();
    const std::vector<std::string> lines = SplitCrLf(text);
    ASSERT_EQ(lines.size(), 33u);
    EXPECT_EQ(lines[0], "Name\t\tAddr\tHex");
    EXPECT_EQ(lines[1], "--------------------\t---------\t---------");
    EXPECT_EQ(lines[2 + SUPPLY_OUT], "SUPPLY_OUT     \t2\t0ABC");
    EXPECT_EQ(lines[2 + XACCL_NULL], "XACCL_NULL     \t12\tFFFB");
    const QRegularExpression entry(R"(^[A-Z_0-9]+ {5}\t[0-9A-F]{1,2}\t[0-9A-F]{4}$)");
    for (int i = 0; i <= 30; ++i) {
        const std::string& line = lines[static_cast<std::size_t>(2 + i)];
        EXPECT_TRUE(entry.match(QString::fromStdString(line)).hasMatch()) << line;
        EXPECT_EQ(
            line.rfind(rig_.ctx().registerTable[static_cast<std::int16_t>(i)].Label + "     \t", 0),
            0u)
            << line;
    }
    // The box shows the same lines.
    QString shown = QString::fromStdString(text);
    shown.replace("\r\n", "\n");
    EXPECT_EQ(window_->txtUserReg->toPlainText(), shown);
}

TEST_F(frmManualRegTest, UpdateFlashShowsTheLineAroundTheCommand) {
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    const std::uint16_t countBefore = rig_.sensor().peekWord(0x00);
    EventLog log(window_->LineFlash, rig_.sensor());

    window_->cmdUpdateFlash->click();

    EXPECT_GT(rig_.sensor().peekWord(0x00), countBefore);
    EXPECT_FALSE(window_->LineFlash->isVisible());
    // Shown, drawn by the yield before the command frame went out, hidden after it.
    ASSERT_GE(log.entries.size(), 3u);
    EXPECT_EQ(log.entries.front().type, QEvent::Show);
    EXPECT_EQ(log.entries.back().type, QEvent::Hide);
    const std::uint64_t framesAtShow = log.entries.front().frames;
    bool paintedBeforeCommand = false;
    for (const auto& e : log.entries)
        paintedBeforeCommand |= e.type == QEvent::Paint && e.frames == framesAtShow;
    EXPECT_TRUE(paintedBeforeCommand);
    EXPECT_GT(log.entries.back().frames, framesAtShow);
}

// The waits themselves, counted in 10 us steps of the busy loop: the write
// waits 100 ms before relisting, the flash command's line is up during its
// 250 ms.
TEST(frmManualRegWaitTest, WriteAndFlashWaitTheirTimeWithTheLineShownForTheFlash) {
    struct Wait {
        std::int32_t steps;
        bool lineShown;
    };
    std::vector<Wait> waits;
    QPointer<frmManualReg> window;
    UiRig::Setup setup;
    setup.spin = [&](std::int32_t steps, std::int32_t) {
        waits.push_back({steps, window && window->LineFlash->isVisible()});
    };
    UiRig rig(setup);
    rig.settings().DelayCalibrated = true;
    QWidget main;
    frmManualReg dialog(rig.ctx().registerWindow, &main);
    window = &dialog;
    dialog.show();
    dialog.cmboRegister->setCurrentIndex(ALM_MAG_S);
    emit dialog.cmboRegister->activated(ALM_MAG_S);

    const auto count = [&](std::int32_t steps) {
        return std::count_if(waits.begin(), waits.end(),
                             [&](const Wait& w) { return w.steps == steps; });
    };
    waits.clear();
    dialog.txtDataWrite->setText("1A");
    dialog.cmdWrite->click();
    EXPECT_EQ(count(10000), 1);
    EXPECT_EQ(count(25000), 0);

    waits.clear();
    dialog.cmdUpdateFlash->click();
    ASSERT_EQ(count(25000), 1);
    for (const Wait& w : waits) {
        if (w.steps == 25000) {
            EXPECT_TRUE(w.lineShown);
        }
    }
    EXPECT_FALSE(dialog.LineFlash->isVisible());
}

TEST_F(frmManualRegTest, CloseWindowHidesAndKeepsEverything) {
    window_->show();
    Choose(AVG_CNT);
    window_->txtDataWrite->setText("5");
    const std::string listing = window_->listingText();

    window_->cmdClose->click();
    EXPECT_FALSE(window_->isVisible());
    window_->show();
    EXPECT_EQ(window_->cmboRegister->count(), 31);
    EXPECT_EQ(window_->cmboRegister->currentIndex(), AVG_CNT);
    EXPECT_EQ(window_->txtDataWrite->text(), "5");
    EXPECT_EQ(window_->txtRegAddr->text(), "38");
    EXPECT_EQ(window_->listingText(), listing);
}

TEST_F(frmManualRegTest, TitleBarCloseDestroysAndTheNextOneLoadsAfresh) {
    window_->show();
    Choose(AVG_CNT);
    QPointer<frmManualReg> closing(window_.release());
    closing->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull());

    // Loaded afresh, it chooses again the register the user chose last.
    frmManualReg fresh(rig_.ctx().registerWindow, &main_);
    EXPECT_EQ(fresh.cmboRegister->count(), 31);
    EXPECT_EQ(fresh.cmboRegister->currentIndex(), AVG_CNT);
    EXPECT_EQ(fresh.txtRegAddr->text(), "38");
}

TEST_F(frmManualRegTest, ReadAndWriteWithNothingChosenDoNothing) {
    const std::uint64_t frames = rig_.sensor().frameCount();
    const std::uint16_t before = rig_.sensor().peekWord(0x00);
    window_->txtDataWrite->setText("1A");
    window_->cmdRead->click();
    window_->cmdWrite->click();
    EXPECT_EQ(rig_.sensor().frameCount(), frames);
    EXPECT_EQ(rig_.sensor().peekWord(0x00), before);
    EXPECT_TRUE(window_->txtRegHex->text().isEmpty());
    EXPECT_TRUE(window_->txtRegVal->text().isEmpty());
    EXPECT_TRUE(rig_.messages().boxes.empty());
}

class frmManualRegPrintTest : public frmManualRegTest {
  protected:
    void SetUp() override {
        frmManualRegTest::SetUp();
        ASSERT_TRUE(dir_.isValid());
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        window_->defaultPrinter = [] { return QPrinterInfo(); };
        window_->askPdfFileName = [this] { return fileName_; };
    }

    QTemporaryDir dir_;
    // The questions asked, and the same boxes without them.
    std::vector<std::string> questions() {
        std::vector<std::string> out;
        for (const auto& b : rig_.messages().boxes)
            if (b.icon == MessageIcon::Question)
                out.push_back(b.text);
        return out;
    }
    std::size_t otherBoxes() { return rig_.messages().boxes.size() - questions().size(); }
    QString fileName_;
};

TEST_F(frmManualRegPrintTest, WithoutAPrinterOffersAPdfAndWritesIt) {
    Choose(DIAG_STAT);
    fileName_ = dir_.filePath("registers");  // no suffix: one is added
    rig_.messages().answers = {true};
    window_->cmdPrint->click();

    ASSERT_EQ(questions().size(), 1u);
    EXPECT_EQ(questions()[0],
              "There is no default printer on this system.\n"
              "Save the image of the window as a PDF file instead?");
    EXPECT_EQ(rig_.messages().boxes[0].title, kAppTitle);
    const PdfSummary pdf = ReadPdf(dir_.filePath("registers.pdf"));
    EXPECT_EQ(pdf.pages, 1);
    ASSERT_EQ(pdf.imageWidths.size(), 1u);
    EXPECT_EQ(pdf.imageWidths[0], window_->grab().toImage().width());
    EXPECT_EQ(otherBoxes(), 0u);
}

TEST_F(frmManualRegPrintTest, DecliningOrCancellingWritesNothing) {
    fileName_ = dir_.filePath("declined.pdf");
    rig_.messages().answers = {false, true};
    window_->cmdPrint->click();
    fileName_.clear();  // the file dialog was cancelled
    window_->cmdPrint->click();

    EXPECT_EQ(questions().size(), 2u);
    EXPECT_FALSE(QFile::exists(dir_.filePath("declined.pdf")));
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());
    EXPECT_EQ(otherBoxes(), 0u);
}

TEST_F(frmManualRegPrintTest, AnUnwritablePdfIsReported) {
    fileName_ = dir_.filePath("no-such-folder/registers.pdf");
    rig_.messages().answers = {true};
    window_->cmdPrint->click();

    ASSERT_EQ(rig_.messages().boxes.size(), 2u);  // the question, then the failure
    EXPECT_EQ(rig_.messages().boxes[1].text,
              "The PDF file " + fileName_.toStdString() + " could not be written.");
    EXPECT_EQ(rig_.messages().boxes[1].title, kAppTitle);
    EXPECT_TRUE(window_->isVisible());
}

}  // namespace
}  // namespace quenlor
