#pragma once

#include <QDialog>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "acquisition/ReadLoop.h"
#include "acquisition/SampleQueue.h"
#include "analysis/NoiseRun.h"
#include "platform/AppDirectory.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "regmap/RegisterTable.h"
#include "spi/RegisterAccess.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

namespace quenlor {

class NoiseChart;

// What the Noise Analysis window uses.
struct NoiseAnalysisContext {
    RegisterAccess& registers;
    const RegisterTable& registerTable;
    Clock& clock;
    AcquisitionEngine& engine;
    MessageBoxes& messages;
    // Where the file dialogs first open.
    std::filesystem::path folder;
    // Asked after each read on the worker: is it a measurement?
    std::function<bool()> measuring;
};

// "Noise Analysis": reads the chosen outputs at every data-ready for a chosen
// time, and shows while it runs the Allan deviation with its bounds and the
// noise density of each, with the fitted lines and the noise table. Stop
// keeps what was read; the samples, the curves and the charts can be saved.
class NoiseAnalysisWindow : public QDialog {
    Q_OBJECT
  public:
    explicit NoiseAnalysisWindow(NoiseAnalysisContext ctx, QWidget* parent = nullptr);
    ~NoiseAnalysisWindow() override;

    // The system's dialogs unless a test hands in others.
    void useFileDialogs(FileDialogs& dialogs) { dialogs_ = &dialogs; }

    bool running() const { return running_; }
    // The run's samples so far (a test's and the bench's view).
    const NoiseRun* run() const { return run_.get(); }
    // Takes what the reader handed over and, every few seconds, draws anew.
    void tick();
    // Analyses what the run holds and shows it: charts, table, counts.
    void refresh();
    // Takes over a run made elsewhere (a bench's hour of samples), its
    // channels the output rows given, and shows it.
    void showRun(std::unique_ptr<NoiseRun> run, std::vector<std::size_t> rows);
    NoiseRun* run() { return run_.get(); }
    NoiseChart& allanChart() { return *allan_; }
    NoiseChart& densityChart() { return *density_; }

  private:
    void buildLayout();
    QWidget* buildControls();
    void start();
    void stop();
    void finish();
    void takeSamples();
    void showProgress();
    void showTable(const std::vector<NamedSummary>& rows);
    void showCharts(const std::vector<NamedSummary>& rows);
    std::optional<std::filesystem::path> ask(const char* title, const char* filter,
                                             const char* extension);
    void saveSamples();
    void saveCurves();
    void savePicture();
    bool write(const std::filesystem::path& file, std::string_view bytes, const char* what);
    // Ends a run that is still reading and waits for its worker.
    void endRun();
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

    NoiseAnalysisContext ctx_;
    std::unique_ptr<FileDialogs> ownDialogs_;
    FileDialogs* dialogs_;
    LoopControls controls_;
    SampleQueue samples_;
    std::vector<Sample> taken_;
    std::unique_ptr<ReadLoop> loop_;
    std::unique_ptr<NoiseRun> run_;
    std::vector<NamedSummary> shown_;
    std::vector<std::size_t> rows_;  // the output rows read, in the run's order
    bool running_ = false;
    std::int64_t startNs_ = 0;
    std::int64_t firstReadyNs_ = -1;
    std::int64_t unmeasured_ = 0;
    double plannedSeconds_ = 0.0;
    std::int64_t lastRefreshNs_ = 0;

    std::array<QCheckBox*, 9> outputs_{};
    QSpinBox* duration_ = nullptr;
    QComboBox* unit_ = nullptr;
    QPushButton* start_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* timeLeft_ = nullptr;
    QLabel* counts_ = nullptr;
    NoiseChart* allan_ = nullptr;
    NoiseChart* density_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* saveSamples_ = nullptr;
    QPushButton* saveCurves_ = nullptr;
    QPushButton* savePicture_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace quenlor
