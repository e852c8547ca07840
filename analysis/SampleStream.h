#pragma once

#include <string>
#include <vector>

namespace quenlor {

// The lines `quenlor-cli stream` writes, which `analyze` reads back: a header
// of register labels (TIME first when the samples are timed), then one line a
// sample of comma-separated fields.
std::string StreamHeaderLine(const std::vector<std::string>& labels, bool timed);
// Seconds since the first sample, to the microsecond.
std::string StreamTimeField(double seconds);
// A scaled value, as the register read gave it.
std::string StreamValueField(float value);

}  // namespace quenlor
