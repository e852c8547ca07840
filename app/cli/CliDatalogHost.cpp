#include "app/cli/CliDatalogHost.h"

#include <cstdio>
#include <iostream>

#include "app/cli/Interrupt.h"

#ifdef _WIN32
#include <io.h>
#define QUENLOR_ISATTY _isatty
#else
#include <unistd.h>
#define QUENLOR_ISATTY isatty
#endif

namespace quenlor {

namespace {

// Progress is redrawn at most this often, so a fast run does not pay for it.
constexpr auto kProgressEvery = std::chrono::milliseconds(200);

}  // namespace

CliDatalogHost::CliDatalogHost(const std::array<bool, 9>& ticked, bool noScale,
                               std::string delayText, std::filesystem::path folder)
    : ticked_(ticked),
      noScale_(noScale),
      delayText_(std::move(delayText)),
      folder_(std::move(folder)),
      terminal_(QUENLOR_ISATTY(fileno(stderr)) != 0) {}

bool CliDatalogHost::CancelRequested() {
    return Interrupt::Requested();
}

void CliDatalogHost::FileBegun(std::int64_t file, std::int64_t files, std::int64_t samples) {
    file_ = file;
    files_ = files;
    samples_ = samples;
    ShowProgress(0);
}

void CliDatalogHost::SampleTaken(std::int64_t sample) {
    if (!terminal_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastShown_ >= kProgressEvery || sample == samples_)
        ShowProgress(sample);
}

void CliDatalogHost::ShowProgress(std::int64_t sample) {
    if (!terminal_)
        return;
    lastShown_ = std::chrono::steady_clock::now();
    shown_ = true;
    std::cerr << "\rfile " << file_ << " of " << files_ << ", sample " << sample << " of "
              << samples_ << "   " << std::flush;
}

void CliDatalogHost::RunEnded() {
    if (shown_)
        std::cerr << "\n" << std::flush;
}

}  // namespace quenlor
