#include "ui/frm1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "core/NumberFormat.h"
#include "core/SettingsFile.h"
#include "regmap/RegisterMap.h"
#include "regmap/SensorCommands.h"
#include "regmap/StatusRegister.h"
#include "ui/AboutText.h"
#include "ui/PortAddressPrompt.h"
#include "ui/RepaintHold.h"
#include "ui/UserChoices.h"
#include "ui/ZeroOffsetsDialog.h"
#include "ui/frmDatalog.h"
#include "ui/frmManualReg.h"
#include "ui/frmUSBselect.h"

namespace quenlor {

namespace {
const QString kRead = QStringLiteral("Read");
const QString kMainPlace = QStringLiteral("windows/main");
const QString kStop = QStringLiteral("STOP");
const QString kLinkStyle = QStringLiteral("QLabel { padding: 2px 8px; }");
const QString kNoLinkStyle = QStringLiteral(
    "QLabel { background: rgb(190, 0, 0); color: white; font-weight: bold; padding: 2px 8px; }");

PlotPanel::Config accelConfig() {
    return {QStringLiteral("Acceleration"),
            QStringLiteral("Scale(g)"),
            {"2", "1.5", "1", "0.5", "0.25"},
            {2, 3, 4},
            {"picture1", "cmdPlotScale", "lblpFS1", "LbLYmid", "lblnFS1", "lblXmin", "lblXmax",
             "lblCursorX", "lblCursorY"},
            QString::fromUtf8(UnitSymbol(QuantityOf(XACCL_OUT)))};
}

PlotPanel::Config inclConfig() {
    return {QStringLiteral("Inclination"),
            QStringLiteral("Scale(deg)"),
            {"180", "90", "30", "10"},
            {6, 7, 8},
            {"Picture2", "cmdPlotScale2", "lblPFS2", "LblYmid2", "LblNFS2", "lblXmin2", "lblXmax2",
             "LblCursorX2", "LblCursorY2"},
            QString::fromUtf8(UnitSymbol(QuantityOf(XINCL_OUT)))};
}
}  // namespace

frm1::frm1(MainWindowContext& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frm1"));
    buildMenus();
    buildLayout();
    if (!ctx_.backendNotice.empty()) {
        auto* notice = new QLabel(QString::fromStdString(ctx_.backendNotice), this);
        notice->setObjectName(QStringLiteral("lblSimulationNotice"));
        notice->setStyleSheet(
            QStringLiteral("QLabel { background: rgb(255, 200, 0); color: black; font-weight: "
                           "bold; padding: 2px 8px; }"));
        statusBar()->addWidget(notice, 1);
    }
    repaints_ = new RepaintHold(*this, ctx_.clock);
    connect(repaints_, &RepaintHold::releasing, this, &frm1::showReadings);
    connect(repaints_, &RepaintHold::refreshDue, this, &frm1::showReadingGroup);
    lblInterface_ = new QLabel(this);
    lblInterface_->setObjectName(QStringLiteral("lblInterface"));
    statusBar()->addPermanentWidget(lblInterface_);
}

frm1::~frm1() = default;

void frm1::buildMenus() {
    mnuInterface_ = menuBar()->addMenu(QStringLiteral("Interface"));
    mnuInterface_->setObjectName(QStringLiteral("mnuInterface"));
    mnuUsb_ = mnuInterface_->addAction(QStringLiteral("Usb"));
    mnuUsb_->setObjectName(QStringLiteral("mnuUsb"));
    mnuUsb_->setCheckable(true);
    mnuParallel_ = mnuInterface_->addAction(QStringLiteral("Parallel Port..."));
    mnuParallel_->setObjectName(QStringLiteral("mnuParallel"));
    mnuParallel_->setCheckable(true);
    mnuDatalog_ = menuBar()->addAction(QStringLiteral("Datalog"));
    mnuDatalog_->setObjectName(QStringLiteral("mnuDatalog"));
    mnuRegisters_ = menuBar()->addAction(QStringLiteral("Registers"));
    mnuRegisters_->setObjectName(QStringLiteral("mnuRegisters"));
    mnuZeroOffsets_ = menuBar()->addAction(QStringLiteral("Zero Offsets..."));
    mnuZeroOffsets_->setObjectName(QStringLiteral("mnuZeroOffsets"));
    mnuExit_ = menuBar()->addAction(QStringLiteral("Exit"));
    mnuExit_->setObjectName(QStringLiteral("MnuExit"));
    mnuAbout_ = menuBar()->addAction(QStringLiteral("About"));
    mnuAbout_->setObjectName(QStringLiteral("mnuAbout"));

    // The tick follows the interface state only; a click must not toggle it by itself.
    connect(mnuUsb_, &QAction::triggered, this, [this] {
        mnuUsb_->setChecked(ctx_.settings.Interface == InterfaceUsb);
        mnuUsb_Click();
    });
    connect(mnuParallel_, &QAction::triggered, this, &frm1::mnuParallel_Click);
    connect(mnuDatalog_, &QAction::triggered, this, &frm1::mnuDatalog_Click);
    connect(mnuRegisters_, &QAction::triggered, this, &frm1::mnuRegisters_Click);
    connect(mnuZeroOffsets_, &QAction::triggered, this, &frm1::mnuZeroOffsets_Click);
    connect(mnuExit_, &QAction::triggered, this, &frm1::MnuExit_Click);
    connect(mnuAbout_, &QAction::triggered, this, &frm1::mnuAbout_Click);
}

void frm1::buildLayout() {
    auto* central = new QWidget(this);
    outputs_ = new OutputPanel(central);
    status_ = new StatusPanel(central);
    incl_ = new PlotPanel(inclConfig(), ctx_.locale, central);
    accel_ = new PlotPanel(accelConfig(), ctx_.locale, central);
    incl_->setObjectName(QStringLiteral("frameInclination"));
    accel_->setObjectName(QStringLiteral("frameAcceleration"));
    chartExport_ = new ChartExport(ctx_.messages, ctx_.appDir.path(), this);
    chartExport_->attach(*incl_);
    chartExport_->attach(*accel_);

    auto* left = new QVBoxLayout;
    left->addWidget(outputs_);
    left->addWidget(status_);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(incl_, 1);
    right->addWidget(accel_, 1);
    auto* columns = new QHBoxLayout(central);
    columns->addLayout(left);
    columns->addLayout(right, 1);
    setCentralWidget(central);

    connect(&outputs_->cmdReadData(), &QPushButton::clicked, this, &frm1::cmdReadData_Click);
    connect(&status_->CmdReadStatus(), &QPushButton::clicked, this, &frm1::ReadStatus);
    connect(&status_->cmdClearStatus(), &QPushButton::clicked, this, &frm1::ClearStatus);
}

std::string frm1::ClassifyOs(int platformId, double version, int build) {
    if (platformId == 1)
        return build > 2000 ? "Win98" : "Win95";
    return version > 5.0 ? "WinXP" : "WinNT";
}

void frm1::Form_Load() {
    osName_ = ClassifyOs(ctx_.systemInfo.platformId(), ctx_.systemInfo.version(),
                         ctx_.systemInfo.build());
    ntClass_ = osName_ == "WinXP" || osName_ == "WinNT";
    prepareInterface();
    setWindowTitle(QStringLiteral("Harnwick         ") + QString::fromLatin1(kAppTitle));
    accel_->Prepare();
    incl_->Prepare();
    RestoreChoices();
    ctx_.registerTable.BuildRegisterTable();
    accel_->setDecimals(ResolutionDecimals(ctx_.registerTable[XACCL_OUT].RegScale));
    incl_->setDecimals(ResolutionDecimals(ctx_.registerTable[XINCL_OUT].RegScale));
    for (int i = 1; i <= 8; ++i) {
        const RegisterEntry& entry = ctx_.registerTable[static_cast<std::int16_t>(i)];
        outputs_->lblReadReg(i).setText(QString::fromStdString(entry.Label));
        outputs_->statistics().setDecimals(i, ResolutionDecimals(entry.RegScale));
        outputs_->ck(i).setChecked(true);
    }
    ReadStatus();
    if (closing_)
        return;
    ReadLoop();
}

void frm1::RestoreChoices() {
    const UserChoices choices(ctx_.appDir);
    choices.restorePlace(*this, kMainPlace);
    for (PlotPanel* chart : {accel_, incl_}) {
        const QString key = QStringLiteral("charts/") + chart->objectName();
        chart->SelectScale(choices.text(key, QString()));
        // Kept at every change; a fitted range is not one of the cycle's and is not kept.
        connect(&chart->scaleButton(), &QPushButton::clicked, this, [this, chart, key] {
            UserChoices(ctx_.appDir).set(key, chart->scaleButton().text());
        });
    }
}

void frm1::prepareInterface() {
    Settings& s = ctx_.settings;
    if (s.Interface == InterfaceParallel) {
        prepareParallelPort();
        mnuParallel_->setChecked(true);
    } else if (s.Interface == InterfaceUsb) {
        if (osName_ == "Win95") {
            ctx_.messages.show("USB not available for Windows95");
            s.Interface = InterfaceNone;
            mnuUsb_->setChecked(false);
            mnuUsb_->setVisible(false);
            return;
        }
        ctx_.usb.FindUsbBuffers();
        if (ctx_.usb.UsbReady()) {
            mnuUsb_->setChecked(true);
            ctx_.usbSpi.UsbSpiSetBits(s.UsbSpiBits);
            ctx_.usbSpi.UsbSpiSetup(s.UsbSpiDelay);
        } else {
            showUsbSelect();
        }
    } else {
        s.Interface = InterfaceNone;
        ctx_.messages.show("Please select an interface before taking data");
    }
}

void frm1::prepareParallelPort() {
    if (!ntClass_)
        return;
    ctx_.ioDriver.InstallIoDriver();
    ctx_.ioPermission.giveio(ctx_.settings.PortAddress);
    ctx_.settings.PortIoReady = true;
    ctx_.parallel.ParPortInit();
}

void frm1::showInterfaceTicks() {
    mnuUsb_->setChecked(ctx_.settings.Interface == InterfaceUsb);
    mnuParallel_->setChecked(ctx_.settings.Interface == InterfaceParallel);
}

void frm1::showUsbSelect() {
    if (!usbSelect_)
        usbSelect_ = new frmUSBselect(ctx_.usbSelect, this, this);
    usbSelect_->showModal();
}

bool frm1::checkLink() {
    const InterfaceLink now = InterfaceLink::Of(ctx_, ntClass_, running());
    if (linkShown_ && now == link_)
        return linkWorking_;
    link_ = now;
    linkShown_ = true;
    linkWorking_ = now.working();
    lblInterface_->setText(QString::fromStdString(
        now.describe(ctx_.usb.UsbSelectedCard, ctx_.locale.decimalSeparator())));
    lblInterface_->setStyleSheet(linkWorking_ ? kLinkStyle : kNoLinkStyle);
    if (!linkWorking_) {
        // A value read before stays on show, but it is no longer live.
        for (int i = 1; i <= 8; ++i)
            outputs_->setLive(i, false);
        status_->setLive(false);
    }
    return linkWorking_;
}

bool frm1::yield() {
    QCoreApplication::processEvents();
    return !closing_;
}

bool frm1::running() const {
    return outputs_->cmdReadData().text() == kStop;
}

std::array<bool, 3> frm1::ticks(int first) const {
    return {outputs_->ck(first).isChecked(), outputs_->ck(first + 1).isChecked(),
            outputs_->ck(first + 2).isChecked()};
}

void frm1::cmdReadData_Click() {
    QPushButton& button = outputs_->cmdReadData();
    if (button.text() == kRead) {
        button.setText(kStop);
        // Cleared now, so that the labels are painted blank before the loop.
        outputs_->statistics().Reset();
    } else if (button.text() == kStop)
        button.setText(kRead);
    if (!yield())
        return;
    if (running()) {
        ReadLoop();
        if (!closing_)
            outputs_->statistics().Show(ctx_.locale.decimalSeparator());
    }
    if (!closing_)
        checkLink();
}

void frm1::ReadLoop() {
    do {
        // The readings reach the screen after the plots, a share at a time and
        // in short repaints: the rows stay short, so a sample that comes while
        // they are read is not cleared by a later row before it is waited
        // for, and no repaint takes more than a pass has to spare.
        repaints_->hold();
        if (!readRows()) {
            repaints_->release();
            return;
        }
        float accelHi = 0, accelLo = 0, inclHi = 0, inclLo = 0;
        accel_->RangeFromButton(accelHi, accelLo);
        incl_->RangeFromButton(inclHi, inclLo);
        PlotDataPointsAy(outputValues_, accelHi, accelLo);
        PlotDataPointsIy(outputValues_, inclHi, inclLo);
        repaints_->paintIfDue();
        WaitForDataReady();
        if (closing_)
            return;
    } while (running());
    repaints_->release();
}

bool frm1::readRows() {
    for (int i = 1; i <= 8; ++i) {
        if (outputs_->ck(i).isChecked()) {
            const auto row = static_cast<std::size_t>(i);
            ctx_.registers.ReadRegister(static_cast<std::int16_t>(i));
            const float scaled = ctx_.registers.RegisterReadResult.Scaled;
            outputValues_[row] = scaled;
            unshown_[row] = true;
            outputs_->setLive(i, checkLink());
            outputs_->statistics().Add(i, scaled);
            if (!yield())
                return false;
        }
        if (!yield())
            return false;
    }
    return true;
}

void frm1::showReadings() {
    if (closing_)
        return;
    const std::string sep = ctx_.locale.decimalSeparator();
    for (std::size_t row = 1; row <= 8; ++row)
        showReading(row, sep);
}

void frm1::showReadingGroup() {
    if (closing_)
        return;
    const std::string sep = ctx_.locale.decimalSeparator();
    // A row of statistics costs about what two value boxes cost to paint:
    // one or the other in a repaint.
    if (outputs_->statistics().ShowNextRowIfDue(ctx_.clock.monotonicNanoseconds(), sep))
        return;
    for (std::size_t row = 1; row <= 8; ++row) {
        if (row % kReadingGroups == readingGroup_)
            showReading(row, sep);
    }
    readingGroup_ = (readingGroup_ + 1) % kReadingGroups;
}

void frm1::showReading(std::size_t row, const std::string& sep) {
    if (!unshown_[row] || !outputValues_[row])
        return;
    unshown_[row] = false;
    ShowValue(outputs_->txtReadReg(static_cast<int>(row)),
              QString::fromStdString(FormatFixed0_0hh(*outputValues_[row], sep)));
}

void frm1::ShowValue(QLineEdit& box, const QString& text) {
    // Setting a line edit's text lays it out anew even when nothing changed;
    // an unchanged reading is left alone.
    if (box.text() != text)
        box.setText(text);
}

void frm1::WaitForDataReady() {
    int ready = 0;
    do {
        ctx_.registers.ReadRegister(DIAG_STAT);
        ready = IsDataReady(ctx_.registers.RegisterReadResult.Value) ? 1 : 0;
        checkLink();
        if (!yield())
            return;
    } while (ready == 0 && running());
}

void frm1::PlotDataPointsAy(const OutputValueArray& yvalue, float& hipk, float& lowpk) {
    accel_->PlotDataPoints(yvalue, hipk, lowpk, ticks(2));
}

void frm1::PlotDataPointsIy(const OutputValueArray& yvalue, float& hipk, float& lowpk) {
    incl_->PlotDataPoints(yvalue, hipk, lowpk, ticks(6));
}

void frm1::ReadStatus() {
    status_->ShowNames();
    ctx_.registers.ReadRegister(DIAG_STAT);
    const std::int32_t value = ctx_.registers.RegisterReadResult.Value;
    status_->setLive(checkLink());
    status_->ShowValue(value);
    yield();
}

void frm1::ClearStatus() {
    ctx_.registers.WriteRegister(GLOB_CMD, kClearStatusCommand);
    ctx_.delay.DelayMs(50);
    ReadStatus();
}

void frm1::mnuUsb_Click() {
    showUsbSelect();
    if (closing_)
        return;
    const bool ready = ctx_.usb.UsbReady();
    ctx_.settings.Interface = ready ? InterfaceUsb : InterfaceNone;
    showInterfaceTicks();
    checkLink();
}

void frm1::mnuParallel_Click() {
    showInterfaceTicks();  // a click alone must not move the tick
    const auto address = AskPortAddress(ctx_.messages, ctx_.settings.PortAddress);
    if (!address || closing_)
        return;
    ctx_.settings.PortAddress = *address;
    ctx_.settings.Interface = InterfaceParallel;
    // As the load prepares it: from here on the port is the one in use.
    prepareParallelPort();
    showInterfaceTicks();
    checkLink();
}

void frm1::mnuDatalog_Click() {
    // Unloaded on close: a fresh window every time.
    QPointer<frmDatalog> window = new frmDatalog(ctx_.datalog, outputs_->cmdReadData(), this);
    window->exec();
    if (window)
        window->deleteLater();
    if (!closing_)
        checkLink();
}

void frm1::mnuRegisters_Click() {
    // Hidden by its own button, destroyed by its close box: make a new one then.
    if (!manualReg_)
        manualReg_ = new frmManualReg(ctx_.registerWindow, this, this);
    manualReg_->exec();
    if (!closing_)
        checkLink();
}

void frm1::mnuZeroOffsets_Click() {
    // The measurement reads the outputs itself; two readers would split the samples.
    if (running()) {
        ctx_.messages.show("Stop reading data before zeroing the offsets.");
        return;
    }
    QPointer<ZeroOffsetsDialog> dialog =
        new ZeroOffsetsDialog(ctx_.registers, ctx_.registerTable, ctx_.clock, this);
    dialog->exec();
    if (dialog)
        dialog->deleteLater();
    if (!closing_)
        checkLink();
}

void frm1::mnuAbout_Click() {
    ctx_.messages.show(AboutText(ctx_.settings, !ctx_.backendNotice.empty(),
                                 ctx_.appDir.settingsDirectory(), ctx_.appDir.dataDirectory()),
                       kAppTitle, MessageIcon::Information);
}

void frm1::MnuExit_Click() {
    close();
}

void frm1::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        SaveSettings(ctx_.settings, ctx_.appDir.settingsDirectory());
        UserChoices(ctx_.appDir).keepPlace(*this, kMainPlace);
    }
    event->accept();
    hide();
    // A read loop may be running below this handler: it sees closing_ at its
    // next yield and unwinds; the event loop then ends.
    QCoreApplication::quit();
}

}  // namespace quenlor
