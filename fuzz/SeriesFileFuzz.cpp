// The readers of the noise analysis' files. Any bytes are read without a
// fault, and a refusal names a line the file has. And the model: a file
// written as the program writes one (a datalog file with or without its
// header, comma or tab, scaled or register values; stream output with or
// without its names and time column) reads back to the samples written.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ModelCheck.h"
#include "ModelTable.h"
#include "analysis/SeriesFile.h"
#include "core/NumberFormat.h"
#include "datalog/DatalogHeader.h"

namespace {

using namespace quenlor;

float Scaled(std::int16_t raw, const RegisterEntry& e) {
    return static_cast<float>(static_cast<double>(static_cast<float>(raw)) *
                                  static_cast<double>(e.RegScale) +
                              static_cast<double>(e.RegOffset));
}

struct Written {
    std::string text;
    std::vector<std::string> labels;
    std::vector<std::vector<std::int16_t>> raw;  // [channel][row]
    bool registerValues = false;
    bool header = false;
};

Written Write(const std::uint8_t* data, std::size_t size) {
    Written w;
    const std::uint8_t format = data[0];
    const bool datalog = (format & 1) != 0;
    w.header = (format & 2) != 0;
    const bool tab = datalog && (format & 4) != 0;
    w.registerValues = (format & 8) != 0;
    const bool time = !datalog && w.header && (format & 16) != 0;
    std::vector<std::int16_t> indexes;
    for (std::int16_t i = SUPPLY_OUT; i <= ZINCL_OUT; ++i) {
        if ((data[1] >> (i - 1)) & 1)
            indexes.push_back(i);
    }
    if (indexes.empty())
        indexes.push_back(XACCL_OUT);
    for (std::int16_t i : indexes)
        w.labels.push_back(Table()[i].Label);
    const std::size_t rows = std::max<std::size_t>(1, (size - 2) / (2 * indexes.size()));
    w.raw.assign(indexes.size(), std::vector<std::int16_t>(rows, 0));
    for (std::size_t k = 0; 2 + 2 * k + 1 < size; ++k) {
        const auto v = static_cast<std::int16_t>(data[2 + 2 * k] | (data[3 + 2 * k] << 8));
        w.raw[k % indexes.size()][(k / indexes.size()) % rows] = v;
    }
    const std::string sep = tab ? "\t" : ",";
    const std::string decimal = tab ? "," : ".";
    const std::string end = datalog ? "\r\n" : "\n";
    if (datalog && w.header) {
        DatalogHeader h;
        h.fileName = "DATALOG_1.csv";
        h.beginSeconds = 100.0f;
        h.endSeconds = 101.0f;
        h.columns = w.labels;
        h.separator = sep;
        h.decimalSeparator = decimal;
        w.text = h.Text();
    } else if (w.header) {
        w.text = time ? "time," : "";
        for (std::size_t c = 0; c < w.labels.size(); ++c)
            w.text += (c == 0 ? "" : ",") + w.labels[c];
        w.text += end;
    }
    for (std::size_t r = 0; r < rows; ++r) {
        std::string line = datalog ? std::to_string(r + 1) + sep : "";
        if (time)
            line += FormatGeneralDouble(static_cast<double>(r) * 0.0025) + ",";
        for (std::size_t c = 0; c < indexes.size(); ++c) {
            const std::int16_t v = w.raw[c][r];
            line += w.registerValues ? std::to_string(v)
                                     : FormatGeneral(Scaled(v, Table()[indexes[c]]), decimal);
            line += datalog || c + 1 < indexes.size() ? sep : "";
        }
        w.text += line + end;
    }
    return w;
}

std::int16_t IndexOf(const std::string& label) {
    std::int16_t index = 0;
    for (std::int16_t i = SUPPLY_OUT; i <= ZINCL_OUT; ++i)
        index = Table()[i].Label == label ? i : index;
    return index;
}

// Scaled values that are all whole numbers read as register values: the one
// case where the reader cannot tell, and its documented choice.
bool AllScaledWhole(const Written& w) {
    for (std::size_t c = 0; c < w.labels.size(); ++c) {
        for (std::int16_t v : w.raw[c]) {
            // Judged on the text as written: seven significant digits can
            // write 0.99999994 as "1".
            const std::string text = FormatGeneral(Scaled(v, Table()[IndexOf(w.labels[c])]), ".");
            const double x = std::strtod(text.c_str(), nullptr);
            if (x != std::floor(x) || std::fabs(x) > 65535.0)
                return false;
        }
    }
    return true;
}

void CheckModel(const std::uint8_t* data, std::size_t size) {
    const Written w = Write(data, size);
    SeriesReadError error;
    const auto file =
        ReadSeriesFile(w.text, Table(), w.header ? std::vector<std::string>{} : w.labels, error);
    Check(file.has_value(), "a written file reads", error.message + "\n" + w.text);
    Check(file->channels == w.labels, "channels", w.text);
    Check(file->Rows() == static_cast<std::int64_t>(w.raw[0].size()), "rows", w.text);
    const bool wholeScaled = !w.registerValues && AllScaledWhole(w);
    Check(file->raw == (w.registerValues || wholeScaled), "register values are told", w.text);
    for (std::size_t c = 0; c < w.labels.size(); ++c) {
        const RegisterEntry& entry = Table()[IndexOf(w.labels[c])];
        for (std::size_t r = 0; r < w.raw[c].size(); ++r) {
            double want = Scaled(w.raw[c][r], entry);
            if (wholeScaled)
                want = Scaled(static_cast<std::int16_t>(std::strtod(
                                  FormatGeneral(static_cast<float>(want), ".").c_str(), nullptr)),
                              entry);
            const double got = file->columns[c][r];
            // Register values scale exactly; scaled ones keep seven digits.
            const double slack = file->raw ? 0.0 : 1e-6 * std::fabs(want);
            Check(std::fabs(got - want) <= slack, "value",
                  std::to_string(got) + " for " + std::to_string(want));
        }
    }
}

void CheckAnyBytes(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    SeriesReadError error;
    const auto file = ReadSeriesFile(text, Table(), {"XACCL_OUT", "TEMP_OUT"}, error);
    if (file) {
        for (const auto& column : file->columns)
            Check(static_cast<std::int64_t>(column.size()) == file->Rows(), "even columns", text);
        return;
    }
    const auto lines = std::count(text.begin(), text.end(), '\n') + 1;
    Check(error.line >= 0 && error.line <= lines && !error.message.empty(), "error line", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckAnyBytes(data, size);
    if (size >= 4)
        CheckModel(data, size);
    return 0;
}
