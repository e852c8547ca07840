#pragma once

#include <string>

#include "core/Settings.h"

namespace quenlor {

// The About box's text: program, version, the interface in use and the licence.
std::string AboutText(const Settings& settings, bool simulated);

}  // namespace quenlor
