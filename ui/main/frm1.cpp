#include "ui/main/frm1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "acquisition/BusTurn.h"
#include "core/NumberFormat.h"
#include "core/SettingsFile.h"
#include "regmap/RegisterMap.h"
#include "regmap/SensorCommands.h"
#include "regmap/StatusRegister.h"
#include "ui/cards/MainWindowLink.h"
#include "ui/cards/frmUSBselect.h"
#include "ui/common/UserChoices.h"
#include "ui/datalog/frmDatalog.h"
#include "ui/main/AboutText.h"
#include "ui/main/PortAddressPrompt.h"
#include "ui/main/ZeroOffsetsDialog.h"
#include "ui/noise/NoiseAnalysisWindow.h"
#include "ui/registers/frmManualReg.h"

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
    frames_ = new QTimer(this);
    frames_->setInterval(kFrameMs);
    connect(frames_, &QTimer::timeout, this, &frm1::showFrame);
    loop_ =
        std::make_unique<::quenlor::ReadLoop>(ctx_.registers, ctx_.clock, ctx_.engine, controls_,
                                              samples_, [this] { return measuring(); });
    lblRate_ = new QLabel(this);
    lblRate_->setObjectName(QStringLiteral("lblRate"));
    statusBar()->addPermanentWidget(lblRate_);
    lblInterface_ = new QLabel(this);
    lblInterface_->setObjectName(QStringLiteral("lblInterface"));
    statusBar()->addPermanentWidget(lblInterface_);
}

frm1::~frm1() {
    // The worker refers to this window's controls and queue.
    controls_.cancel = true;
    controls_.running = false;
    ctx_.engine.Wait();
}

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
    mnuNoiseAnalysis_ = menuBar()->addAction(QStringLiteral("Noise Analysis..."));
    mnuNoiseAnalysis_->setObjectName(QStringLiteral("mnuNoiseAnalysis"));
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
    connect(mnuNoiseAnalysis_, &QAction::triggered, this, &frm1::mnuNoiseAnalysis_Click);
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
    for (int i = 1; i <= 8; ++i)
        connect(&outputs_->ck(i), &QCheckBox::toggled, this, &frm1::syncControls);
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
    BusTurn turn(ctx_.engine);
    return showLink(InterfaceLink::Of(ctx_, ntClass_, running()));
}

bool frm1::showLink(const InterfaceLink& now) {
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

void frm1::syncControls() {
    // The datalog window turns the caption to "Read" behind the window's back:
    // the caption stays the one place the loop's state is kept, and this
    // copies it wherever the worker could next look.
    controls_.running = running();
    for (std::size_t i = 1; i <= 8; ++i)
        controls_.ticks[i] = outputs_->ck(static_cast<int>(i)).isChecked();
}

bool frm1::measuring() {
    const InterfaceLink link = InterfaceLink::Of(ctx_, ntClass_, controls_.running.load());
    std::lock_guard lock(linkMutex_);
    workerLink_ = link;
    workerLinkSeen_ = true;
    return link.working();
}

void frm1::cmdReadData_Click() {
    QPushButton& button = outputs_->cmdReadData();
    if (button.text() == kRead) {
        button.setText(kStop);
        // Cleared now, so that the labels are painted blank before the loop.
        outputs_->statistics().Reset();
    } else if (button.text() == kStop)
        button.setText(kRead);
    syncControls();
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
    if (closing_)
        return;
    if (!ctx_.engine.Active()) {
        syncControls();
        timing_.Reset();
        {
            std::lock_guard lock(linkMutex_);
            workerLinkSeen_ = false;
        }
        // Says at once what the loop reads from, before its first read.
        checkLink();
        ctx_.engine.Start([this] { loop_->Run(); });
        frames_->start();
    }
    // The window keeps its events and paints while the worker reads; the
    // frame timer wakes this wait at least once a frame.
    while (ctx_.engine.Active() && !closing_)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (closing_)
        return;
    frames_->stop();
    showFrame();
    showRate();
}

void frm1::showFrame() {
    if (closing_)
        return;
    ctx_.engine.ServeOwner();
    syncControls();
    taken_.clear();
    samples_.TakeAll(taken_);
    for (const Sample& sample : taken_)
        takeSample(sample);
    // Counting the gaps goes over the whole run: twice a second is enough.
    if (++framesSinceRate_ >= 500 / kFrameMs)
        showRate();
    const std::string sep = ctx_.locale.decimalSeparator();
    if (!taken_.empty()) {
        for (std::size_t row = 1; row <= 8; ++row) {
            if (!unshown_[row])
                continue;
            unshown_[row] = false;
            const int i = static_cast<int>(row);
            outputs_->setLive(i, measured_[row]);
            ShowValue(outputs_->txtReadReg(i),
                      QString::fromStdString(FormatFixed0_0hh(*outputValues_[row], sep)));
        }
        outputs_->statistics().Show(sep);
    }
    InterfaceLink link;
    bool seen = false;
    {
        std::lock_guard lock(linkMutex_);
        link = workerLink_;
        seen = workerLinkSeen_;
    }
    if (seen)
        showLink(link);
}

void frm1::showRate() {
    framesSinceRate_ = 0;
    const std::string priority = ctx_.engine.WorkerPriority();
    if (!priority.empty())
        lblRate_->setToolTip(
            QStringLiteral("The read loop's thread: %1").arg(QString::fromStdString(priority)));
    if (timing_.Samples() < 2)
        return;
    lblRate_->setText(QStringLiteral("%1 passes/s, %2 gaps")
                          .arg(timing_.PassesPerSecond(), 0, 'f', 0)
                          .arg(timing_.Gaps()));
}

void frm1::takeSample(const Sample& sample) {
    timing_.Add(sample.readyNs);
    for (std::size_t row = 1; row <= 8; ++row) {
        if (!sample.read[row])
            continue;
        outputValues_[row] = sample.values[row];
        unshown_[row] = true;
        measured_[row] = sample.measured;
        // A number read without a working interface is not a measurement.
        if (sample.measured)
            outputs_->statistics().Add(static_cast<int>(row), sample.values[row]);
    }
    float accelHi = 0, accelLo = 0, inclHi = 0, inclLo = 0;
    accel_->RangeFromButton(accelHi, accelLo);
    incl_->RangeFromButton(inclHi, inclLo);
    PlotDataPointsAy(outputValues_, accelHi, accelLo);
    PlotDataPointsIy(outputValues_, inclHi, inclLo);
}

void frm1::ShowValue(QLineEdit& box, const QString& text) {
    // Setting a line edit's text lays it out anew even when nothing changed;
    // an unchanged reading is left alone.
    if (box.text() != text)
        box.setText(text);
}

void frm1::PlotDataPointsAy(const OutputValueArray& yvalue, float& hipk, float& lowpk) {
    accel_->PlotDataPoints(yvalue, hipk, lowpk, ticks(2));
}

void frm1::PlotDataPointsIy(const OutputValueArray& yvalue, float& hipk, float& lowpk) {
    incl_->PlotDataPoints(yvalue, hipk, lowpk, ticks(6));
}

void frm1::ReadStatus() {
    status_->ShowNames();
    std::int32_t value = 0;
    InterfaceLink link;
    {
        BusTurn turn(ctx_.engine);
        ctx_.registers.ReadRegister(DIAG_STAT);
        value = ctx_.registers.RegisterReadResult.Value;
        link = InterfaceLink::Of(ctx_, ntClass_, running());
    }
    status_->setLive(showLink(link));
    status_->ShowValue(value);
    yield();
}

void frm1::ClearStatus() {
    BusTurn turn(ctx_.engine);
    ctx_.registers.WriteRegister(GLOB_CMD, kClearStatusCommand);
    ctx_.delay.DelayMs(50);
    ReadStatus();
}

void frm1::mnuUsb_Click() {
    // A modal window holds the bus until it closes, as it held the loop.
    BusTurn turn(ctx_.engine);
    showUsbSelect();
    if (closing_)
        return;
    const bool ready = ctx_.usb.UsbReady();
    ctx_.settings.Interface = ready ? InterfaceUsb : InterfaceNone;
    showInterfaceTicks();
    checkLink();
}

void frm1::mnuParallel_Click() {
    BusTurn turn(ctx_.engine);
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
    BusTurn turn(ctx_.engine);
    QPointer<frmDatalog> window = new frmDatalog(ctx_.datalog, outputs_->cmdReadData(), this);
    window->exec();
    syncControls();
    if (window)
        window->deleteLater();
    if (!closing_)
        checkLink();
}

void frm1::mnuRegisters_Click() {
    // Hidden by its own button, destroyed by its close box: make a new one then.
    BusTurn turn(ctx_.engine);
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
    BusTurn turn(ctx_.engine);
    QPointer<ZeroOffsetsDialog> dialog =
        new ZeroOffsetsDialog(ctx_.registers, ctx_.registerTable, ctx_.clock, this);
    dialog->exec();
    if (dialog)
        dialog->deleteLater();
    if (!closing_)
        checkLink();
}

void frm1::mnuNoiseAnalysis_Click() {
    // The window runs a read loop of its own, at the data-ready pace.
    if (running()) {
        ctx_.messages.show("Stop reading data before the noise analysis.");
        return;
    }
    NoiseAnalysisContext context{ctx_.registers,
                                 ctx_.registerTable,
                                 ctx_.clock,
                                 ctx_.engine,
                                 ctx_.messages,
                                 ctx_.appDir.dataDirectory(),
                                 [this] { return measuring(); }};
    QPointer<NoiseAnalysisWindow> window = new NoiseAnalysisWindow(std::move(context), this);
    window->exec();
    if (window)
        window->deleteLater();
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
        setProperty(MainWindowLink::kClosingProperty, true);
        controls_.cancel = true;
        SaveSettings(ctx_.settings, ctx_.appDir.settingsDirectory());
        UserChoices(ctx_.appDir).keepPlace(*this, kMainPlace);
    }
    event->accept();
    hide();
    // A read loop may be running: its worker leaves at its next yield point,
    // and the handler waiting for it returns; the event loop then ends.
    QCoreApplication::quit();
}

}  // namespace quenlor
