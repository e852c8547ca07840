#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QDialog>
#include <QString>

#include "ui/common/WindowContexts.h"
#include "ui/datalog/DatalogControls.h"

class QAbstractButton;

namespace quenlor {

// "Datalog Control": sets up a datalog run and runs it on the acquisition
// worker; the Start click returns when it is over. Modal; the opener creates
// a new window for every opening.
class frmDatalog : public QDialog, private DatalogControls {
    Q_OBJECT

  public:
    static constexpr int kSelectionCount = DatalogControls::kSelectionCount;

    frmDatalog(DatalogContext& ctx, QAbstractButton& readButton, QWidget* parent = nullptr);
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
    // Escape closes the window when idle and does nothing during a run.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    friend class DatalogWindowHost;

    void ConnectControls();
    void Form_Load();
    void Form_Activate();
    // The fields and boxes as the user last left them, and the window's place.
    void RestoreChoices();
    void KeepChoices();
    std::vector<QCheckBox*> ChoiceBoxes() const;
    void ApplySelectionVisibility();
    void ChooseSeparator();
    void SetInputsEnabled(bool enabled);
    // The run's visible state: progress shown and inputs disabled, or idle again.
    void ShowRun(bool running);
    bool CancelRequested() const;
    int TickedCount() const;
    bool IsNumeric(const QString& text) const;
    double Value(const QString& text) const;

    void txtSamplesPerFile_Change();
    void txtSampleDelay_Change();
    void txtFilesPerSession_Change();
    void txtFileName_Change();
    void txtDirectory_Change();
    void cmdStartDatalog_Click();

    DatalogContext& ctx_;
    QAbstractButton& readButton_;

    QString baseName_;
    double samplesPerFileValue_ = 0.0;
    QString fieldSeparator_ = QStringLiteral(",");
    QString fileExtension_ = QStringLiteral(".csv");
    QString appDirectoryText_;

    bool running_ = false;
    bool activating_ = false;
    std::optional<int> pendingDone_;
};

}  // namespace quenlor
