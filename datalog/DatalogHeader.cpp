#include "datalog/DatalogHeader.h"

#include "core/NumberFormat.h"

namespace quenlor {

std::string DatalogHeader::Text() const {
    const std::string crlf = "\r\n";
    std::string out;
    out += "File Name" + separator + fileName + crlf;
    out += "Date" + separator + date + crlf;
    out += "Time" + separator + time + crlf;
    out += "Begin Seconds" + separator + FormatGeneral(beginSeconds, decimalSeparator) + crlf;
    out += "End Seconds" + separator + FormatGeneral(endSeconds, decimalSeparator) + crlf;
    const float elapsed = endSeconds - beginSeconds;
    out += "Elapsed Seconds" + separator + FormatGeneral(elapsed, decimalSeparator) + crlf;
    out += " " + crlf;
    out += "Sample #" + separator;
    for (const auto& column : columns)
        out += column + separator;
    out += crlf;
    return out;
}

}  // namespace quenlor
