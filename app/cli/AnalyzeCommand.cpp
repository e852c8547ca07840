#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>

#include "analysis/NoiseReport.h"
#include "analysis/SeriesFile.h"
#include "analysis/SeriesTiming.h"
#include "app/cli/Commands.h"
#include "core/ReplacedFile.h"

namespace quenlor {

namespace {

// At least half the rows equal to the row before: readings taken faster than
// the sensor makes them.
bool RowsRepeat(std::int64_t repeats, std::int64_t rows) {
    return rows > 1 && repeats * 2 >= rows;
}

std::optional<double> PositiveNumber(const std::string& text) {
    double v = 0.0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !(v > 0.0) || v > 1e9)
        return std::nullopt;
    return v;
}

// The names --registers gives, for files without a header line.
std::optional<std::vector<std::string>> ColumnNames(CliRun& run) {
    if (run.options.Value("--registers") == nullptr)
        return std::vector<std::string>{};
    const auto indexes = OutputRegisters(run, "");
    if (!indexes)
        return std::nullopt;
    std::vector<std::string> names;
    for (std::int16_t i : *indexes)
        names.push_back(run.stack.registerTable[i].Label);
    return names;
}

// The file's rate: its time column, --rate, or a datalog's Begin and End
// Seconds. A time column with gaps is cut to its longest even stretch.
std::optional<double> RateOf(CliRun& run, const std::string& name, SeriesFile& file) {
    if (!file.times.empty()) {
        const auto spacing = SpacingOf(file.times);
        if (!spacing) {
            std::cerr << "quenlor-cli: " << name << ": the time column does not advance"
                      << std::endl;
            return std::nullopt;
        }
        if (spacing->gaps > 0) {
            std::cerr << "quenlor-cli: " << name << ": " << spacing->gaps
                      << " gaps in the time column, the largest " << spacing->largestGap
                      << " s; analysing the longest even stretch, samples " << spacing->begin + 1
                      << " to " << spacing->end << std::endl;
            KeepRows(file, spacing->begin, spacing->end);
        }
        return spacing->rate;
    }
    if (const std::string* rate = run.options.Value("--rate"))
        return PositiveNumber(*rate);
    if (const auto rate = DatalogRate(file))
        return rate;
    std::cerr << "quenlor-cli: " << name
              << ": the sample rate is not known (no time column, no Begin and End Seconds); "
                 "give it with --rate HZ"
              << std::endl;
    return std::nullopt;
}

// Each channel of the file, against TEMP_OUT where the file has it.
void Analyse(const std::string& name, const SeriesFile& file, double rate,
             std::optional<DensityBand> band, bool everyTau, std::vector<NamedSummary>& rows) {
    const auto temp = std::find(file.channels.begin(), file.channels.end(), "TEMP_OUT");
    const std::vector<double>* temperature =
        temp == file.channels.end()
            ? nullptr
            : &file.columns[static_cast<std::size_t>(temp - file.channels.begin())];
    for (std::size_t c = 0; c < file.channels.size(); ++c) {
        const std::vector<double>& column = file.columns[c];
        ChannelAnalysis channel(rate, static_cast<std::int64_t>(column.size()));
        if (temperature != nullptr && temperature != &column) {
            for (std::size_t i = 0; i < column.size(); ++i)
                channel.Append(column[i], (*temperature)[i]);
        } else {
            channel.Append(column);
        }
        rows.push_back({name, file.channels[c], channel.Summary(band, everyTau)});
    }
}

std::optional<DensityBand> BandOption(CliRun& run, bool& ok) {
    const std::string* text = run.options.Value("--band");
    ok = true;
    if (text == nullptr)
        return std::nullopt;
    const std::size_t colon = text->find(':');
    const auto low = PositiveNumber(text->substr(0, colon));
    const auto high =
        colon == std::string::npos ? std::nullopt : PositiveNumber(text->substr(colon + 1));
    if (!low || !high || *low >= *high) {
        std::cerr << "quenlor-cli: --band needs LOW:HIGH in hertz, LOW below HIGH, not " << *text
                  << std::endl;
        ok = false;
        return std::nullopt;
    }
    return DensityBand{*low, *high};
}

// Reads and checks one file; the exit status it earns.
int AnalyseFile(CliRun& run, const std::string& name, const std::vector<std::string>& names,
                std::optional<DensityBand> band, std::vector<NamedSummary>& rows) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        std::cerr << "quenlor-cli: cannot read " << name << std::endl;
        return kExitFailed;
    }
    SeriesReadError error;
    auto file = ReadSeriesFile(text.str(), run.stack.registerTable, names, error);
    if (!file) {
        std::cerr << "quenlor-cli: " << name;
        if (error.line > 0)
            std::cerr << ":" << error.line;
        std::cerr << ": " << error.message << std::endl;
        return kExitUsage;
    }
    const std::int64_t repeats = RepeatedRows(*file);
    if (RowsRepeat(repeats, file->Rows()) && !run.options.Has("--allow-repeats")) {
        std::cerr << "quenlor-cli: " << name << ": " << repeats << " of " << file->Rows()
                  << " rows repeat the row before (" << file->Rows() - repeats
                  << " distinct readings): the file was taken faster than the sensor's samples "
                     "and would give a wrong curve; --allow-repeats analyses it as it is"
                  << std::endl;
        return kExitUsage;
    }
    const auto rate = RateOf(run, name, *file);
    if (!rate)
        return kExitUsage;
    // Every tau costs a pass over the samples each: a long file gets octaves.
    constexpr std::int64_t kEveryTauLimit = 65536;
    bool everyTau = run.options.Has("--every-tau");
    if (everyTau && file->Rows() > kEveryTauLimit) {
        std::cerr << "quenlor-cli: " << name << ": --every-tau is for files of up to "
                  << kEveryTauLimit << " samples; this one gets the octaves" << std::endl;
        everyTau = false;
    }
    Analyse(name, *file, *rate, band, everyTau, rows);
    return kExitOk;
}

}  // namespace

int RunAnalyze(CliRun& run) {
    const auto names = ColumnNames(run);
    bool bandOk = true;
    const auto band = BandOption(run, bandOk);
    if (!names || !bandOk)
        return kExitUsage;
    if (const std::string* rate = run.options.Value("--rate"); rate && !PositiveNumber(*rate)) {
        std::cerr << "quenlor-cli: --rate needs a rate in hertz above 0, not " << *rate
                  << std::endl;
        return kExitUsage;
    }
    std::vector<NamedSummary> rows;
    int status = kExitOk;
    for (const std::string& name : run.options.args)
        status = std::max(status, AnalyseFile(run, name, *names, band, rows));
    if (rows.empty())
        return status;
    return std::max(status, ReportNoise(run, rows));
}

int ReportNoise(CliRun& run, const std::vector<NamedSummary>& rows) {
    run.out << NoiseTable(rows) << std::flush;
    const std::string* csv = run.options.Value("--csv");
    if (csv == nullptr)
        return kExitOk;
    ReplacedFile out;
    if (!out.Open(*csv) || !out.Write(NoiseCurvesCsv(rows)) || !out.Commit()) {
        std::cerr << "quenlor-cli: cannot write " << *csv << std::endl;
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace quenlor
