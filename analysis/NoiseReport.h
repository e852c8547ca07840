#pragma once

#include <string>
#include <vector>

#include "analysis/ChannelAnalysis.h"

namespace quenlor {

// A channel's summary under the name it is shown by (a register label, a
// column name) and the file it came from, if any.
struct NamedSummary {
    std::string source;
    std::string channel;
    ChannelSummary summary;
};

// The unit a register's values are shown in, and the factor from the unit
// the register table scales to (g is shown as micro-g).
struct DisplayUnit {
    std::string name;
    double factor = 1.0;
};
DisplayUnit DisplayUnitOf(const std::string& channel);

// One row per channel: samples, rate, mean, standard deviation, noise density
// with its band, white noise, bias instability at its tau, random walk and
// slope against temperature; a term not seen on the curve is "not observed".
// Rows from more than one file begin with the file's name.
std::string NoiseTable(const std::vector<NamedSummary>& rows);
// The same table as cells, the header row first, for a window to show.
std::vector<std::vector<std::string>> NoiseTableCells(const std::vector<NamedSummary>& rows);

// The curves: the Allan deviation (tau, deviation, bounds) of every channel,
// then a blank line and the spectrum (frequency, density).
std::string NoiseCurvesCsv(const std::vector<NamedSummary>& rows);

}  // namespace quenlor
