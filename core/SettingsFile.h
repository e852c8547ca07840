#pragma once

#include <filesystem>

#include "core/Settings.h"

namespace quenlor {

inline constexpr const char* kSettingsFileName = "CommPort.cfg";

// Reads CommPort.cfg from `directory` into `settings`. A missing or unreadable
// file, and lines that do not parse, change nothing and report nothing.
void LoadSettings(Settings& settings, const std::filesystem::path& directory);

// Writes CommPort.cfg into `directory` (through a temporary file renamed over
// the old one, so a failure never leaves a truncated file). Silent on failure.
void SaveSettings(const Settings& settings, const std::filesystem::path& directory);

}  // namespace quenlor
