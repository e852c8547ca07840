#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "datalog/DatalogHost.h"
#include "platform/AppDirectory.h"

namespace quenlor {

// A datalog run's host without a window: the choices of the command line,
// Ctrl-C as Cancel, progress on standard error when it is a terminal, and the
// folder the files go to.
class CliDatalogHost : public DatalogHost, public AppDirectory {
  public:
    CliDatalogHost(const std::array<bool, 9>& ticked, bool noScale, std::string delayText,
                   std::filesystem::path folder);

    bool IsSelected(int index) override { return ticked_[static_cast<std::size_t>(index)]; }
    bool NoScale() override { return noScale_; }
    std::string SampleDelayText() override { return delayText_; }
    bool CancelRequested() override;
    void RunBegun(const std::string&) override {}
    void FileBegun(std::int64_t file, std::int64_t files, std::int64_t samples) override;
    void SampleTaken(std::int64_t sample) override;
    void RunEnded() override;
    void Yield() override {}

    // The files go where the command line says, whatever the program's mode.
    std::filesystem::path path() const override { return folder_; }
    std::filesystem::path settingsDirectory() const override { return folder_; }
    std::filesystem::path settingsSource(const std::string&) const override { return folder_; }
    std::filesystem::path dataDirectory() const override { return folder_; }

  private:
    void ShowProgress(std::int64_t sample);

    std::array<bool, 9> ticked_;
    bool noScale_;
    std::string delayText_;
    std::filesystem::path folder_;
    bool terminal_;
    bool shown_ = false;
    std::int64_t file_ = 0;
    std::int64_t files_ = 0;
    std::int64_t samples_ = 0;
    std::chrono::steady_clock::time_point lastShown_{};
};

}  // namespace quenlor
