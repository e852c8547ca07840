#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <string>

#include "ui/ChartExport.h"
#include "ui/InterfaceLink.h"
#include "ui/OutputPanel.h"
#include "ui/OutputValues.h"
#include "ui/PlotPanel.h"
#include "ui/StatusPanel.h"
#include "ui/WindowContexts.h"

class QCloseEvent;

namespace quenlor {

class frmUSBselect;
class frmManualReg;
class RepaintHold;

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

    void ReadLoop();
    void WaitForDataReady();
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
    QAction& MnuExit() { return *mnuExit_; }
    // The status bar's field naming what the program talks to.
    QLabel& lblInterface() { return *lblInterface_; }
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
    // Takes the interface's state; on a change names it in the status bar and
    // greys every value shown when reads are no longer measurements. True
    // while they are.
    bool checkLink();
    // Runs pending events; false when the program is ending meanwhile.
    bool yield();
    bool running() const;
    std::array<bool, 3> ticks(int first) const;
    // Step 1 of a pass: the ticked rows; false when the program is ending.
    bool readRows();
    // Puts the readings not shown yet into their boxes: when the window is
    // let repaint for good (the read loop holds that back).
    void showReadings();
    // The same for the next of kReadingGroups groups of rows: while the loop
    // runs, each repaint draws a few boxes only.
    void showReadingGroup();
    void showReading(std::size_t row, const std::string& sep);
    static void ShowValue(QLineEdit& box, const QString& text);

    MainWindowContext& ctx_;
    std::string osName_;
    OutputValueArray outputValues_{};
    // Rows read since their box was last set.
    std::array<bool, 9> unshown_{};
    static constexpr std::size_t kReadingGroups = 4;
    std::size_t readingGroup_ = 0;
    bool closing_ = false;
    bool ntClass_ = false;
    InterfaceLink link_;
    bool linkWorking_ = false;
    bool linkShown_ = false;

    OutputPanel* outputs_;
    StatusPanel* status_;
    PlotPanel* accel_;
    PlotPanel* incl_;
    ChartExport* chartExport_ = nullptr;
    QLabel* lblInterface_ = nullptr;
    RepaintHold* repaints_ = nullptr;
    QMenu* mnuInterface_ = nullptr;
    QAction* mnuUsb_ = nullptr;
    QAction* mnuParallel_ = nullptr;
    QAction* mnuDatalog_ = nullptr;
    QAction* mnuRegisters_ = nullptr;
    QAction* mnuZeroOffsets_ = nullptr;
    QAction* mnuExit_ = nullptr;
    QAction* mnuAbout_ = nullptr;
    QPointer<frmUSBselect> usbSelect_;
    QPointer<frmManualReg> manualReg_;
};

}  // namespace quenlor
