#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <QPointer>

#include "datalog/DatalogHost.h"
#include "ui/datalog/frmDatalog.h"

namespace quenlor {

// The datalog window as the run's host, on the window's thread: answers from
// its controls, shows the run's progress in it and yields to Qt's event
// queue. Should the window go during a yield, the run is cancelled and
// finishes its file from the last answers given.
class DatalogWindowHost : public DatalogHost {
  public:
    explicit DatalogWindowHost(frmDatalog& window) : window_(&window) {}

    bool WindowAlive() const { return !window_.isNull(); }

    bool IsSelected(int index) override;
    bool NoScale() override;
    std::string SampleDelayText() override;
    bool CancelRequested() override;
    void RunBegun(const std::string& fileExtension) override;
    void FileBegun(std::int64_t file, std::int64_t files, std::int64_t samples) override;
    void SampleTaken(std::int64_t sample) override;
    void RunEnded() override;
    void Yield() override;

  private:
    QPointer<frmDatalog> window_;
    std::array<bool, frmDatalog::kSelectionCount> selected_{};
    bool noScale_ = false;
    std::string delayText_;
};

}  // namespace quenlor
