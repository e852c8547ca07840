#include "ui/main/ZeroOffsetsDialog.h"
#include "core/NumberFormat.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quenlor {

namespace {

const char* const kUp[] = {"+z", "-z", "+x", "-x", "+y", "-y"};

QString Mg(double g) {
    return QString::number(g * 1000.0, 'f', 4);
}

QString Hex4(std::uint16_t value) {
    return QString::fromStdString(FormatHex4(value));
}

QTableWidget* OffsetTable(QWidget* parent) {
    auto* table = new QTableWidget(3, 6, parent);
    table->setObjectName(QStringLiteral("tblOffsets"));
    table->setHorizontalHeaderLabels({QStringLiteral("Before (mg)"), QStringLiteral("After (mg)"),
                                      QStringLiteral("Std error (mg)"),
                                      QStringLiteral("Tolerance (mg)"),
                                      QStringLiteral("Null before"), QStringLiteral("Null after")});
    table->setVerticalHeaderLabels({QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setMinimumWidth(560);
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() +
                          3 * table->verticalHeader()->defaultSectionSize() + 4);
    return table;
}

QPushButton* Button(const char* text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(QString::fromLatin1(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

}  // namespace

ZeroOffsetsDialog::ZeroOffsetsDialog(RegisterAccess& registers, const RegisterTable& table,
                                     Clock& clock, QWidget* parent)
    : QDialog(parent), procedure_(registers, table, clock) {
    setWindowTitle(QStringLiteral("Zero Offsets"));
    orientation_ = new QComboBox(this);
    orientation_->setObjectName(QStringLiteral("cboOrientation"));
    for (const char* up : kUp)
        orientation_->addItem(QString::fromLatin1(up).toUpper() + QStringLiteral(" up"),
                              QString::fromLatin1(up));
    seconds_ = new QDoubleSpinBox(this);
    seconds_->setObjectName(QStringLiteral("spnSeconds"));
    seconds_->setRange(0.5, 3600.0);
    seconds_->setValue(NullSettings{}.seconds);
    seconds_->setSuffix(QStringLiteral(" s"));
    motionLimit_ = new QDoubleSpinBox(this);
    motionLimit_->setObjectName(QStringLiteral("spnMotionLimit"));
    motionLimit_->setRange(0.01, 1000.0);
    motionLimit_->setValue(NullSettings{}.motionLimit * 1000.0);
    motionLimit_->setSuffix(QStringLiteral(" mg"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Orientation"), orientation_);
    form->addRow(QStringLiteral("Measure for"), seconds_);
    form->addRow(QStringLiteral("Moving above"), motionLimit_);

    start_ = Button("Start", "cmdStart", this);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("prgZero"));
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    table_ = OffsetTable(this);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("lblMessage"));
    message_->setWordWrap(true);
    message_->setText(QStringLiteral("Place the sensor at rest with the chosen axis up."));

    flash_ = Button("Store in flash", "cmdFlash", this);
    undo_ = Button("Undo", "cmdUndo", this);
    flash_->setEnabled(false);
    undo_->setEnabled(false);
    auto* close = Button("Close", "cmdClose", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addStretch();
    buttons->addWidget(flash_);
    buttons->addWidget(undo_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(progress_);
    layout->addWidget(table_);
    layout->addWidget(message_);
    layout->addLayout(buttons);

    connect(start_, &QPushButton::clicked, this, &ZeroOffsetsDialog::start);
    connect(flash_, &QPushButton::clicked, this, &ZeroOffsetsDialog::storeInFlash);
    connect(undo_, &QPushButton::clicked, this, &ZeroOffsetsDialog::undo);
    connect(close, &QPushButton::clicked, this, &ZeroOffsetsDialog::reject);
}

void ZeroOffsetsDialog::start() {
    if (running_) {
        stopAsked_ = true;
        return;
    }
    NullSettings settings;
    settings.reference = *ReferenceFor(orientation_->currentData().toString().toStdString());
    settings.seconds = seconds_->value();
    settings.motionLimit = motionLimit_->value() / 1000.0;
    running_ = true;
    stopAsked_ = false;
    start_->setText(QStringLiteral("Stop"));
    flash_->setEnabled(false);
    undo_->setEnabled(false);
    message_->setText(QStringLiteral("Measuring..."));
    procedure_.TakeUndo();
    const NullResult r = procedure_.Run(settings, [this](double fraction) {
        progress_->setValue(static_cast<int>(fraction * 1000.0));
        QCoreApplication::processEvents();
        return !stopAsked_;
    });
    running_ = false;
    start_->setText(QStringLiteral("Start"));
    progress_->setValue(r.outcome == NullOutcome::Stopped ? 0 : 1000);
    showResult(r);
}

void ZeroOffsetsDialog::showResult(const NullResult& r) {
    const bool written = r.after.samples > 0;
    for (int row = 0; row < 3; ++row) {
        const auto axis = static_cast<std::size_t>(row);
        const bool measured = r.before.samples > 0 && r.outcome != NullOutcome::Moving;
        const QString cells[] = {
            measured ? Mg(r.offsetBefore[axis]) : QString(),
            written && !r.restored ? Mg(r.offsetAfter[axis]) : QString(),
            written && !r.restored ? Mg(r.after.axes[axis].error) : QString(),
            written && !r.restored ? Mg(r.tolerance[axis]) : QString(),
            Hex4(r.oldNulls[axis]),
            Hex4(written && !r.restored ? r.newNulls[axis] : r.oldNulls[axis])};
        for (int column = 0; column < 6; ++column)
            table_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    message_->setText(QString::fromStdString(r.message));
    const bool kept = written && !r.restored;
    flash_->setEnabled(r.outcome == NullOutcome::Zeroed);
    undo_->setEnabled(kept);
}

void ZeroOffsetsDialog::storeInFlash() {
    procedure_.StoreInFlash();
    flash_->setEnabled(false);
    message_->setText(message_->text() + QStringLiteral(" Stored in flash."));
}

void ZeroOffsetsDialog::undo() {
    const bool all = procedure_.Undo().empty();
    undo_->setEnabled(false);
    flash_->setEnabled(false);
    for (int row = 0; row < 3; ++row) {
        if (QTableWidgetItem* before = table_->item(row, 4))
            table_->setItem(row, 5, new QTableWidgetItem(before->text()));
    }
    message_->setText(all ? QStringLiteral("The registers are as they were before.")
                          : QStringLiteral("Some registers could not be written back."));
}

void ZeroOffsetsDialog::closeEvent(QCloseEvent* event) {
    // A measurement in progress is stopped first; its run gives the old nulls back.
    if (running_) {
        stopAsked_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ZeroOffsetsDialog::reject() {
    if (running_) {
        stopAsked_ = true;
        return;
    }
    QDialog::reject();
}

}  // namespace quenlor
