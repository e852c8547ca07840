#include "ui/frmUSBselect.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/NumberFormat.h"
#include "ui/ModalRun.h"
#include "ui/frmUSBdebug.h"

namespace quenlor {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QLineEdit* Box(const QString& name, QWidget* parent, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setMinimumWidth(width);
    return box;
}

}  // namespace

frmUSBselect::frmUSBselect(AppContext& ctx, QWidget* mainWindow, QWidget* parent)
    : QDialog(parent), ctx_(ctx), mainWindow_(mainWindow) {
    setObjectName("frmUSBselect");
    setWindowTitle("USB SPI Card Selection");
    setModal(true);

    frameBufferSetup = new QGroupBox("Buffer Select", this);
    frameBufferSetup->setObjectName("frameBufferSetup");
    auto* grid = new QGridLayout(frameBufferSetup);
    grid->addWidget(new QLabel("Descriptor0", frameBufferSetup), 0, 1);
    grid->addWidget(new QLabel("Rev", frameBufferSetup), 0, 2);
    grid->addWidget(new QLabel("Speed", frameBufferSetup), 0, 3);
    for (int i = 0; i < 5; ++i) {
        const QString caption = i < 4 ? QString("EzUsb%1").arg(i) : QString("None");
        auto* opt = new QRadioButton(caption, frameBufferSetup);
        opt->setObjectName(QString("optUsbPort_%1").arg(i));
        optUsbPort[i] = opt;
        grid->addWidget(opt, i + 1, 0);
        connect(opt, &QRadioButton::clicked, this, [this, i] { choose(i); });
        if (i == 4)
            break;
        opt->setEnabled(false);
        txtDescript0[i] = Box(QString("txtDescript0_%1").arg(i), frameBufferSetup, 160);
        txtDriverRev[i] = Box(QString("txtDriverRev_%1").arg(i), frameBufferSetup, 40);
        txtSpeed[i] = Box(QString("txtSpeed_%1").arg(i), frameBufferSetup, 40);
        grid->addWidget(txtDescript0[i], i + 1, 1);
        grid->addWidget(txtDriverRev[i], i + 1, 2);
        grid->addWidget(txtSpeed[i], i + 1, 3);
    }

    cmdFindEzUsb = new QPushButton("Search", this);
    cmdFindEzUsb->setObjectName("cmdFindEzUsb");
    cmdDebugUsb = new QPushButton("Debug", this);
    cmdDebugUsb->setObjectName("cmdDebugUsb");
    cmdExit = new QPushButton("OK", this);
    cmdExit->setObjectName("cmdExit");
    cmdExit->setAutoDefault(false);
    cmdFindEzUsb->setAutoDefault(false);
    cmdDebugUsb->setAutoDefault(false);
    connect(cmdFindEzUsb, &QPushButton::clicked, this, &frmUSBselect::search);
    connect(cmdDebugUsb, &QPushButton::clicked, this, &frmUSBselect::showDebug);
    connect(cmdExit, &QPushButton::clicked, this, &frmUSBselect::ok);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdFindEzUsb);
    buttons->addWidget(cmdDebugUsb);
    buttons->addStretch();
    buttons->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frameBufferSetup);
    layout->addLayout(buttons);
    // Sized before its first showing: that showing runs the search and its
    // message boxes, during which X11 reports back the size the native window
    // was made at, and Qt takes it (a child widget's default, 100 x 30).
    resize(sizeHint());

    mainWindow_.place(*this);
}

void frmUSBselect::search() {
    // A search while one runs (its message boxes run events) would scan again
    // inside the scan; one scan at a time.
    if (searching_)
        return;
    searching_ = true;
    for (int i = 0; i < 4; ++i) {
        optUsbPort[i]->setEnabled(false);
        txtDescript0[i]->clear();
        txtDriverRev[i]->clear();
        txtSpeed[i]->clear();
    }
    ctx_.usb.FindUsbBuffers();
    const std::string sep = ctx_.locale.decimalSeparator();
    for (int i = 0; i < 4; ++i) {
        const UsbCardRecord& card = ctx_.usb.UsbCards[i];
        if (!card.Found)
            continue;
        optUsbPort[i]->setEnabled(true);
        if (ctx_.usb.UsbSelectedIndex == i) {
            optUsbPort[i]->setChecked(true);
            choose(i);
        }
        txtDescript0[i]->setText(Q(card.Descriptor0));
        txtDriverRev[i]->setText(Q(FormatFixed0_0(card.DriverRev, sep)));
        txtSpeed[i]->setText(Q(FormatFixed0_0(LeadingNumber(card.Speed), sep)));
    }
    if (ctx_.usb.UsbSelectedIndex == -1) {
        optUsbPort[4]->setChecked(true);
        choose(4);
    }
    searching_ = false;
}

void frmUSBselect::choose(int index) {
    if (index < 0 || index > 4)
        return;
    optUsbPort[index]->setChecked(true);
    if (index == 4) {
        ctx_.usb.SetUsbReady(false);
        ctx_.settings.UsbLoopStop = true;
        return;
    }
    ctx_.usb.UsbSelectedCard = ctx_.usb.UsbCards[index];
    ctx_.usbSpi.UsbSpiSetup(ctx_.settings.UsbSpiDelay);
    ctx_.usbSpi.UsbSpiSetBits(ctx_.settings.UsbSpiBits);
}

void frmUSBselect::ok() {
    hide();
}

frmUSBdebug* frmUSBselect::debugWindow() const {
    return debug_.data();
}

void frmUSBselect::showDebug() {
    if (!debug_)
        debug_ = new frmUSBdebug(ctx_, mainWindow_.mainWindow(), this);
    QPointer<frmUSBselect> self(this);
    // Coming back from the debug window activates this one again.
    if (debug_->showModal() && self && isVisible())
        search();
}

bool frmUSBselect::showModal() {
    return RunModal(*this, running_);
}

void frmUSBselect::showEvent(QShowEvent* event) {
    mainWindow_.place(*this);
    QDialog::showEvent(event);
    if (!event->spontaneous())
        search();
}

void frmUSBselect::closeEvent(QCloseEvent* event) {
    // The close box acts as "OK"; only the program ending really closes.
    if (!mainWindow_.programEnding()) {
        event->ignore();
        ok();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace quenlor
