#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "regmap/RegisterTable.h"

namespace quenlor {

// The samples of one file the program wrote (a datalog file, with or without
// its header block, comma- or tab-separated; `quenlor-cli stream` output, with
// or without its time column) or of a plain CSV file with a header line.
struct SeriesFile {
    std::vector<std::string> channels;         // register labels or column names
    std::vector<std::vector<double>> columns;  // one per channel, scaled
    std::vector<double> times;                 // seconds, when the file has a time column
    bool raw = false;                          // the file held register values
    bool datalog = false;
    std::optional<double> beginSeconds;  // a datalog header's Begin and End Seconds
    std::optional<double> endSeconds;

    std::int64_t Rows() const {
        return columns.empty() ? 0 : static_cast<std::int64_t>(columns.front().size());
    }
};

struct SeriesReadError {
    std::int64_t line = 0;  // 1-based; 0 for the file as a whole
    std::string message;
};

// Reads `text`. A file without a header line names its columns by `registers`
// (output register labels in table order) or "column 1", "column 2", ...
// Register values (every value of every register column a whole number) are
// scaled with `table`. Nullopt and `error` for a malformed file.
std::optional<SeriesFile> ReadSeriesFile(std::string_view text, const RegisterTable& table,
                                         const std::vector<std::string>& registers,
                                         SeriesReadError& error);

}  // namespace quenlor
