#pragma once

#include <string>
#include <vector>

namespace quenlor {

// The eight header lines of a datalog file. Texts are bytes as they go into
// the file; numbers take `decimalSeparator`.
struct DatalogHeader {
    std::string fileName;
    std::string date;
    std::string time;
    float beginSeconds = 0.0f;
    float endSeconds = 0.0f;
    std::vector<std::string> columns;
    std::string separator = ",";
    std::string decimalSeparator = ".";

    // Every line ends with CR LF; the column line ends with a separator too.
    std::string Text() const;
};

}  // namespace quenlor
