#include "ui/cards/frmUSBselect.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/cards/UsbButton.h"
#include "ui/cards/frmUSBdebug.h"

namespace quenlor {

frmUSBselect::frmUSBselect(UsbSelectContext& ctx, QWidget* mainWindow, QWidget* parent)
    : CardDialog(mainWindow, parent),
      ctx_(ctx),
      frameBufferSetup(new UsbCardTable(UsbCardTable::Columns::Brief, this)),
      selection_(*frameBufferSetup, ctx.usb, ctx.settings, ctx.locale, ctx.engine,
                 {[this] { sendSetup(); }, {}}) {
    setObjectName("frmUSBselect");
    setWindowTitle("USB SPI Card Selection");
    setModal(true);

    cmdFindEzUsb = Button("Search", "cmdFindEzUsb", this);
    cmdDebugUsb = Button("Debug", "cmdDebugUsb", this);
    cmdExit = Button("OK", "cmdExit", this);
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
    selection_.search();
}

void frmUSBselect::choose(int index) {
    selection_.choose(index);
}

void frmUSBselect::sendSetup() {
    ctx_.usbSpi.UsbSpiSetup(ctx_.settings.UsbSpiDelay);
    ctx_.usbSpi.UsbSpiSetBits(ctx_.settings.UsbSpiBits);
}

frmUSBdebug* frmUSBselect::debugWindow() const {
    return debug_.data();
}

void frmUSBselect::showDebug() {
    if (!debug_)
        debug_ = new frmUSBdebug(ctx_.debug, mainWindow_.mainWindow(), this);
    QPointer<frmUSBselect> self(this);
    // Coming back from the debug window activates this one again.
    if (debug_->showModal() && self && isVisible())
        search();
}

}  // namespace quenlor
