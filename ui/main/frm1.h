#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "acquisition/ReadLoop.h"
#include "acquisition/SampleQueue.h"
#include "acquisition/SampleTiming.h"
#include "ui/common/WindowContexts.h"
#include "ui/main/ChartExport.h"
#include "ui/main/InterfaceLink.h"
#include "ui/main/OutputPanel.h"
#include "ui/main/OutputValues.h"
#include "ui/main/PlotPanel.h"
#include "ui/main/StatusPanel.h"

class QCloseEvent;

namespace quenlor {

class frmUSBselect;
class frmManualReg;

// The main window: live readout of the output registers, the two plots and the
// status register. It is the only window that stays open; closing it ends the
// program.
class frm1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit frm1(MainWindowContext& ctx, QWidget* parent = nullptr);
    ~frm1() override;

    // The load sequence; the window is shown after it.
    void Form_Load();

    // Runs the read loop on the engine's worker and returns when it has ended
    // (at once when the program ends meanwhile). Called while a loop runs,
    // it waits for that one.
    void ReadLoop();
    void ReadStatus();
    void ClearStatus();
    void PlotDataPointsAy(const OutputValueArray& yvalue, float& hipk, float& lowpk);
    void PlotDataPointsIy(const OutputValueArray& yvalue, float& hipk, float& lowpk);

    void cmdReadData_Click();
    void mnuUsb_Click();
    void mnuParallel_Click();
    void mnuDatalog_Click();
    void mnuRegisters_Click();
    void mnuZeroOffsets_Click();
    void mnuNoiseAnalysis_Click();
    void MnuExit_Click();
    void mnuAbout_Click();

    const std::string& OsName() const { return osName_; }
    const OutputValueArray& OutputValues() const { return outputValues_; }
    // True once the program is ending; the read loop stops touching the window.
    bool closing() const { return closing_; }

    OutputPanel& outputs() { return *outputs_; }
    StatusPanel& status() { return *status_; }
    PlotPanel& accelPlot() { return *accel_; }
    PlotPanel& inclPlot() { return *incl_; }
    ChartExport& chartExport() { return *chartExport_; }
    QMenu& mnuInterface() { return *mnuInterface_; }
    QAction& mnuUsb() { return *mnuUsb_; }
    QAction& mnuParallel() { return *mnuParallel_; }
    QAction& mnuDatalog() { return *mnuDatalog_; }
    QAction& mnuRegisters() { return *mnuRegisters_; }
    QAction& mnuZeroOffsets() { return *mnuZeroOffsets_; }
    QAction& mnuNoiseAnalysis() { return *mnuNoiseAnalysis_; }
    QAction& MnuExit() { return *mnuExit_; }
    // The status bar's field naming what the program talks to.
    QLabel& lblInterface() { return *lblInterface_; }
    // The status bar's passes a second and gaps of the run in progress or the last.
    QLabel& lblRate() { return *lblRate_; }
    QAction& mnuAbout() { return *mnuAbout_; }

    static std::string ClassifyOs(int platformId, double version, int build);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    void buildLayout();
    void prepareInterface();
    // The chart scales and the window's place the user left.
    void RestoreChoices();
    void prepareParallelPort();
    void showInterfaceTicks();
    void showUsbSelect();
    // Takes the interface's state (with the bus, so a running loop stands
    // still meanwhile) and shows it.
    bool checkLink();
    // On a change names the interface in the status bar and greys every
    // value shown when reads are no longer measurements. True while they are.
    bool showLink(const InterfaceLink& now);
    // Runs pending events; false when the program is ending meanwhile.
    bool yield();
    bool running() const;
    std::array<bool, 3> ticks(int first) const;
    // The caption and the tick boxes, for the worker to read.
    void syncControls();
    // The worker's question after each read: is it a measurement? Keeps the
    // answer's whole state for the status bar.
    bool measuring();
    // The frame timer's work: everything the worker produced since the last
    // frame goes into the plots and the statistics, and the boxes and the
    // statistics show the latest pass.
    void showFrame();
    void takeSample(const Sample& sample);
    void showRate();
    static void ShowValue(QLineEdit& box, const QString& text);

    MainWindowContext& ctx_;
    std::string osName_;
    OutputValueArray outputValues_{};
    // Rows read since their box was last set, and whether that reading was
    // a measurement.
    std::array<bool, 9> unshown_{};
    std::array<bool, 9> measured_{};
    bool closing_ = false;
    bool ntClass_ = false;
    InterfaceLink link_;
    bool linkWorking_ = false;
    bool linkShown_ = false;
    // About the screen's pace.
    static constexpr int kFrameMs = 16;
    QTimer* frames_ = nullptr;
    LoopControls controls_;
    SampleQueue samples_;
    std::vector<Sample> taken_;
    SampleTiming timing_;
    int framesSinceRate_ = 0;
    std::unique_ptr<::quenlor::ReadLoop> loop_;
    // The interface's state as the worker last saw it.
    std::mutex linkMutex_;
    InterfaceLink workerLink_;
    bool workerLinkSeen_ = false;

    OutputPanel* outputs_;
    StatusPanel* status_;
    PlotPanel* accel_;
    PlotPanel* incl_;
    ChartExport* chartExport_ = nullptr;
    QLabel* lblInterface_ = nullptr;
    QLabel* lblRate_ = nullptr;
    QMenu* mnuInterface_ = nullptr;
    QAction* mnuUsb_ = nullptr;
    QAction* mnuParallel_ = nullptr;
    QAction* mnuDatalog_ = nullptr;
    QAction* mnuRegisters_ = nullptr;
    QAction* mnuZeroOffsets_ = nullptr;
    QAction* mnuNoiseAnalysis_ = nullptr;
    QAction* mnuExit_ = nullptr;
    QAction* mnuAbout_ = nullptr;
    QPointer<frmUSBselect> usbSelect_;
    QPointer<frmManualReg> manualReg_;
};

}  // namespace quenlor
