#include "ui/frmUSBdebug.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "core/HexText.h"
#include "core/NumberFormat.h"
#include "ui/ModalRun.h"

namespace quenlor {

namespace {

const char* const kNeedCard = "Please Select a Buffer first";

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// One byte a character, as hex digits are counted by position; characters
// outside Latin-1 become '?', which counts as 0 (one per UTF-16 unit, so a
// character beyond the BMP, such as an emoji, takes two positions).
std::string Latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

QLineEdit* Box(const QString& name, QWidget* parent, int width, bool readOnly) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(readOnly);
    box->setMinimumWidth(width);
    return box;
}

QPushButton* Button(const QString& caption, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// Nearest integer (halves to even) of the text's leading number, limited to
// lo..hi before any narrowing so huge or negative text cannot wrap.
bool NothingOnScreen() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::none_of(windows.begin(), windows.end(),
                        [](const QWidget* w) { return w->isVisible(); });
}

int LimitedNumber(const QString& text, int lo, int hi) {
    const double v = RoundHalfEven(LeadingNumber(text.toStdString()));
    return static_cast<int>(std::clamp(v, static_cast<double>(lo), static_cast<double>(hi)));
}

}  // namespace

frmUSBdebug::frmUSBdebug(UsbDebugContext& ctx, QWidget* mainWindow, QWidget* parent)
    : QDialog(parent), ctx_(ctx), mainWindow_(mainWindow) {
    setObjectName("frmUSBdebug");
    setWindowTitle("USB SPI Card Setup");
    setModal(true);

    // Manual transfers.
    frameManual = new QGroupBox("Manual Setup", this);
    frameManual->setObjectName("frameManual");
    auto* manual = new QGridLayout(frameManual);
    manual->addWidget(new QLabel("# Words to Write", frameManual), 0, 0);
    txtNumWords = Box("txtNumWords", frameManual, 40, false);
    txtNumWords->setText("1");
    manual->addWidget(txtNumWords, 0, 1);
    manual->addWidget(new QLabel("Write (hex)", frameManual), 1, 1);
    manual->addWidget(new QLabel("Readback", frameManual), 1, 2);
    for (int i = 1; i <= 16; ++i) {
        manual->addWidget(new QLabel(QString::number(i), frameManual), i + 1, 0);
        txtWriteSpi[i] = Box(QString("txtWriteSpi_%1").arg(i), frameManual, 60, false);
        txtWriteSpi[i]->setText("0");
        txtReadSpi[i] = Box(QString("txtReadSpi_%1").arg(i), frameManual, 60, true);
        manual->addWidget(txtWriteSpi[i], i + 1, 1);
        manual->addWidget(txtReadSpi[i], i + 1, 2);
    }
    cmdWriteSpi = Button("Write", "cmdWriteSpi", frameManual);
    cmdLoop = Button("Loop", "cmdLoop", frameManual);
    manual->addWidget(cmdWriteSpi, 18, 1);
    manual->addWidget(cmdLoop, 18, 2);

    // SPI settings.
    frameSPIsetup = new QGroupBox("SPI Setup", this);
    frameSPIsetup->setObjectName("frameSPIsetup");
    auto* setup = new QVBoxLayout(frameSPIsetup);
    frameSpiStatic = new QGroupBox("Static Bits", frameSPIsetup);
    frameSpiStatic->setObjectName("frameSpiStatic");
    auto* statics = new QGridLayout(frameSpiStatic);
    for (int i = 2; i <= 5; ++i) {
        chkStaticBits[i] = new QCheckBox(QString("CS%1").arg(i), frameSpiStatic);
        chkStaticBits[i]->setObjectName(QString("chkStaticBits_%1").arg(i));
        statics->addWidget(chkStaticBits[i], (i - 2) / 2, (i - 2) % 2);
    }
    cmdReadBits = Button("Read", "cmdReadBits", frameSpiStatic);
    cmdSetSpiBits = Button("Set Bits", "cmdSetSpiBits", frameSpiStatic);
    statics->addWidget(cmdReadBits, 2, 0);
    statics->addWidget(cmdSetSpiBits, 2, 1);
    frameSpiChan = new QGroupBox("Csel Channel", frameSPIsetup);
    frameSpiChan->setObjectName("frameSpiChan");
    auto* chans = new QHBoxLayout(frameSpiChan);
    for (int i = 1; i <= 4; ++i) {
        optSpiChan[i] = new QRadioButton(QString("Chan%1").arg(i), frameSpiChan);
        optSpiChan[i]->setObjectName(QString("optSpiChan_%1").arg(i));
        chans->addWidget(optSpiChan[i]);
        connect(optSpiChan[i], &QRadioButton::clicked, this, [this, i] { chooseChannel(i); });
    }
    auto* delayRow = new QHBoxLayout;
    delayRow->addWidget(new QLabel("Delay between words (uS)", frameSPIsetup));
    txtLoopDelay = Box("txtLoopDelay", frameSPIsetup, 50, false);
    txtLoopDelay->setText("10");
    txtLoopDelay->installEventFilter(this);
    delayRow->addWidget(txtLoopDelay);
    cmdReadDelay = Button("Read", "cmdReadDelay", frameSPIsetup);
    delayRow->addWidget(cmdReadDelay);
    auto* polarityRow = new QHBoxLayout;
    polarityRow->addWidget(new QLabel("Data Input Polarity", frameSPIsetup));
    cmdPolarity = Button("Pos", "cmdPolarity", frameSPIsetup);
    polarityRow->addWidget(cmdPolarity);
    polarityRow->addStretch();
    setup->addWidget(frameSpiStatic);
    setup->addWidget(frameSpiChan);
    setup->addLayout(delayRow);
    setup->addLayout(polarityRow);
    setup->addStretch();

    // The card table.
    frameBufferSetup = new QGroupBox("Buffer Select", this);
    frameBufferSetup->setObjectName("frameBufferSetup");
    auto* grid = new QGridLayout(frameBufferSetup);
    const char* heads[] = {"Device", "Descriptor0", "Descriptor1", "Rev", "Speed"};
    for (int c = 0; c < 5; ++c)
        grid->addWidget(new QLabel(heads[c], frameBufferSetup), 0, c + 1);
    for (int i = 0; i < 5; ++i) {
        auto* opt =
            new QRadioButton(i < 4 ? QString("EzUsb%1").arg(i) : QString("None"), frameBufferSetup);
        opt->setObjectName(QString("optUsbPort_%1").arg(i));
        optUsbPort[i] = opt;
        grid->addWidget(opt, i + 1, 0);
        connect(opt, &QRadioButton::clicked, this, [this, i] { choose(i); });
        if (i == 4)
            break;
        opt->setEnabled(false);
        txtUsbPort[i] = Box(QString("txtUsbPort_%1").arg(i), frameBufferSetup, 90, true);
        txtDescript0[i] = Box(QString("txtDescript0_%1").arg(i), frameBufferSetup, 120, true);
        txtDescript1[i] = Box(QString("txtDescript1_%1").arg(i), frameBufferSetup, 120, true);
        txtDriverRev[i] = Box(QString("txtDriverRev_%1").arg(i), frameBufferSetup, 40, true);
        txtSpeed[i] = Box(QString("txtSpeed_%1").arg(i), frameBufferSetup, 40, true);
        grid->addWidget(txtUsbPort[i], i + 1, 1);
        grid->addWidget(txtDescript0[i], i + 1, 2);
        grid->addWidget(txtDescript1[i], i + 1, 3);
        grid->addWidget(txtDriverRev[i], i + 1, 4);
        grid->addWidget(txtSpeed[i], i + 1, 5);
    }

    cmdFindEzUsb = Button("Search", "cmdFindEzUsb", this);
    cmdExit = Button("OK", "cmdExit", this);
    connect(cmdWriteSpi, &QPushButton::clicked, this, &frmUSBdebug::write);
    connect(cmdLoop, &QPushButton::clicked, this, &frmUSBdebug::loop);
    connect(cmdReadBits, &QPushButton::clicked, this, &frmUSBdebug::readBits);
    connect(cmdSetSpiBits, &QPushButton::clicked, this, &frmUSBdebug::setBits);
    connect(cmdReadDelay, &QPushButton::clicked, this, &frmUSBdebug::readDelay);
    connect(cmdPolarity, &QPushButton::clicked, this, &frmUSBdebug::togglePolarity);
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
    search();
    const int chan = ctx_.settings.UsbSpiChannel;
    if (chan >= 1 && chan <= 4)
        optSpiChan[chan]->setChecked(true);
    cmdPolarity->setText(ctx_.settings.UsbSpiPolarity ? "Pos" : "Neg");
}

void frmUSBdebug::search() {
    // A search from the card table while one runs (its message boxes run
    // events) would scan again inside the scan; one scan at a time.
    if (searching_)
        return;
    searching_ = true;
    for (int i = 0; i < 4; ++i) {
        txtUsbPort[i]->setText("None");
        optUsbPort[i]->setEnabled(false);
        txtDescript0[i]->clear();
        txtDescript1[i]->clear();
        txtDriverRev[i]->clear();
        txtSpeed[i]->clear();
    }
    ctx_.usb.FindUsbBuffers();
    const std::string sep = ctx_.locale.decimalSeparator();
    for (int i = 0; i < 4; ++i) {
        const UsbCardRecord card = ctx_.usb.UsbCards[i];
        if (!card.Found)
            continue;
        txtUsbPort[i]->setText(Q(card.BoardType) + " - " + QString::number(card.UnitNumber));
        optUsbPort[i]->setEnabled(true);
        if (ctx_.usb.UsbSelectedIndex == i)
            choose(i);
        txtDescript0[i]->setText(Q(card.Descriptor0));
        txtDescript1[i]->setText(Q(card.Descriptor1));
        txtDriverRev[i]->setText(Q(FormatFixed0_0(card.DriverRev, sep)));
        txtSpeed[i]->setText(Q(FormatFixed0_0(LeadingNumber(card.Speed), sep)));
    }
    if (ctx_.usb.UsbSelectedIndex == -1)
        choose(4);
    searching_ = false;
}

void frmUSBdebug::choose(int index) {
    if (index < 0 || index > 4)
        return;
    optUsbPort[index]->setChecked(true);
    if (index == 4) {
        frameSPIsetup->setEnabled(false);
        frameManual->setEnabled(false);
        ctx_.usb.SetUsbReady(false);
        ctx_.settings.UsbLoopStop = true;
        return;
    }
    ctx_.usb.UsbSelectedCard = ctx_.usb.UsbCards[index];
    frameSPIsetup->setEnabled(true);
    frameManual->setEnabled(true);
    ctx_.usbSpi.UsbSpiSetBits(ctx_.settings.UsbSpiBits);
    ctx_.usbSpi.UsbSpiSetup(ctx_.settings.UsbSpiDelay);
    readDelay();
    readBits();
}

void frmUSBdebug::chooseChannel(int channel) {
    if (channel < 1 || channel > 4)
        return;
    optSpiChan[channel]->setChecked(true);
    ctx_.settings.UsbSpiChannel = static_cast<std::uint8_t>(channel);
}

void frmUSBdebug::togglePolarity() {
    const bool wasPos = cmdPolarity->text() == "Pos";
    cmdPolarity->setText(wasPos ? "Neg" : "Pos");
    ctx_.settings.UsbSpiPolarity = !wasPos;
}

void frmUSBdebug::needCard() {
    ctx_.messages.show(kNeedCard);
}

void frmUSBdebug::showDelay() {
    txtLoopDelay->setText(QString::number(ctx_.settings.UsbSpiDelay));
}

void frmUSBdebug::readBits() {
    if (!ctx_.usb.UsbReady()) {
        needCard();
        showDelay();
        return;
    }
    for (int i = 2; i <= 5; ++i)
        chkStaticBits[i]->setChecked(false);
    ctx_.usbSpi.UsbSpiReadSetup();
    const std::uint8_t bits = ctx_.settings.UsbSpiBits;
    for (int i = 2; i <= 5; ++i)
        chkStaticBits[i]->setChecked((bits & (1u << (i + 1))) != 0);
}

void frmUSBdebug::setBits() {
    if (!ctx_.usb.UsbReady()) {
        needCard();
        choose(4);
        ctx_.settings.UsbLoopStop = true;
        return;
    }
    std::uint8_t bits = 0;
    for (int i = 2; i <= 5; ++i)
        if (chkStaticBits[i]->checkState() != Qt::Unchecked)
            bits = static_cast<std::uint8_t>(bits | (1u << (i + 1)));
    ctx_.usbSpi.UsbSpiSetBits(bits);
    if (!ctx_.usb.UsbReady())
        choose(4);
}

void frmUSBdebug::readDelay() {
    if (ctx_.usb.UsbReady())
        ctx_.usbSpi.UsbSpiReadSetup();
    else
        needCard();
    showDelay();
}

void frmUSBdebug::enterDelay() {
    if (ctx_.usb.UsbReady()) {
        auto delay = static_cast<std::uint8_t>(LimitedNumber(txtLoopDelay->text(), 1, 255));
        ctx_.usbSpi.UsbSpiSetup(delay);
    } else {
        needCard();
    }
    showDelay();
}

bool frmUSBdebug::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtLoopDelay && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enterDelay();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmUSBdebug::showReadWords() {
    for (int j = 1; j <= ctx_.usbSpi.UsbWordCount && j <= 16; ++j)
        txtReadSpi[j]->setText(Q(FormatHex(ctx_.usbSpi.UsbReadWords[j])));
}

void frmUSBdebug::write() {
    if (!ctx_.usb.UsbReady()) {
        needCard();
        choose(4);
        ctx_.settings.UsbLoopStop = true;
        return;
    }
    UsbSpiCard& spi = ctx_.usbSpi;
    int count = spi.UsbWordCount;
    if (!txtNumWords->text().isEmpty())
        count = LimitedNumber(txtNumWords->text(), 1, 16);
    count = std::clamp(count, 1, 16);
    spi.UsbWordCount = static_cast<std::uint8_t>(count);
    txtNumWords->setText(QString::number(count));
    for (int i = 1; i <= count; ++i) {
        const QString text = txtWriteSpi[i]->text();
        spi.UsbWriteWords[i] = text.isEmpty() ? 0 : HexToDec(Latin1(text));
        txtWriteSpi[i]->setText(Q(FormatHex(spi.UsbWriteWords[i])));
    }
    for (int i = count + 1; i <= 16; ++i)
        txtWriteSpi[i]->clear();
    for (int i = 1; i <= 16; ++i)
        txtReadSpi[i]->clear();
    spi.UsbSpiTransfer(spi.UsbWordCount);
    if (!ctx_.usb.UsbReady())
        choose(4);
    showReadWords();
}

void frmUSBdebug::loop() {
    Settings& s = ctx_.settings;
    if (cmdLoop->text() != "Loop") {
        s.UsbLoopStop = true;
        cmdLoop->setText("Loop");
        return;
    }
    cmdLoop->setText("Stop");
    s.UsbLoopStop = false;
    write();
    QPointer<frmUSBdebug> self(this);
    while (!s.UsbLoopStop) {
        ctx_.usbSpi.UsbSpiTransfer(ctx_.usbSpi.UsbWordCount);
        if (!ctx_.usb.UsbReady()) {
            s.UsbLoopStop = true;
            choose(4);
            cmdLoop->setText("Loop");
        }
        showReadWords();
        QCoreApplication::processEvents();
        // The window may be gone, or the program closing, after the events ran.
        if (!self)
            return;
        // With every window hidden (at start-up "OK" in both card windows
        // hides them all) nobody could reach "Stop" any more.
        if (mainWindow_.programEnding() || NothingOnScreen())
            s.UsbLoopStop = true;
    }
    cmdLoop->setText("Loop");
}

void frmUSBdebug::ok() {
    hide();
}

bool frmUSBdebug::showModal() {
    return RunModal(*this, running_);
}

void frmUSBdebug::showEvent(QShowEvent* event) {
    mainWindow_.place(*this);
    QDialog::showEvent(event);
    if (!event->spontaneous())
        activate();
}

void frmUSBdebug::closeEvent(QCloseEvent* event) {
    // The close box acts as "OK"; only the program ending really closes.
    if (!mainWindow_.programEnding()) {
        event->ignore();
        ok();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace quenlor
