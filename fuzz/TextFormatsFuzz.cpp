// The hex text conversion and the number formats against models written here.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ModelCheck.h"
#include "core/HexText.h"
#include "core/NumberFormat.h"

namespace {

// The last four characters as hex digits, anything else a zero digit.
std::int32_t ModelHex(const std::string& text) {
    const std::string last = text.size() > 4 ? text.substr(text.size() - 4) : text;
    std::int32_t value = 0;
    for (char c : last) {
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        value = value * 16 + digit;
    }
    return value;
}

void CheckIntegers(std::int32_t v) {
    char text[32];
    std::snprintf(text, sizeof text, "%X", static_cast<std::uint32_t>(v));
    Check(quenlor::FormatHex(v) == text, "FormatHex", text);
    std::string four = std::string(4, '0') + text;
    four = four.substr(four.size() - 4);
    Check(quenlor::FormatHex4(v) == four, "FormatHex4", text);
    const long long wide = v;
    std::snprintf(text, sizeof text, "%c%lld ", wide < 0 ? '-' : ' ', wide < 0 ? -wide : wide);
    Check(quenlor::FormatPrintInteger(v) == text, "FormatPrintInteger", text);
}

// "0.0##": optional minus, digits, a point, one to three decimals without a
// trailing zero after the first, and the value to within half a thousandth.
void CheckFixed(double x) {
    if (!std::isfinite(x) || std::fabs(x) > 1e12)
        return;
    const std::string t = quenlor::FormatFixed0_0hh(x);
    std::size_t i = t[0] == '-' ? 1 : 0;
    const std::size_t intStart = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9')
        ++i;
    Check(i > intStart && i < t.size() && t[i] == '.', "0.0## integer part", t);
    const std::size_t decimals = t.size() - i - 1;
    Check(decimals >= 1 && decimals <= 3, "0.0## decimals", t);
    for (std::size_t k = i + 1; k < t.size(); ++k)
        Check(t[k] >= '0' && t[k] <= '9', "0.0## digits", t);
    Check(decimals == 1 || t.back() != '0', "0.0## trailing zero", t);
    const double back = std::strtod(t.c_str(), nullptr);
    Check(std::fabs(back - x) <= 0.0005 + 1e-12 * std::fabs(x) + 1e-15, "0.0## value", t);
    Check(!(t[0] == '-' && back == 0.0), "0.0## minus zero", t);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 4) {
        std::int32_t v;
        std::memcpy(&v, data, 4);
        CheckIntegers(v);
    }
    if (size >= 12) {
        double x;
        std::memcpy(&x, data + 4, 8);
        CheckFixed(x);
        // An independent scale keeps small decimals in play, not only huge doubles.
        std::int32_t v;
        std::memcpy(&v, data, 4);
        CheckFixed(v / 4096.0);
        const double r = quenlor::RoundHalfEven(x);
        if (std::isfinite(x))
            Check(r == std::nearbyint(x), "RoundHalfEven", std::to_string(x));
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    Check(quenlor::HexToDec(text) == ModelHex(text), "HexToDec", text);
    return 0;
}
