#pragma once

#include <array>
#include <optional>

#include <QDialog>
#include <QString>

#include "core/SampleBuffer.h"
#include "ui/AppContext.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace quenlor {

// "Datalog Control": sets up a datalog run and runs it inside the Start click.
// Modal; the opener creates a new window for every opening.
class frmDatalog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kSelectionCount = 8;

    frmDatalog(AppContext& ctx, QAbstractButton& readButton, QWidget* parent = nullptr);
    ~frmDatalog() override;

    // Window state beyond the controls.
    const QString& BaseName() const { return baseName_; }
    double SamplesPerFileValue() const { return samplesPerFileValue_; }
    const QString& FieldSeparator() const { return fieldSeparator_; }
    const QString& FileExtension() const { return fileExtension_; }
    bool IsRunning() const { return running_; }

    // One datalog run; returns when it is over. Called by the Start click.
    void RunDatalog();

    // Closing while a run goes on cancels it; the window closes when the
    // current file is finished.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void BuildControls();
    void Form_Load();
    void Form_Activate();
    void ApplySelectionVisibility();
    void ChooseSeparator();
    void SetInputsEnabled(bool enabled);
    int TickedCount() const;
    bool ReserveLines();
    bool IsNumeric(const QString& text) const;

    void txtSamplesPerFile_Change();
    void txtSampleDelay_Change();
    void txtFilesPerSession_Change();
    void txtFileName_Change();
    void txtDirectory_Change();
    void cmdStartDatalog_Click();

    AppContext& ctx_;
    QAbstractButton& readButton_;

    QLineEdit* txtSamplesPerFile = nullptr;
    QLineEdit* txtSampleDelay = nullptr;
    QLineEdit* txtFilesPerSession = nullptr;
    QLineEdit* txtDirectory = nullptr;
    QLineEdit* txtFileName = nullptr;
    QLineEdit* txtFileNum = nullptr;
    QLabel* lblFext = nullptr;
    QCheckBox* ckNOScale = nullptr;
    QCheckBox* ckNOHeader = nullptr;
    std::array<QCheckBox*, kSelectionCount> CheckReg{};
    QPushButton* cmdStartDatalog = nullptr;
    QLabel* LBLDatalogInProgress = nullptr;
    QProgressBar* prgDatalog = nullptr;

    QString baseName_;
    double samplesPerFileValue_ = 0.0;
    QString fieldSeparator_ = QStringLiteral(",");
    QString fileExtension_ = QStringLiteral(".csv");
    QString appDirectoryText_;

    // The current run's sample lines; reserved before the run shows itself.
    SampleBuffer lines_;
    bool running_ = false;
    bool activating_ = false;
    std::optional<int> pendingDone_;
};

}  // namespace quenlor
