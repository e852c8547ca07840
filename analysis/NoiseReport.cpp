#include "analysis/NoiseReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quenlor {

namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

// Characters, not bytes, so the columns of "µg" line up.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string Term(const NoiseTerm& term, double factor, const std::string& unit) {
    return term.observed ? Number(term.value * factor) + " " + unit : "not observed";
}

std::vector<std::string> Row(const NamedSummary& row) {
    const ChannelSummary& s = row.summary;
    const DisplayUnit u = DisplayUnitOf(row.channel);
    const double f = u.factor;
    // Without the transform there is no spectrum; with it, a run whose even
    // stretches are all shorter than a segment has none either.
    std::string density = s.density.observed ? Number(s.density.value * f) + " " + u.name + "/√Hz"
                          : WelchAccumulator::Available() ? "not observed"
                                                          : "not available";
    density += " (" + Number(s.band.low) + "-" + Number(s.band.high) + " Hz)";
    std::string bias = Term(s.terms.biasInstability, f, u.name);
    if (s.terms.biasInstability.observed)
        bias += " at " + Number(s.terms.biasInstability.tau) + " s";
    std::string temperature = "-";
    if (s.temperatureSlope)
        temperature = Number(s.temperatureSlope->value * f) + " ± " +
                      Number(s.temperatureSlope->standardError * f) + " " + u.name + "/°C";
    return {row.channel,
            std::to_string(s.samples),
            Number(s.rate),
            Number(s.mean * f) + " " + u.name,
            Number(s.deviation * f) + " " + u.name,
            density,
            Term(s.terms.white, f, u.name + "/√Hz"),
            bias,
            Term(s.terms.randomWalk, f, u.name + "/√s"),
            temperature};
}

}  // namespace

DisplayUnit DisplayUnitOf(const std::string& channel) {
    auto has = [&](const char* part) { return channel.find(part) != std::string::npos; };
    if (has("ACCL"))
        return {"µg", 1e6};
    if (has("INCL"))
        return {"°", 1.0};
    if (has("TEMP"))
        return {"°C", 1.0};
    if (has("SUPPLY"))
        return {"V", 1.0};
    return {"", 1.0};
}

std::vector<std::vector<std::string>> NoiseTableCells(const std::vector<NamedSummary>& rows) {
    std::vector<std::vector<std::string>> cells = {
        {"Channel", "Samples", "Rate Hz", "Mean", "Std dev", "Noise density (band)", "White noise",
         "Bias instability", "Random walk", "Temperature slope"}};
    for (const NamedSummary& row : rows)
        cells.push_back(Row(row));
    // Rows of several files say which file each is from.
    const bool files = std::any_of(rows.begin(), rows.end(), [&](const NamedSummary& row) {
        return row.source != rows.front().source;
    });
    for (std::size_t r = 0; files && r < cells.size(); ++r)
        cells[r].insert(cells[r].begin(), r == 0 ? "File" : rows[r - 1].source);
    return cells;
}

std::string NoiseTable(const std::vector<NamedSummary>& rows) {
    const std::vector<std::vector<std::string>> cells = NoiseTableCells(rows);
    std::vector<std::size_t> widths(cells[0].size(), 0);
    for (const auto& line : cells) {
        for (std::size_t c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], Width(line[c]));
    }
    std::string out;
    for (const auto& line : cells) {
        std::string text;
        for (std::size_t c = 0; c < line.size(); ++c) {
            text += line[c];
            if (c + 1 < line.size())
                text += std::string(widths[c] - Width(line[c]) + 2, ' ');
        }
        out += text + "\n";
    }
    return out;
}

std::string NoiseCurvesCsv(const std::vector<NamedSummary>& rows) {
    std::string out = "file,channel,tau_s,adev,lower,upper\n";
    for (const NamedSummary& row : rows) {
        const std::string prefix = row.source + "," + row.channel + ",";
        for (const AllanPoint& p : row.summary.allan)
            out += prefix + Number(p.tau) + "," + Number(p.adev) + "," + Number(p.lower) + "," +
                   Number(p.upper) + "\n";
    }
    out += "\nfile,channel,frequency_hz,psd\n";
    for (const NamedSummary& row : rows) {
        const std::string prefix = row.source + "," + row.channel + ",";
        const Spectrum& s = row.summary.spectrum;
        for (std::size_t k = 1; k < s.density.size(); ++k)
            out += prefix + Number(static_cast<double>(k) * s.binWidth) + "," +
                   Number(s.density[k]) + "\n";
    }
    return out;
}

}  // namespace quenlor
