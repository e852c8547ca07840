#include "ui/frmDatalog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <utility>

#include "core/DatalogHeader.h"
#include "core/NumberFormat.h"
#include "core/ReplacedFile.h"
#include "core/SampleBuffer.h"

namespace quenlor {

namespace {

const QString kStartCaption = QStringLiteral("Start Datalog");
const QString kCancelCaption = QStringLiteral("Cancel Datalog");
const QString kProgressCaption = QStringLiteral("D A T A L O G    I N    P R O G R E S S");

// Box i logs the register with table index i; its caption is that register's label.
constexpr std::array<const char*, frmDatalog::kSelectionCount> kColumnNames = {
    "SUPPLY_OUT", "XACCL_OUT", "YACCL_OUT", "ZACCL_OUT",
    "TEMP_OUT",   "XINCL_OUT", "YINCL_OUT", "ZINCL_OUT"};

// A product without the Y and Z accelerometers.
constexpr std::int16_t kProductWithoutYZ = 24613;

// File contents are single-byte text.
std::string Latin1(const QString& text) {
    return text.toLatin1().toStdString();
}
std::string Latin1FromUtf8(const std::string& text) {
    return Latin1(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

double Value(const QString& text) {
    return LeadingNumber(text.toStdString());
}

// The whole part of a count, as the run uses it (2.5 gives 2).
std::int64_t WholeCount(double value) {
    if (!(value > 0))
        return 0;
    if (value >= 9.0e18)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(std::trunc(value));
}

// A base name must not lead the file out of the application directory.
bool IsPlainBaseName(const QString& name) {
    if (name.contains(QLatin1String("..")))
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 0x20)
            return false;
    }
    return true;
}

std::string FileAccessMessage(const std::string& fileName) {
    return "\r\nFILE ACCESS ERROR\r\n\r\nFile name = " + fileName +
           "\r\n\r\nThis file may already be open by another application.\r\n\r\nClose the file "
           "or choose a different file name.";
}

std::string WriteFailureMessage(const std::string& fileName) {
    return "The datalog file " + fileName +
           " could not be written completely; the disk may be full.\r\n\r\nThe run has ended. "
           "The files finished before it are kept.";
}

std::string TooManySamplesMessage(std::int64_t wanted, std::int64_t largest) {
    return "Samples per File is too large: the sample lines of one file (" +
           std::to_string(wanted) + " samples) cannot be held in memory.\r\n\r\nThe largest " +
           "Samples per File that fits is " + std::to_string(largest) + ".";
}

// The largest count that can be reserved, when `wanted` could not be.
std::int64_t LargestReservable(std::int64_t wanted, int registers) {
    std::int64_t largest = SampleBuffer::LargestSampleCount(registers);
    if (wanted <= largest) {
        // Within the limit, yet the memory was not there: find what is.
        largest = wanted / 2;
        SampleBuffer probe;
        while (largest > 0 && !probe.Reserve(largest, registers))
            largest /= 2;
    }
    return largest;
}

// The progress bar moves at least in 10 % steps and at most once per 500
// samples: each visible move repaints it at once, which costs as much as a few
// dozen samples' yields, so short files get few moves and long ones fine steps.
std::int64_t BarSteps(std::int64_t samples) {
    return std::min(samples, std::max<std::int64_t>(10, samples / 500));
}

// What the run last read of the window, to finish a file should the window go.
struct Snapshot {
    std::array<bool, frmDatalog::kSelectionCount> selected{};
    bool noHeader = false;
};

}  // namespace

frmDatalog::frmDatalog(AppContext& ctx, QAbstractButton& readButton, QWidget* parent)
    : QDialog(parent), ctx_(ctx), readButton_(readButton) {
    setObjectName(QStringLiteral("frmDatalog"));
    setWindowTitle(QStringLiteral("Datalog Control"));
    setModal(true);
    BuildControls();
    Form_Load();
}

frmDatalog::~frmDatalog() = default;

void frmDatalog::BuildControls() {
    auto makeEdit = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    auto makeLabel = [this](const char* name, const QString& text) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QString::fromLatin1(name));
        return label;
    };

    txtSamplesPerFile = makeEdit("txtSamplesPerFile");
    txtSampleDelay = makeEdit("txtSampleDelay");
    txtFilesPerSession = makeEdit("txtFilesPerSession");
    txtDirectory = makeEdit("txtDirectory");
    txtFileName = makeEdit("txtFileName");
    txtFileNum = makeEdit("txtFileNum");
    txtFileNum->setText(QStringLiteral("1"));
    lblFext = makeLabel("lblFext", QString());

    auto* frameFileSetup = new QGroupBox(QStringLiteral("FILE SETUP"), this);
    frameFileSetup->setObjectName(QStringLiteral("frameFileSetup"));
    auto* setupGrid = new QGridLayout(frameFileSetup);
    setupGrid->addWidget(makeLabel("lblSamplesPerFile", QStringLiteral("Samples per File")), 0, 0);
    setupGrid->addWidget(txtSamplesPerFile, 0, 1);
    setupGrid->addWidget(makeLabel("lblSampleDelay", QStringLiteral("Sample Delay msec")), 1, 0);
    setupGrid->addWidget(txtSampleDelay, 1, 1);
    setupGrid->addWidget(makeLabel("lblFilesPerSession", QStringLiteral("Files per Session")), 2,
                         0);
    setupGrid->addWidget(txtFilesPerSession, 2, 1);

    auto* frameFileInfo = new QGroupBox(QStringLiteral("FILE INFORMATION"), this);
    frameFileInfo->setObjectName(QStringLiteral("frameFileInformation"));
    auto* infoGrid = new QGridLayout(frameFileInfo);
    infoGrid->addWidget(makeLabel("lblDirectory", QStringLiteral("Directory")), 0, 0);
    infoGrid->addWidget(txtDirectory, 0, 1, 1, 2);
    infoGrid->addWidget(makeLabel("lblFileName", QStringLiteral("File Name")), 1, 0);
    infoGrid->addWidget(txtFileName, 1, 1, 1, 2);
    infoGrid->addWidget(makeLabel("lblFileNum", QStringLiteral("File Number")), 2, 0);
    infoGrid->addWidget(txtFileNum, 2, 1);
    infoGrid->addWidget(lblFext, 2, 2);
    txtFileNum->setMaximumWidth(110);

    auto* frameFormat = new QGroupBox(QStringLiteral("DATA FORMAT"), this);
    frameFormat->setObjectName(QStringLiteral("frameDataFormat"));
    auto* formatBox = new QVBoxLayout(frameFormat);
    ckNOScale = new QCheckBox(QStringLiteral("LSB Data Only...   No scaling"), frameFormat);
    ckNOScale->setObjectName(QStringLiteral("ckNOScale"));
    ckNOHeader = new QCheckBox(QStringLiteral("Numeric Data Only...  No file header"), frameFormat);
    ckNOHeader->setObjectName(QStringLiteral("ckNOHeader"));
    formatBox->addWidget(ckNOScale);
    formatBox->addWidget(ckNOHeader);

    auto* frameSelection = new QGroupBox(QStringLiteral("DATA SELECTION"), this);
    frameSelection->setObjectName(QStringLiteral("frameDataSelection"));
    auto* selectionBox = new QVBoxLayout(frameSelection);
    for (int i = 0; i < kSelectionCount; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kColumnNames[static_cast<std::size_t>(i)]),
                                  frameSelection);
        box->setObjectName(QStringLiteral("CheckReg_%1").arg(i + 1));
        box->setChecked(i + 1 == XACCL_OUT);
        selectionBox->addWidget(box);
        CheckReg[static_cast<std::size_t>(i)] = box;
    }
    selectionBox->addStretch(1);

    LBLDatalogInProgress = makeLabel("LBLDatalogInProgress", kProgressCaption);
    LBLDatalogInProgress->setAlignment(Qt::AlignCenter);
    prgDatalog = new QProgressBar(this);
    prgDatalog->setObjectName(QStringLiteral("prgDatalog"));
    prgDatalog->setRange(0, 1);
    prgDatalog->setValue(0);
    // Room for its text in runs of up to a few hundred files.
    prgDatalog->setMinimumWidth(
        prgDatalog->fontMetrics().horizontalAdvance(QStringLiteral("File 888 of 888: 100%")) + 24);
    cmdStartDatalog = new QPushButton(kStartCaption, this);
    cmdStartDatalog->setObjectName(QStringLiteral("cmdStartDatalog"));
    cmdStartDatalog->setAutoDefault(false);

    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(LBLDatalogInProgress, 1);
    progressRow->addWidget(prgDatalog, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(frameFileSetup);
    left->addWidget(frameFileInfo);
    left->addWidget(frameFormat);
    left->addLayout(progressRow);
    left->addWidget(cmdStartDatalog);
    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left, 3);
    columns->addWidget(frameSelection, 1);

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
    appDirectoryText_ = QString::fromStdU16String(ctx_.appDir.path().u16string());
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
    // The locale's own rendering of 1.2 tells whether "," is taken by decimals.
    const std::string sample = FormatGeneral(1.2f, ctx_.locale.decimalSeparator());
    const bool commaDecimals = sample.size() >= 2 && sample[1] == ',';
    fieldSeparator_ = commaDecimals ? QStringLiteral("\t") : QStringLiteral(",");
    fileExtension_ = commaDecimals ? QStringLiteral(".txt") : QStringLiteral(".csv");
}

void frmDatalog::SetInputsEnabled(bool enabled) {
    for (QCheckBox* box : CheckReg)
        box->setEnabled(enabled);
    ckNOHeader->setEnabled(enabled);
    ckNOScale->setEnabled(enabled);
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

// A run whose lines cannot be held starts nothing: checked before any visible step.
bool frmDatalog::ReserveLines() {
    const std::int64_t wanted = WholeCount(RoundHalfEven(samplesPerFileValue_));
    const int ticked = TickedCount();
    if (lines_.Reserve(wanted, ticked))
        return true;
    ctx_.messages.show(TooManySamplesMessage(wanted, LargestReservable(wanted, ticked)), kAppTitle,
                       MessageIcon::Warning);
    return false;
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
        if (running_ || !ReserveLines())
            return;
        cmdStartDatalog->setText(kCancelCaption);
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
    QDialog::done(result);
}

void frmDatalog::RunDatalog() {
    // The run yields to the event queue; whatever happens to the window then,
    // the current file is finished from what is held here.
    QPointer<frmDatalog> self(this);
    AppContext& ctx = ctx_;
    if (!ReserveLines()) {
        cmdStartDatalog->setText(kStartCaption);
        return;
    }
    running_ = true;

    ChooseSeparator();
    lblFext->setText(fileExtension_);
    const std::string sep = Latin1(fieldSeparator_);
    const QString extension = fileExtension_;
    const std::string decimal = Latin1FromUtf8(ctx.locale.decimalSeparator());
    const std::filesystem::path directory = ctx.appDir.path();

    LBLDatalogInProgress->setVisible(true);
    SetInputsEnabled(false);

    // Held here: should the window go during a yield, its member goes with it.
    SampleBuffer lines = std::move(lines_);
    lines_ = SampleBuffer{};

    const std::int64_t files = WholeCount(Value(txtFilesPerSession->text()));
    Snapshot last;
    QString lastDelayText;
    double delayMs = 0;
    bool stop = false;
    for (std::int64_t f = 1; f <= files && !stop; ++f) {
        const QString baseName = baseName_;
        const QString name = baseName + QStringLiteral("_") + QString::number(f) + extension;
        const std::string nameBytes = Latin1(name);
        ReplacedFile file;
        if (!IsPlainBaseName(baseName) ||
            !file.Open(directory / std::filesystem::path(name.toStdU16String()))) {
            ctx.messages.show(FileAccessMessage(nameBytes), kAppTitle, MessageIcon::Warning);
            break;
        }
        txtFileNum->setText(QString::number(f));
        const std::int64_t samples =
            std::min<std::int64_t>(WholeCount(Value(txtSamplesPerFile->text())), INT32_MAX);
        const std::int64_t barSteps = BarSteps(samples);
        std::int64_t barStepsShown = 0;
        std::int64_t nextBarAt = barSteps > 0 ? samples / barSteps : 0;
        // Every change of a visible bar repaints it at once, so it is set up
        // while hidden where it can be, and moved only in the steps it shows.
        if (prgDatalog->isHidden())
            prgDatalog->reset();
        prgDatalog->setFormat(QStringLiteral("File %1 of %2: %p%").arg(f).arg(files));
        prgDatalog->setRange(0, static_cast<int>(samples));
        prgDatalog->setValue(0);
        prgDatalog->setVisible(true);
        QCoreApplication::processEvents();
        stop = !self;

        const float begin = ctx.clock.secondsSinceMidnight();
        lines.Clear();
        for (std::int64_t s = 1; s <= samples && !stop; ++s) {
            lines.BeginLine(s, sep);
            for (std::size_t i = 0; i < CheckReg.size(); ++i) {
                last.selected[i] = CheckReg[i]->isChecked();
                if (!last.selected[i])
                    continue;
                ctx.registers.ReadRegister(static_cast<std::int16_t>(i + 1));
                if (ckNOScale->isChecked()) {
                    lines.AppendInteger(ctx.registers.RegisterReadResult.Value);
                } else {
                    lines.Append(FormatGeneral(ctx.registers.RegisterReadResult.Scaled, decimal));
                }
                lines.Append(sep);
            }
            lines.EndLine();
            // The box is disabled, so its text is parsed again only if changed.
            const QString delayText = txtSampleDelay->text();
            if (delayText != lastDelayText) {
                lastDelayText = delayText;
                delayMs = Value(delayText);
            }
            if (delayMs > 0)
                ctx.delay.DelayMs(static_cast<float>(delayMs));
            if (s == nextBarAt) {
                prgDatalog->setValue(static_cast<int>(s));
                ++barStepsShown;
                nextBarAt = samples * (barStepsShown + 1) / barSteps;
            }
            QCoreApplication::processEvents();
            stop = !self || cmdStartDatalog->text() == kStartCaption;
        }
        const float end = ctx.clock.secondsSinceMidnight();

        if (self) {
            last.noHeader = ckNOHeader->isChecked();
            for (std::size_t i = 0; i < CheckReg.size(); ++i) {
                last.selected[i] = CheckReg[i]->isChecked();
            }
        }
        if (!last.noHeader) {
            DatalogHeader header;
            header.fileName = nameBytes;
            header.date = Latin1FromUtf8(ctx.locale.shortDate());
            header.time = Latin1FromUtf8(ctx.locale.longTime());
            header.beginSeconds = begin;
            header.endSeconds = end;
            for (std::size_t i = 0; i < last.selected.size(); ++i) {
                if (last.selected[i])
                    header.columns.emplace_back(kColumnNames[i]);
            }
            header.separator = sep;
            header.decimalSeparator = decimal;
            file.Write(header.Text());
        }
        file.Write(lines.Text());
        if (!file.Commit()) {
            ctx.messages.show(WriteFailureMessage(nameBytes), kAppTitle, MessageIcon::Warning);
            stop = true;
        }
    }

    if (!self)
        return;
    LBLDatalogInProgress->setVisible(false);
    prgDatalog->setVisible(false);
    cmdStartDatalog->setText(kStartCaption);
    SetInputsEnabled(true);
    cmdStartDatalog->setEnabled(true);
    running_ = false;
    if (pendingDone_) {
        const int result = *pendingDone_;
        pendingDone_.reset();
        QDialog::done(result);
    }
}

}  // namespace quenlor
