#include "analysis/SampleStream.h"

#include <cstdio>

#include "core/NumberFormat.h"

namespace quenlor {

std::string StreamHeaderLine(const std::vector<std::string>& labels, bool timed) {
    std::string line = timed ? "TIME" : "";
    for (const std::string& label : labels)
        line += (line.empty() ? "" : ",") + label;
    return line;
}

std::string StreamTimeField(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", seconds);
    return text;
}

std::string StreamValueField(float value) {
    return FormatGeneral(value);
}

}  // namespace quenlor
