#include "ui/registers/frmManualReg.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "core/HexText.h"
#include "core/NumberFormat.h"
#include "regmap/SensorCommands.h"
#include "ui/common/QtFileDialogs.h"
#include "ui/common/TextBox.h"
#include "ui/common/UserChoices.h"

namespace quenlor {

namespace {

const QString kSelectedChoice = QStringLiteral("registers/selected");

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

const char* TrueFalse(bool flag) {
    return flag ? "True" : "False";
}

QLineEdit* MakeBox(QWidget* parent, const char* name, bool readOnly) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(readOnly);
    KeepTextInBox(*box);
    return box;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, QWidget* buddy) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

frmManualReg::frmManualReg(RegisterWindowContext& ctx, QWidget* mainWindow, QWidget* parent)
    : QDialog(parent),
      ctx_(ctx),
      ownDialogs_(std::make_unique<QtFileDialogs>()),
      dialogs_(ownDialogs_.get()),
      lastFolder_(ctx.appDir.path()) {
    setObjectName("frmManualReg");
    setWindowTitle("Registers");
    BuildControls();

    defaultPrinter = [] { return QPrinterInfo::defaultPrinter(); };
    askPdfFileName = [this] {
        return QFileDialog::getSaveFileName(
            this, "Save Window Image",
            QString::fromStdU16String(ctx_.appDir.dataDirectory().u16string()),
            "PDF files (*.pdf)");
    };

    Form_Load(mainWindow);
}

QGroupBox* frmManualReg::BuildRegisterGroup() {
    auto* groupReg = new QGroupBox("Register Read/Write", this);
    groupReg->setObjectName("frameRegister");
    cmboRegister = new QComboBox(groupReg);
    cmboRegister->setObjectName("cmboRegister");
    cmboRegister->setMaxVisibleItems(31);
    txtRegAddr = MakeBox(groupReg, "txtRegAddr", true);
    txtRegByte = MakeBox(groupReg, "txtRegByte", true);
    txtRegRead = MakeBox(groupReg, "txtRegRead", true);
    txtRegWrite = MakeBox(groupReg, "txtRegWrite", true);
    cmdRead = MakeButton(groupReg, "cmdRead", "Read (Hex)");
    txtRegHex = MakeBox(groupReg, "txtRegHex", true);
    txtDataWrite = MakeBox(groupReg, "txtDataWrite", false);
    cmdWrite = MakeButton(groupReg, "cmdWrite", "Write (Hex)");
    txtRegVal = MakeBox(groupReg, "txtRegVal", true);

    auto* regGrid = new QGridLayout(groupReg);
    regGrid->addWidget(cmboRegister, 0, 0, 1, 2);
    regGrid->addWidget(MakeLabel(groupReg, "lblRegAddr", "Base Addr (Hex)", txtRegAddr), 1, 0);
    regGrid->addWidget(txtRegAddr, 1, 1);
    regGrid->addWidget(MakeLabel(groupReg, "lblRegByte", "Num Bytes", txtRegByte), 2, 0);
    regGrid->addWidget(txtRegByte, 2, 1);
    regGrid->addWidget(MakeLabel(groupReg, "lblRegRead", "Read Flag", txtRegRead), 3, 0);
    regGrid->addWidget(txtRegRead, 3, 1);
    regGrid->addWidget(MakeLabel(groupReg, "lblRegWrite", "Write Flag", txtRegWrite), 4, 0);
    regGrid->addWidget(txtRegWrite, 4, 1);
    regGrid->addWidget(cmdRead, 5, 0);
    regGrid->addWidget(txtRegHex, 5, 1);
    regGrid->addWidget(cmdWrite, 6, 0);
    regGrid->addWidget(txtDataWrite, 6, 1);
    regGrid->addWidget(MakeLabel(groupReg, "lblRegVal", "Deci. Value", txtRegVal), 7, 0);
    regGrid->addWidget(txtRegVal, 7, 1);
    regGrid->setRowStretch(8, 1);
    return groupReg;
}

QGroupBox* frmManualReg::BuildUserGroup() {
    auto* groupUser = new QGroupBox("User Registers (Hex Values)", this);
    groupUser->setObjectName("frameUserReg");
    cmdReadAllReg = MakeButton(groupUser, "cmdReadAllReg", "Read");
    cmdPrint = MakeButton(groupUser, "cmdPrint", "Print");
    txtUserReg = new QPlainTextEdit(groupUser);
    txtUserReg->setObjectName("txtUserReg");
    txtUserReg->setReadOnly(true);
    txtUserReg->setLineWrapMode(QPlainTextEdit::NoWrap);
    // A fixed-pitch font with eight-character tab stops lines the columns up.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    txtUserReg->setFont(fixed);
    // Room for the whole listing: 33 lines, the widest (49 columns) the dash line.
    const QFontMetricsF metrics(fixed);
    txtUserReg->setMinimumSize(static_cast<int>(56 * metrics.horizontalAdvance(QLatin1Char('0'))),
                               static_cast<int>(36 * metrics.lineSpacing() + 24));
    txtUserReg->setTabStopDistance(8 * metrics.horizontalAdvance(QLatin1Char(' ')));

    auto* userButtons = new QHBoxLayout;
    userButtons->addWidget(cmdReadAllReg);
    userButtons->addWidget(cmdPrint);
    userButtons->addStretch(1);
    auto* userBox = new QVBoxLayout(groupUser);
    userBox->addLayout(userButtons);
    userBox->addLayout(BuildSnapshotButtons(groupUser));
    userBox->addWidget(txtUserReg, 1);
    return groupUser;
}

void frmManualReg::BuildControls() {
    QGroupBox* groupReg = BuildRegisterGroup();
    QGroupBox* groupUser = BuildUserGroup();
    cmdUpdateFlash = MakeButton(this, "cmdUpdateFlash", "Update Flash");
    LineFlash = new QFrame(this);
    LineFlash->setObjectName("LineFlash");
    LineFlash->setFrameShape(QFrame::HLine);
    LineFlash->setFrameShadow(QFrame::Plain);
    LineFlash->setLineWidth(4);
    QPalette green = LineFlash->palette();
    green.setColor(QPalette::WindowText, QColor(0, 255, 0));
    LineFlash->setPalette(green);
    LineFlash->setMinimumWidth(80);
    // Keeps its place while hidden so that the buttons do not move.
    QSizePolicy keepPlace = LineFlash->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    LineFlash->setSizePolicy(keepPlace);
    LineFlash->hide();
    cmdClose = MakeButton(this, "cmdClose", "Close Window");

    auto* groups = new QHBoxLayout;
    groups->addWidget(groupReg);
    groups->addWidget(groupUser, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdUpdateFlash);
    bottom->addWidget(LineFlash);
    bottom->addStretch(1);
    bottom->addWidget(cmdClose);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(groups, 1);
    outer->addLayout(bottom);

    connect(cmboRegister, &QComboBox::activated, this, &frmManualReg::cmboRegister_Click);
    connect(cmdRead, &QPushButton::clicked, this, &frmManualReg::cmdRead_Click);
    connect(cmdWrite, &QPushButton::clicked, this, &frmManualReg::cmdWrite_Click);
    connect(cmdReadAllReg, &QPushButton::clicked, this, &frmManualReg::cmdReadAllReg_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmManualReg::cmdPrint_Click);
    connect(cmdUpdateFlash, &QPushButton::clicked, this, &frmManualReg::cmdUpdateFlash_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmManualReg::cmdClose_Click);
}

void frmManualReg::Form_Load(QWidget* mainWindow) {
    if (mainWindow != nullptr)
        move(mainWindow->pos());
    const RegisterTable& table = ctx_.registerTable;
    for (std::int16_t i = 0; i <= table.LastRegIndex; ++i)
        cmboRegister->addItem(ToQString(table[i].Label));
    ListRegisters();
    cmboRegister->setCurrentIndex(-1);
    // The register the user chose last time, chosen again.
    const int chosen = cmboRegister->findText(
        UserChoices(ctx_.appDir).text(kSelectedChoice, QString()), Qt::MatchFixedString);
    if (chosen >= 0) {
        cmboRegister->setCurrentIndex(chosen);
        cmboRegister_Click(chosen);
    }
}

std::int16_t frmManualReg::SelectedIndex() const {
    const int index = cmboRegister->currentIndex();
    if (index < 0 || index > ctx_.registerTable.LastRegIndex)
        return -1;
    return static_cast<std::int16_t>(index);
}

void frmManualReg::ShowReadResult() {
    const ReadResult& result = ctx_.registers.RegisterReadResult;
    txtRegVal->setText(ToQString(FormatGeneral(result.Scaled, ctx_.locale.decimalSeparator())));
    txtRegHex->setText(ToQString(FormatHex(result.Value)));
}

void frmManualReg::RefreshSelected() {
    const std::int16_t index = SelectedIndex();
    if (index < 0 || !ctx_.registerTable[index].ReadFlag)
        return;
    ctx_.registers.ReadRegister(index);
    ShowReadResult();
}

void frmManualReg::cmboRegister_Click(int position) {
    if (position < 0 || position > ctx_.registerTable.LastRegIndex)
        return;
    const auto index = static_cast<std::int16_t>(position);
    const RegisterEntry& entry = ctx_.registerTable[index];
    txtRegAddr->setText(ToQString(FormatHex(entry.BaseAddr)));
    txtRegByte->setText(QString::number(entry.NumBytes));
    txtRegRead->setText(TrueFalse(entry.ReadFlag));
    txtRegWrite->setText(TrueFalse(entry.WriteFlag));
    cmdWrite->setEnabled(entry.WriteFlag);
    cmdRead->setEnabled(entry.ReadFlag);
    ctx_.registers.ReadRegister(index);
    ShowReadResult();
    txtDataWrite->clear();
    UserChoices(ctx_.appDir).set(kSelectedChoice, ToQString(entry.Label));
}

void frmManualReg::cmdRead_Click() {
    const std::int16_t index = SelectedIndex();
    if (index < 0 || !ctx_.registerTable[index].ReadFlag)
        return;
    txtRegHex->clear();
    ctx_.registers.ReadRegister(index);
    ShowReadResult();
}

void frmManualReg::cmdWrite_Click() {
    const std::int16_t index = SelectedIndex();
    if (index < 0)
        return;
    // Characters outside Latin-1 become '?', one per character, which counts as 0.
    const QByteArray text = txtDataWrite->text().toLatin1();
    const std::int32_t value =
        HexToDec(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    ctx_.registers.WriteRegister(index, value);
    ctx_.delay.DelayMs(100);
    ListRegisters();
    ctx_.registers.ReadRegister(index);
    ShowReadResult();
}

void frmManualReg::cmdReadAllReg_Click() {
    ListRegisters();
}

void frmManualReg::ListRegisters() {
    std::string text = "Name\t\tAddr\tHex\r\n";
    text += std::string(20, '-') + "\t" + std::string(9, '-') + "\t" + std::string(9, '-') + "\r\n";
    const RegisterTable& table = ctx_.registerTable;
    for (std::int16_t i = 0; i <= table.LastRegIndex; ++i) {
        ctx_.registers.ReadRegister(i);
        const RegisterEntry& entry = table[i];
        text += entry.Label + "     \t" + FormatHex(entry.BaseAddr) + "\t" +
                FormatHex4(ctx_.registers.RegisterReadResult.Value) + "\r\n";
    }
    ShowListing(std::move(text), {});
}

void frmManualReg::ShowListing(std::string text, const std::vector<int>& highlighted) {
    listing_ = std::move(text);
    // The text box keeps lines with a single line break; the exact text stays in listing_.
    QString shown = ToQString(listing_);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    txtUserReg->setPlainText(shown);
    QList<QTextEdit::ExtraSelection> marks;
    for (const int line : highlighted) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(txtUserReg->document()->findBlockByNumber(line));
        mark.format.setBackground(QColor(255, 230, 120));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    txtUserReg->setExtraSelections(marks);
}

void frmManualReg::cmdUpdateFlash_Click() {
    QPointer<frmManualReg> self(this);
    // Qt schedules paints for later; repaint draws at once so that the line is
    // on the screen for the whole busy wait, and the yield flushes it.
    LineFlash->show();
    LineFlash->repaint();
    QCoreApplication::processEvents();
    if (self.isNull())
        return;
    ctx_.registers.WriteRegister(GLOB_CMD, kFlashUpdateCommand);
    ctx_.delay.DelayMs(250);
    LineFlash->hide();
    repaint(LineFlash->geometry());
    QCoreApplication::processEvents();
}

void frmManualReg::cmdClose_Click() {
    hide();
}

void frmManualReg::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    if (event->isAccepted())
        deleteLater();
}

bool frmManualReg::PrintWindowImage(QPrinter& printer) {
    const QPixmap shot = grab();
    const QImage image = shot.toImage();
    QPainter painter;
    if (image.isNull() || !painter.begin(&printer))
        return false;
    // The image keeps the size it has on the screen unless the page is smaller.
    const QSizeF logical = shot.deviceIndependentSize();
    const double screenDpi = std::max(1, logicalDpiX());
    const double toPage = printer.resolution() / screenDpi;
    const QRect page = painter.viewport();
    const double fit =
        std::min({toPage, page.width() / logical.width(), page.height() / logical.height()});
    const QRectF target(0, 0, logical.width() * fit, logical.height() * fit);
    painter.drawImage(target, image);
    const bool ended = painter.end();
    return ended && printer.printerState() != QPrinter::Error;
}

void frmManualReg::cmdPrint_Click() {
    const QPrinterInfo info = defaultPrinter ? defaultPrinter() : QPrinterInfo();
    if (info.isNull()) {
        PrintToPdfInstead();
        return;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName("Registers");
    if (!PrintWindowImage(printer))
        ctx_.messages.show("The window could not be printed on " +
                           info.printerName().toStdString() + ".");
}

void frmManualReg::PrintToPdfInstead() {
    if (!ctx_.messages.ask("There is no default printer on this system.\n"
                           "Save the image of the window as a PDF file instead?"))
        return;
    QString fileName = askPdfFileName ? askPdfFileName() : QString();
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        fileName += QLatin1String(".pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    printer.setDocName("Registers");
    if (!PrintWindowImage(printer))
        ctx_.messages.show("The PDF file " + fileName.toStdString() + " could not be written.");
}

}  // namespace quenlor
