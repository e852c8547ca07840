#include "ui/cards/frmUSBdebug.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "acquisition/BusTurn.h"
#include "core/NumberFormat.h"
#include "ui/cards/UsbButton.h"
#include "ui/cards/UsbTransferLoop.h"
#include "ui/common/WorkerRun.h"

namespace quenlor {

namespace {

const char* const kNeedCard = "Please Select a Buffer first";

bool NothingOnScreen() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::none_of(windows.begin(), windows.end(),
                        [](const QWidget* w) { return w->isVisible(); });
}

// Nearest integer (halves to even) of the text's leading number, limited to
// lo..hi before any narrowing so huge or negative text cannot wrap.
int LimitedNumber(const QString& text, int lo, int hi) {
    const double v = RoundHalfEven(LeadingNumber(text.toStdString()));
    return static_cast<int>(std::clamp(v, static_cast<double>(lo), static_cast<double>(hi)));
}

}  // namespace

frmUSBdebug::frmUSBdebug(UsbDebugContext& ctx, QWidget* mainWindow, QWidget* parent)
    : CardDialog(mainWindow, parent),
      ctx_(ctx),
      frameManual(new UsbManualPanel(this)),
      frameSPIsetup(new UsbSpiPanel(this)),
      frameBufferSetup(new UsbCardTable(UsbCardTable::Columns::Full, this)),
      selection_(*frameBufferSetup, ctx.usb, ctx.settings, ctx.locale, ctx.engine,
                 {[this] { sendSetup(); }, [this] { dropSetup(); }}) {
    setObjectName("frmUSBdebug");
    setWindowTitle("USB SPI Card Setup");
    setModal(true);

    cmdFindEzUsb = Button("Search", "cmdFindEzUsb", this);
    cmdExit = Button("OK", "cmdExit", this);
    connect(&frameManual->writeButton(), &QPushButton::clicked, this, &frmUSBdebug::write);
    connect(&frameManual->loopButton(), &QPushButton::clicked, this, &frmUSBdebug::loop);
    connect(&frameSPIsetup->readBitsButton(), &QPushButton::clicked, this, &frmUSBdebug::readBits);
    connect(&frameSPIsetup->setBitsButton(), &QPushButton::clicked, this, &frmUSBdebug::setBits);
    connect(&frameSPIsetup->readDelayButton(), &QPushButton::clicked, this,
            &frmUSBdebug::readDelay);
    connect(&frameSPIsetup->polarityButton(), &QPushButton::clicked, this,
            &frmUSBdebug::togglePolarity);
    connect(frameSPIsetup, &UsbSpiPanel::channelClicked, this, &frmUSBdebug::chooseChannel);
    connect(frameSPIsetup, &UsbSpiPanel::delayEntered, this, &frmUSBdebug::enterDelay);
    connect(cmdFindEzUsb, &QPushButton::clicked, this, &frmUSBdebug::search);
    connect(cmdExit, &QPushButton::clicked, this, &frmUSBdebug::ok);

    auto* top = new QHBoxLayout;
    top->addWidget(frameManual);
    top->addWidget(frameSPIsetup);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdFindEzUsb);
    buttons->addStretch();
    buttons->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(frameBufferSetup);
    layout->addLayout(buttons);

    frameManual->setEnabled(false);
    frameSPIsetup->setEnabled(false);
}

void frmUSBdebug::activate() {
    // Shown again while its loop runs, it reads what the loop's transfers set.
    BusTurn turn(ctx_.engine);
    search();
    frameSPIsetup->showChannel(ctx_.settings.UsbSpiChannel);
    frameSPIsetup->showPolarity(ctx_.settings.UsbSpiPolarity);
}

void frmUSBdebug::search() {
    selection_.search();
}

void frmUSBdebug::choose(int index) {
    selection_.choose(index);
}

void frmUSBdebug::sendSetup() {
    frameSPIsetup->setEnabled(true);
    frameManual->setEnabled(true);
    ctx_.usbSpi.UsbSpiSetBits(ctx_.settings.UsbSpiBits);
    ctx_.usbSpi.UsbSpiSetup(ctx_.settings.UsbSpiDelay);
    readDelay();
    readBits();
}

void frmUSBdebug::dropSetup() {
    frameSPIsetup->setEnabled(false);
    frameManual->setEnabled(false);
}

void frmUSBdebug::chooseChannel(int channel) {
    if (channel < 1 || channel > 4)
        return;
    BusTurn turn(ctx_.engine);
    frameSPIsetup->showChannel(channel);
    ctx_.settings.UsbSpiChannel = static_cast<std::uint8_t>(channel);
}

void frmUSBdebug::togglePolarity() {
    BusTurn turn(ctx_.engine);
    const bool positive = !frameSPIsetup->positivePolarity();
    frameSPIsetup->showPolarity(positive);
    ctx_.settings.UsbSpiPolarity = positive;
}

void frmUSBdebug::needCard() {
    ctx_.messages.show(kNeedCard);
}

void frmUSBdebug::showDelay() {
    frameSPIsetup->showDelay(ctx_.settings.UsbSpiDelay);
}

void frmUSBdebug::readBits() {
    BusTurn turn(ctx_.engine);
    if (!ctx_.usb.UsbReady()) {
        needCard();
        showDelay();
        return;
    }
    frameSPIsetup->clearBits();
    ctx_.usbSpi.UsbSpiReadSetup();
    frameSPIsetup->showBits(ctx_.settings.UsbSpiBits);
}

bool frmUSBdebug::cardOrStop() {
    if (ctx_.usb.UsbReady())
        return true;
    needCard();
    choose(4);
    ctx_.settings.UsbLoopStop = true;
    return false;
}

void frmUSBdebug::setBits() {
    BusTurn turn(ctx_.engine);
    if (!cardOrStop())
        return;
    std::uint8_t bits = frameSPIsetup->checkedBits();
    ctx_.usbSpi.UsbSpiSetBits(bits);
    if (!ctx_.usb.UsbReady())
        choose(4);
}

void frmUSBdebug::readDelay() {
    BusTurn turn(ctx_.engine);
    if (ctx_.usb.UsbReady())
        ctx_.usbSpi.UsbSpiReadSetup();
    else
        needCard();
    showDelay();
}

void frmUSBdebug::enterDelay() {
    BusTurn turn(ctx_.engine);
    if (ctx_.usb.UsbReady()) {
        auto delay = static_cast<std::uint8_t>(LimitedNumber(frameSPIsetup->delayText(), 1, 255));
        ctx_.usbSpi.UsbSpiSetup(delay);
    } else {
        needCard();
    }
    showDelay();
}

void frmUSBdebug::showReadWords() {
    frameManual->showReadWords(ctx_.usbSpi.UsbReadWords, ctx_.usbSpi.UsbWordCount);
}

void frmUSBdebug::write() {
    BusTurn turn(ctx_.engine);
    if (!cardOrStop())
        return;
    UsbSpiCard& spi = ctx_.usbSpi;
    int count = spi.UsbWordCount;
    const QString typed = frameManual->wordCountText();
    if (!typed.isEmpty())
        count = LimitedNumber(typed, 1, 16);
    count = std::clamp(count, 1, 16);
    spi.UsbWordCount = static_cast<std::uint8_t>(count);
    frameManual->showWordCount(count);
    frameManual->takeWriteWords(spi.UsbWriteWords, count);
    spi.UsbSpiTransfer(spi.UsbWordCount);
    if (!ctx_.usb.UsbReady())
        choose(4);
    showReadWords();
}

void frmUSBdebug::loop() {
    Settings& s = ctx_.settings;
    QPushButton& cmdLoop = frameManual->loopButton();
    if (cmdLoop.text() != "Loop") {
        s.UsbLoopStop = true;
        cmdLoop.setText("Loop");
        return;
    }
    cmdLoop.setText("Stop");
    s.UsbLoopStop = false;
    write();
    // The loop lives here, not in the window: should the window go while it
    // runs, it is stopped and waited for without touching the window.
    QPointer<frmUSBdebug> self(this);
    UsbTransferLoop transfers(ctx_.usb, ctx_.usbSpi, ctx_.engine, [this, self, &s] {
        if (!self)
            return;
        s.UsbLoopStop = true;
        choose(4);
        frameManual->loopButton().setText("Loop");
    });
    RunOnWorker(
        ctx_.engine, [&transfers] { transfers.Run(); },
        [this, self, &s, &transfers] {
            if (!self) {
                transfers.Stop();
                return true;
            }
            UsbTransferLoop::Words words{};
            int count = 0;
            if (transfers.TakeWords(words, count))
                frameManual->showReadWords(words, count);
            // With every window hidden (at start-up "OK" in both card windows
            // hides them all) nobody could reach "Stop" any more.
            if (mainWindow_.programEnding() || NothingOnScreen())
                s.UsbLoopStop = true;
            if (s.UsbLoopStop)
                transfers.Stop();
            return s.UsbLoopStop;
        });
    if (!self)
        return;
    showReadWords();
    cmdLoop.setText("Loop");
}

}  // namespace quenlor
