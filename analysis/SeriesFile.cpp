#include "analysis/SeriesFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quenlor {

namespace {

struct Line {
    std::int64_t number = 0;
    std::vector<std::string_view> fields;
};

std::vector<std::string_view> Split(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t at = line.find(separator);
        fields.push_back(line.substr(0, at));
        if (at == std::string_view::npos)
            return fields;
        line = line.substr(at + 1);
    }
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '"'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '"' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// A number with "." or, in a tab-separated file, "," before its decimals.
std::optional<double> Number(std::string_view field, bool commaDecimal) {
    std::string text(Trim(field));
    if (commaDecimal)
        std::replace(text.begin(), text.end(), ',', '.');
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    if (text.empty() || r.ec != std::errc() || r.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string LowerCase(std::string_view s) {
    std::string out(Trim(s));
    for (char& c : out)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return out;
}

bool IsTimeName(std::string_view name) {
    const std::string n = LowerCase(name);
    return n == "time" || n == "t" || n == "seconds" || n == "time (s)" || n == "time_s" ||
           n == "time [s]";
}

struct Reader {
    explicit Reader(const RegisterTable& t) : table(t) {}

    const RegisterTable& table;
    std::vector<Line> lines;
    char separator = ',';
    bool commaDecimal = false;
    SeriesFile file;
    std::size_t next = 0;   // the first data line
    std::size_t width = 0;  // fields on every line
    int timeColumn = -1;
    std::vector<int> valueColumns;
    SeriesReadError error;

    bool Fail(std::int64_t line, std::string message) {
        error = {line, std::move(message)};
        return false;
    }

    bool DatalogHeader();
    bool ColumnHeader(const std::vector<std::string>& registers);
    bool Data();
    void Scale();
};

// The header block: File Name, Date, Time, Begin, End and Elapsed Seconds, a
// blank line and the column line, "Sample #" first.
bool Reader::DatalogHeader() {
    file.datalog = true;
    for (; next < lines.size(); ++next) {
        const Line& l = lines[next];
        const std::string_view key = Trim(l.fields[0]);
        if (key == "Sample #") {
            width = l.fields.size();
            for (std::size_t i = 1; i < l.fields.size(); ++i) {
                if (Trim(l.fields[i]).empty())
                    continue;
                file.channels.emplace_back(Trim(l.fields[i]));
                valueColumns.push_back(static_cast<int>(i));
            }
            ++next;
            return !file.channels.empty() || Fail(l.number, "the column line names no column");
        }
        if (key == "Begin Seconds" || key == "End Seconds") {
            const auto v = l.fields.size() > 1 ? Number(l.fields[1], commaDecimal) : std::nullopt;
            if (!v)
                return Fail(l.number, std::string(key) + " is not a number");
            (key == "Begin Seconds" ? file.beginSeconds : file.endSeconds) = *v;
        }
    }
    return Fail(0, "the datalog header has no \"Sample #\" line");
}

// A header line of names, or data from the first line on.
bool Reader::ColumnHeader(const std::vector<std::string>& registers) {
    const Line& first = lines[0];
    const std::size_t count = first.fields.size();
    // A datalog line ends with a separator: its empty last field is no name.
    bool names = false;
    for (std::size_t i = 0; i < count; ++i)
        names = names || (!Number(first.fields[i], commaDecimal) &&
                          !(i + 1 == count && count > 1 && Trim(first.fields[i]).empty()));
    width = count;
    // A datalog line without its header: the sample number first, a separator last.
    const bool datalogLine = !names && count > 2 && Trim(first.fields.back()).empty() &&
                             Number(first.fields[0], false) == 1.0;
    if (names) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view name = Trim(first.fields[i]);
            if (name.empty() && i + 1 == count && count > 1)
                continue;
            if (timeColumn < 0 && IsTimeName(name)) {
                timeColumn = static_cast<int>(i);
                continue;
            }
            file.channels.emplace_back(name);
            valueColumns.push_back(static_cast<int>(i));
        }
        next = 1;
        return !file.channels.empty() || Fail(1, "the header line names no value column");
    }
    file.datalog = datalogLine;
    const std::size_t begin = datalogLine ? 1 : 0;
    const std::size_t end = datalogLine ? count - 1 : count;
    if (!registers.empty() && registers.size() != end - begin)
        return Fail(1, "the file has " + std::to_string(end - begin) +
                           " value columns, --registers names " + std::to_string(registers.size()));
    for (std::size_t i = begin; i < end; ++i) {
        file.channels.push_back(registers.empty() ? "column " + std::to_string(i - begin + 1)
                                                  : registers[i - begin]);
        valueColumns.push_back(static_cast<int>(i));
    }
    return true;
}

bool Reader::Data() {
    file.columns.assign(file.channels.size(), {});
    for (std::size_t k = next; k < lines.size(); ++k) {
        const Line& l = lines[k];
        if (l.fields.size() != width)
            return Fail(l.number, "expected " + std::to_string(width) + " fields, found " +
                                      std::to_string(l.fields.size()));
        if (timeColumn >= 0) {
            const auto t = Number(l.fields[static_cast<std::size_t>(timeColumn)], commaDecimal);
            if (!t)
                return Fail(l.number, "the time is not a number");
            file.times.push_back(*t);
        }
        for (std::size_t c = 0; c < valueColumns.size(); ++c) {
            const std::string_view field = l.fields[static_cast<std::size_t>(valueColumns[c])];
            const auto v = Number(field, commaDecimal);
            if (!v)
                return Fail(l.number, "\"" + std::string(Trim(field)) + "\" is not a number");
            file.columns[c].push_back(*v);
        }
    }
    if (file.Rows() == 0)
        return Fail(0, "the file holds no samples");
    return true;
}

// Register values, when every value of every register column is whole.
void Reader::Scale() {
    std::vector<const RegisterEntry*> entries;
    for (const std::string& name : file.channels) {
        const RegisterEntry* found = nullptr;
        for (std::int16_t i = SUPPLY_OUT; i <= ZINCL_OUT; ++i) {
            if (LowerCase(table[i].Label) == LowerCase(name))
                found = &table[i];
        }
        entries.push_back(found);
    }
    bool whole = std::any_of(entries.begin(), entries.end(), [](auto e) { return e != nullptr; });
    for (std::size_t c = 0; whole && c < entries.size(); ++c) {
        if (entries[c] == nullptr)
            continue;
        for (double v : file.columns[c])
            whole = whole && v == std::floor(v) && std::abs(v) <= 65535.0;
    }
    file.raw = whole;
    for (std::size_t c = 0; whole && c < entries.size(); ++c) {
        if (entries[c] == nullptr)
            continue;
        // As a register read scales it.
        for (double& v : file.columns[c])
            v = static_cast<float>(static_cast<double>(static_cast<float>(v)) *
                                       static_cast<double>(entries[c]->RegScale) +
                                   static_cast<double>(entries[c]->RegOffset));
    }
}

}  // namespace

std::optional<SeriesFile> ReadSeriesFile(std::string_view text, const RegisterTable& table,
                                         const std::vector<std::string>& registers,
                                         SeriesReadError& error) {
    Reader reader(table);
    const std::size_t firstBreak = text.find('\n');
    reader.separator = text.substr(0, firstBreak).find('\t') != std::string_view::npos ? '\t' : ',';
    reader.commaDecimal = reader.separator == '\t';
    std::int64_t number = 0;
    while (!text.empty()) {
        const std::size_t at = text.find('\n');
        std::string_view raw = text.substr(0, at);
        text = at == std::string_view::npos ? std::string_view{} : text.substr(at + 1);
        ++number;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        // Blank lines carry nothing (the datalog header has one).
        if (!Trim(raw).empty())
            reader.lines.push_back({number, Split(raw, reader.separator)});
    }
    bool ok = !reader.lines.empty() || reader.Fail(0, "the file is empty");
    if (ok) {
        const bool header = Trim(reader.lines[0].fields[0]) == "File Name";
        ok = header ? reader.DatalogHeader() : reader.ColumnHeader(registers);
    }
    ok = ok && reader.Data();
    if (!ok) {
        error = reader.error;
        return std::nullopt;
    }
    reader.Scale();
    return std::move(reader.file);
}

}  // namespace quenlor
