#pragma once

#include <filesystem>
#include <string>

#include "core/Settings.h"

namespace quenlor {

// The About box's text: program, version, the interface in use, where the
// settings and the datalogs go, and the licence.
std::string AboutText(const Settings& settings, bool simulated,
                      const std::filesystem::path& settingsFolder,
                      const std::filesystem::path& datalogFolder);

}  // namespace quenlor
