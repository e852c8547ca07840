#include "ui/datalog/frmDatalog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include <cstdint>
#include <string>
#include <vector>

#include "acquisition/ClockRelay.h"
#include "acquisition/LocaleRelay.h"
#include "core/NumberFormat.h"
#include "datalog/DatalogRun.h"
#include "datalog/RelayedDatalogHost.h"
#include "ui/common/UserChoices.h"
#include "ui/common/WorkerRun.h"
#include "ui/datalog/DatalogWindowHost.h"

namespace quenlor {

namespace {

const QString kStartCaption = QStringLiteral("Start Datalog");
const QString kCancelCaption = QStringLiteral("Cancel Datalog");
const QString kChoicePrefix = QStringLiteral("datalog/");

// A product without the Y and Z accelerometers.
constexpr std::int16_t kProductWithoutYZ = 24613;

std::string Utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace

frmDatalog::frmDatalog(DatalogContext& ctx, QAbstractButton& readButton, QWidget* parent)
    : QDialog(parent), ctx_(ctx), readButton_(readButton) {
    setObjectName(QStringLiteral("frmDatalog"));
    setWindowTitle(QStringLiteral("Datalog Control"));
    setModal(true);
    BuildControls(*this, kStartCaption);
    ConnectControls();
    Form_Load();
}

frmDatalog::~frmDatalog() = default;

void frmDatalog::ConnectControls() {
    connect(txtSamplesPerFile, &QLineEdit::textChanged, this,
            &frmDatalog::txtSamplesPerFile_Change);
    connect(txtSampleDelay, &QLineEdit::textChanged, this, &frmDatalog::txtSampleDelay_Change);
    connect(txtFilesPerSession, &QLineEdit::textChanged, this,
            &frmDatalog::txtFilesPerSession_Change);
    connect(txtFileName, &QLineEdit::textChanged, this, &frmDatalog::txtFileName_Change);
    connect(txtDirectory, &QLineEdit::textChanged, this, &frmDatalog::txtDirectory_Change);
    connect(cmdStartDatalog, &QPushButton::clicked, this, &frmDatalog::cmdStartDatalog_Click);
}

void frmDatalog::Form_Load() {
    txtSamplesPerFile->setText(QStringLiteral("1000"));
    txtSampleDelay->setText(QStringLiteral("0"));
    txtFilesPerSession->setText(QStringLiteral("1"));
    appDirectoryText_ = QString::fromStdU16String(ctx_.appDir.dataDirectory().u16string());
    txtDirectory->setText(appDirectoryText_);
    baseName_ = QStringLiteral("DATALOG");
    txtFileName->setText(baseName_);
    txtFileNum->setEnabled(false);
    LBLDatalogInProgress->setVisible(false);
    prgDatalog->setVisible(false);
    // Ends a running continuous read of the main window once control returns to it.
    readButton_.setText(QStringLiteral("Read"));
    ChooseSeparator();
    lblFext->setText(fileExtension_);
    RestoreChoices();
}

// The texts pass the change rules as typed ones do, so a damaged value is
// corrected in place.
void frmDatalog::RestoreChoices() {
    const UserChoices choices(ctx_.appDir);
    for (QLineEdit* box : {txtSamplesPerFile, txtSampleDelay, txtFilesPerSession, txtFileName})
        box->setText(choices.text(kChoicePrefix + box->objectName(), box->text()));
    for (QCheckBox* box : ChoiceBoxes())
        box->setChecked(choices.flag(kChoicePrefix + box->objectName(), box->isChecked()));
    choices.restorePlace(*this, kChoicePrefix + QStringLiteral("place"));
}

void frmDatalog::KeepChoices() {
    UserChoices choices(ctx_.appDir);
    for (QLineEdit* box : {txtSamplesPerFile, txtSampleDelay, txtFilesPerSession, txtFileName})
        choices.set(kChoicePrefix + box->objectName(), box->text());
    for (QCheckBox* box : ChoiceBoxes())
        choices.set(kChoicePrefix + box->objectName(), box->isChecked());
    choices.keepPlace(*this, kChoicePrefix + QStringLiteral("place"));
}

std::vector<QCheckBox*> frmDatalog::ChoiceBoxes() const {
    std::vector<QCheckBox*> boxes(CheckReg.begin(), CheckReg.end());
    boxes.insert(boxes.end(), {ckNOScale, ckNOHeader, ckPaced});
    return boxes;
}

void frmDatalog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ApplySelectionVisibility();
}

void frmDatalog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmDatalog::Form_Activate() {
    if (activating_)
        return;
    activating_ = true;
    ApplySelectionVisibility();
    QPointer<frmDatalog> self(this);
    QCoreApplication::processEvents();
    if (self)
        activating_ = false;
}

void frmDatalog::ApplySelectionVisibility() {
    const bool withoutYZ = ctx_.settings.ProductNumber == kProductWithoutYZ;
    for (int i = 1; i <= kSelectionCount; ++i) {
        const bool hide = withoutYZ && (i == YACCL_OUT || i == ZACCL_OUT);
        CheckReg[static_cast<std::size_t>(i - 1)]->setVisible(!hide);
    }
}

void frmDatalog::ChooseSeparator() {
    const DatalogFormat format = ChooseDatalogFormat(ctx_.locale.decimalSeparator());
    fieldSeparator_ = QString::fromStdString(format.separator);
    fileExtension_ = QString::fromStdString(format.extension);
}

void frmDatalog::SetInputsEnabled(bool enabled) {
    for (QCheckBox* box : CheckReg)
        box->setEnabled(enabled);
    ckNOHeader->setEnabled(enabled);
    ckNOScale->setEnabled(enabled);
    ckPaced->setEnabled(enabled);
    txtSamplesPerFile->setEnabled(enabled);
    txtSampleDelay->setEnabled(enabled);
    txtFilesPerSession->setEnabled(enabled);
    txtDirectory->setEnabled(enabled);
    txtFileName->setEnabled(enabled);
}

// The numeric test follows the system's decimal separator: with "," the "."
// groups thousands, otherwise the other way round.
bool frmDatalog::IsNumeric(const QString& text) const {
    const QLocale numbers = ctx_.locale.decimalSeparator() == ","
                                ? QLocale(QLocale::German, QLocale::Germany)
                                : QLocale::c();
    bool ok = false;
    numbers.toDouble(text, &ok);
    return ok;
}

double frmDatalog::Value(const QString& text) const {
    return LeadingNumber(text.toStdString(), ctx_.locale.groupSeparator());
}

int frmDatalog::TickedCount() const {
    int count = 0;
    for (const QCheckBox* box : CheckReg)
        count += box->isChecked() ? 1 : 0;
    return count;
}

void frmDatalog::txtSamplesPerFile_Change() {
    if (!IsNumeric(txtSamplesPerFile->text()))
        txtSamplesPerFile->setText(QStringLiteral("1000"));
    if (Value(txtSamplesPerFile->text()) < 1)
        txtSamplesPerFile->setText(QStringLiteral("1"));
    if (Value(txtSamplesPerFile->text()) > 2147483647.0) {
        txtSamplesPerFile->setText(QStringLiteral("2147483647"));
    }
    samplesPerFileValue_ = Value(txtSamplesPerFile->text());
}

void frmDatalog::txtSampleDelay_Change() {
    if (!IsNumeric(txtSampleDelay->text()))
        txtSampleDelay->setText(QStringLiteral("0"));
    if (Value(txtSampleDelay->text()) > 32000)
        txtSampleDelay->setText(QStringLiteral("32000"));
    if (Value(txtSampleDelay->text()) < 0)
        txtSampleDelay->setText(QStringLiteral("0"));
}

void frmDatalog::txtFilesPerSession_Change() {
    if (!IsNumeric(txtFilesPerSession->text()))
        txtFilesPerSession->setText(QStringLiteral("1"));
    if (Value(txtFilesPerSession->text()) < 1)
        txtFilesPerSession->setText(QStringLiteral("1"));
    if (Value(txtFilesPerSession->text()) > 2000000000.0) {
        txtFilesPerSession->setText(QStringLiteral("2000000000"));
    }
}

void frmDatalog::txtFileName_Change() {
    baseName_ = txtFileName->text();
}

void frmDatalog::txtDirectory_Change() {
    if (txtDirectory->text() != appDirectoryText_)
        txtDirectory->setText(appDirectoryText_);
}

void frmDatalog::cmdStartDatalog_Click() {
    if (TickedCount() == 0) {
        ctx_.messages.show("Please check at least one DATA SELECTION box.");
        return;
    }
    if (cmdStartDatalog->text() == kStartCaption) {
        // A Start that slips in while a cancelled run finishes its sample starts
        // nothing: the run in progress still owns the window.
        if (!running_)
            RunDatalog();
    } else if (cmdStartDatalog->text() == kCancelCaption) {
        cmdStartDatalog->setText(kStartCaption);
        // Until the run has noticed, a click could only be a second Start.
        if (running_)
            cmdStartDatalog->setEnabled(false);
    }
}

void frmDatalog::done(int result) {
    if (running_) {
        pendingDone_ = result;
        cmdStartDatalog->setText(kStartCaption);
        cmdStartDatalog->setEnabled(false);
        return;
    }
    KeepChoices();
    QDialog::done(result);
}

void frmDatalog::keyPressEvent(QKeyEvent* event) {
    // A run ends only by Cancel or the close box, never by a stray key.
    if (running_ && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmDatalog::RunDatalog() {
    // Host and run live here, not in the window: should the window go while
    // the run goes on, the current file is still finished from what they hold.
    // The run itself goes on the engine's worker; it asks the window's host,
    // locale and wall clock through the engine, on this thread.
    DatalogWindowHost host(*this);
    AcquisitionEngine& engine = ctx_.engine;
    RelayedDatalogHost relayed(host, engine);
    LocaleRelay locale(ctx_.locale, engine);
    ClockRelay clock(ctx_.clock, engine);
    DatalogRun run({ctx_.registers, ctx_.delay, clock, locale, ctx_.messages, ctx_.appDir},
                   relayed);
    // A run whose lines cannot be held starts nothing: checked before any visible step.
    if (!run.Prepare({Utf8(baseName_), Utf8(txtSamplesPerFile->text()),
                      Utf8(txtFilesPerSession->text()), ckNOHeader->isChecked(),
                      ckPaced->isChecked()})) {
        return;
    }
    // Another session's files go only when the user says so.
    if (const auto files = run.FilesToReplace(); !files.empty()) {
        const std::string it = files.size() == 1 ? "it" : "them";
        if (!ctx_.messages.askCancelDefault(ReplacedFilesText(files) + "\n\nReplace " + it + "?"))
            return;
    }
    KeepChoices();
    cmdStartDatalog->setText(kCancelCaption);
    running_ = true;
    relayed.Refresh();
    RunOnWorker(
        engine, [&run] { run.RunDatalog(); },
        [&relayed] {
            relayed.Refresh();
            return relayed.CancelRequested();
        });
    if (!host.WindowAlive())
        return;
    running_ = false;
    if (pendingDone_) {
        const int result = *pendingDone_;
        pendingDone_.reset();
        QDialog::done(result);
    }
}

void frmDatalog::ShowRun(bool running) {
    LBLDatalogInProgress->setVisible(running);
    if (!running) {
        prgDatalog->setVisible(false);
        cmdStartDatalog->setText(kStartCaption);
    }
    SetInputsEnabled(!running);
    if (!running)
        cmdStartDatalog->setEnabled(true);
}

bool frmDatalog::CancelRequested() const {
    return cmdStartDatalog->text() == kStartCaption;
}

}  // namespace quenlor
