#pragma once

#include <QObject>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"

class QMenu;

namespace quenlor {

class PlotPanel;

// Keeps what a strip chart shows: a context menu on each chart saves it as a
// PNG image, as it looks on screen, or the samples it shows as CSV, and fits
// its range to the traces on it. A file
// is written whole or not at all; a failure names the file in a message box.
// The file dialogs open in the folder of the last file saved from either chart.
class ChartExport : public QObject {
    Q_OBJECT
  public:
    ChartExport(MessageBoxes& messages, std::filesystem::path folder, QObject* parent = nullptr);
    ~ChartExport() override;

    // The system's dialogs unless a test hands in others.
    void useFileDialogs(FileDialogs& dialogs) { dialogs_ = &dialogs; }

    // Gives `chart` its context menu: "Save as PNG...", "Save sweep as CSV..."
    // and "Fit to data".
    void attach(PlotPanel& chart);
    // The menu attach() gave `chart`.
    static QMenu* menuOf(PlotPanel& chart);

    // Ask for a file name, then write. Cancelling writes nothing.
    void SavePngAsked(PlotPanel& chart);
    void SaveCsvAsked(PlotPanel& chart);
    // False after the message box has named `file`.
    bool SavePng(PlotPanel& chart, const std::filesystem::path& file);
    bool SaveCsv(PlotPanel& chart, const std::filesystem::path& file);

  private:
    std::filesystem::path Ask(const std::string& title, const std::string& filter,
                              const char* extension);
    bool Write(const std::filesystem::path& file, std::string_view bytes, const char* what);

    MessageBoxes& messages_;
    std::unique_ptr<FileDialogs> ownDialogs_;
    FileDialogs* dialogs_;
    std::filesystem::path folder_;
};

}  // namespace quenlor
