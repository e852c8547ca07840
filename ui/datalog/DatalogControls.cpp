#include "ui/datalog/DatalogControls.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <type_traits>

#include "regmap/RegisterTable.h"
#include "ui/common/TextBox.h"

namespace quenlor {

namespace {

const QString kProgressCaption = QStringLiteral("D A T A L O G    I N    P R O G R E S S");

// A child control with its object name and, for captioned kinds, its caption.
template <class T>
T* MakeChild(QWidget* parent, const char* name, const QString& caption = {}) {
    T* child = nullptr;
    if constexpr (std::is_constructible_v<T, QString, QWidget*>) {
        child = new T(caption, parent);
    } else {
        child = new T(parent);
    }
    child->setObjectName(QString::fromLatin1(name));
    return child;
}
template <class T>
T* MakeChild(QWidget* parent, const char* name, const char* caption) {
    return MakeChild<T>(parent, name, QString::fromLatin1(caption));
}

}  // namespace

void DatalogControls::BuildControls(QDialog& window, const QString& startCaption) {
    txtSamplesPerFile = MakeChild<QLineEdit>(&window, "txtSamplesPerFile");
    txtSampleDelay = MakeChild<QLineEdit>(&window, "txtSampleDelay");
    txtFilesPerSession = MakeChild<QLineEdit>(&window, "txtFilesPerSession");
    txtDirectory = MakeChild<QLineEdit>(&window, "txtDirectory");
    txtFileName = MakeChild<QLineEdit>(&window, "txtFileName");
    txtFileNum = MakeChild<QLineEdit>(&window, "txtFileNum");
    for (QLineEdit* box : {txtSamplesPerFile, txtSampleDelay, txtFilesPerSession, txtDirectory,
                           txtFileName, txtFileNum})
        KeepTextInBox(*box);
    txtFileNum->setText(QStringLiteral("1"));
    lblFext = MakeChild<QLabel>(&window, "lblFext");
    cmdStartDatalog = MakeChild<QPushButton>(&window, "cmdStartDatalog", startCaption);
    cmdStartDatalog->setAutoDefault(false);

    auto* left = new QVBoxLayout;
    left->addWidget(BuildFileSetup(window));
    left->addWidget(BuildFileInformation(window));
    left->addWidget(BuildDataFormat(window));
    left->addLayout(BuildProgressRow(window));
    left->addWidget(cmdStartDatalog);
    auto* columns = new QHBoxLayout(&window);
    columns->addLayout(left, 3);
    columns->addWidget(BuildDataSelection(window), 1);
}

QGroupBox* DatalogControls::BuildFileSetup(QDialog& window) {
    auto* frame = MakeChild<QGroupBox>(&window, "frameFileSetup", "FILE SETUP");
    auto* grid = new QGridLayout(frame);
    grid->addWidget(MakeChild<QLabel>(&window, "lblSamplesPerFile", "Samples per File"), 0, 0);
    grid->addWidget(txtSamplesPerFile, 0, 1);
    grid->addWidget(MakeChild<QLabel>(&window, "lblSampleDelay", "Sample Delay msec"), 1, 0);
    grid->addWidget(txtSampleDelay, 1, 1);
    grid->addWidget(MakeChild<QLabel>(&window, "lblFilesPerSession", "Files per Session"), 2, 0);
    grid->addWidget(txtFilesPerSession, 2, 1);
    return frame;
}

QGroupBox* DatalogControls::BuildFileInformation(QDialog& window) {
    auto* frame = MakeChild<QGroupBox>(&window, "frameFileInformation", "FILE INFORMATION");
    auto* grid = new QGridLayout(frame);
    grid->addWidget(MakeChild<QLabel>(&window, "lblDirectory", "Directory"), 0, 0);
    grid->addWidget(txtDirectory, 0, 1, 1, 2);
    grid->addWidget(MakeChild<QLabel>(&window, "lblFileName", "File Name"), 1, 0);
    grid->addWidget(txtFileName, 1, 1, 1, 2);
    grid->addWidget(MakeChild<QLabel>(&window, "lblFileNum", "File Number"), 2, 0);
    grid->addWidget(txtFileNum, 2, 1);
    grid->addWidget(lblFext, 2, 2);
    txtFileNum->setMaximumWidth(110);
    return frame;
}

QGroupBox* DatalogControls::BuildDataFormat(QDialog& window) {
    auto* frame = MakeChild<QGroupBox>(&window, "frameDataFormat", "DATA FORMAT");
    auto* column = new QVBoxLayout(frame);
    ckNOScale = MakeChild<QCheckBox>(frame, "ckNOScale", "LSB Data Only...   No scaling");
    ckNOHeader = MakeChild<QCheckBox>(frame, "ckNOHeader", "Numeric Data Only...  No file header");
    ckPaced = MakeChild<QCheckBox>(frame, "ckPaced", "One row per sensor sample");
    ckPaced->setToolTip(QStringLiteral(
        "Each sample waits for the sensor's next reading, so that no row repeats one"));
    column->addWidget(ckNOScale);
    column->addWidget(ckNOHeader);
    column->addWidget(ckPaced);
    return frame;
}

QGroupBox* DatalogControls::BuildDataSelection(QDialog& window) {
    auto* frame = MakeChild<QGroupBox>(&window, "frameDataSelection", "DATA SELECTION");
    auto* column = new QVBoxLayout(frame);
    for (int i = 0; i < kSelectionCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        auto* box = MakeChild<QCheckBox>(frame, "", kDatalogColumnNames[at]);
        box->setObjectName(QStringLiteral("CheckReg_%1").arg(i + 1));
        box->setChecked(i + 1 == XACCL_OUT);
        column->addWidget(box);
        CheckReg[at] = box;
    }
    column->addStretch(1);
    return frame;
}

QBoxLayout* DatalogControls::BuildProgressRow(QDialog& window) {
    LBLDatalogInProgress = MakeChild<QLabel>(&window, "LBLDatalogInProgress", kProgressCaption);
    LBLDatalogInProgress->setAlignment(Qt::AlignCenter);
    prgDatalog = MakeChild<QProgressBar>(&window, "prgDatalog");
    prgDatalog->setRange(0, 1);
    prgDatalog->setValue(0);
    // Room for its text in runs of up to a few hundred files.
    prgDatalog->setMinimumWidth(
        prgDatalog->fontMetrics().horizontalAdvance(QStringLiteral("File 888 of 888: 100%")) + 24);
    auto* row = new QHBoxLayout;
    row->addWidget(LBLDatalogInProgress, 1);
    row->addWidget(prgDatalog, 1);
    return row;
}

}  // namespace quenlor
