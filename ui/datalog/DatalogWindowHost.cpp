#include "ui/datalog/DatalogWindowHost.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace quenlor {

bool DatalogWindowHost::IsSelected(int index) {
    const auto at = static_cast<std::size_t>(index - 1);
    if (window_)
        selected_[at] = window_->CheckReg[at]->isChecked();
    return selected_[at];
}

bool DatalogWindowHost::NoScale() {
    if (window_)
        noScale_ = window_->ckNOScale->isChecked();
    return noScale_;
}

std::string DatalogWindowHost::SampleDelayText() {
    if (window_)
        delayText_ = window_->txtSampleDelay->text().toStdString();
    return delayText_;
}

bool DatalogWindowHost::CancelRequested() {
    return !window_ || window_->CancelRequested();
}

void DatalogWindowHost::RunBegun(const std::string& fileExtension) {
    if (!window_)
        return;
    window_->ChooseSeparator();
    window_->lblFext->setText(QString::fromStdString(fileExtension));
    window_->ShowRun(true);
}

void DatalogWindowHost::FileBegun(std::int64_t file, std::int64_t files, std::int64_t samples) {
    if (!window_)
        return;
    window_->txtFileNum->setText(QString::number(file));
    // Every change of a visible bar repaints it at once, so it is set up
    // while hidden where it can be, and moved only in the steps it shows.
    QProgressBar* bar = window_->prgDatalog;
    if (bar->isHidden())
        bar->reset();
    bar->setFormat(QStringLiteral("File %1 of %2: %p%").arg(file).arg(files));
    bar->setRange(0, static_cast<int>(samples));
    bar->setValue(0);
    bar->setVisible(true);
}

// Called only at the bar's steps: each move repaints it at once.
void DatalogWindowHost::SampleTaken(std::int64_t sample) {
    if (window_)
        window_->prgDatalog->setValue(static_cast<int>(sample));
}

void DatalogWindowHost::RunEnded() {
    if (window_)
        window_->ShowRun(false);
}

void DatalogWindowHost::Yield() {
    QCoreApplication::processEvents();
}

}  // namespace quenlor
