#include "core/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

namespace quenlor {

namespace {

// A magnitude as significant decimal digits and the power of ten of the first one.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal ToDecimal(double magnitude, int significantDigits) {
    // to_chars ignores the C locale, which a Qt application sets from the environment.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                                   significantDigits - 1);
    Decimal d;
    const char* p = buf;
    for (; p != res.ptr && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            d.digits.push_back(*p);
    }
    if (p != res.ptr)
        std::from_chars(*(p + 1) == '+' ? p + 2 : p + 1, res.ptr, d.exponent);
    return d;
}

std::string NonFinite(double value) {
    if (std::isnan(value))
        return "NaN";
    return value < 0 ? "-Inf" : "Inf";
}

// Fixed-point text with `minDecimals` to `maxDecimals` decimals. The value is
// taken at fifteen significant digits and rounded half away from zero on that
// decimal form, so 1.0005 gives 1.001 although its binary value lies below.
std::string FormatFixed(double value, int minDecimals, int maxDecimals, const std::string& sep) {
    if (!std::isfinite(value))
        return NonFinite(value);
    Decimal d = ToDecimal(std::fabs(value), 15);
    std::string digits = d.digits;
    int intDigits = d.exponent + 1;
    if (intDigits < 1) {
        digits.insert(0, static_cast<std::size_t>(1 - intDigits), '0');
        intDigits = 1;
    }
    const std::size_t keep = static_cast<std::size_t>(intDigits + maxDecimals);
    bool roundUp = false;
    if (digits.size() > keep) {
        roundUp = digits[keep] >= '5';
        digits.resize(keep);
    } else {
        digits.append(keep - digits.size(), '0');
    }
    if (roundUp) {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0) {
            digits.insert(0, 1, '1');
            ++intDigits;
        } else {
            ++digits[i - 1];
        }
    }
    std::string intPart = digits.substr(0, static_cast<std::size_t>(intDigits));
    std::string frac = digits.substr(static_cast<std::size_t>(intDigits));
    while (frac.size() > static_cast<std::size_t>(minDecimals) && frac.back() == '0') {
        frac.pop_back();
    }
    const std::size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? "0" : intPart.substr(firstNonZero);
    const bool isZero = intPart == "0" && frac.find_first_not_of('0') == std::string::npos;
    std::string out = (value < 0 && !isZero) ? "-" : "";
    out += intPart;
    if (!frac.empty())
        out += sep + frac;
    return out;
}

// General format: the shortest plain text of the value at `significantDigits`
// digits, or mantissa and exponent ("1.5E+10", "1E-05") outside the range in
// which plain text stays readable.
std::string FormatGeneralWith(double value, int significantDigits, const std::string& sep) {
    if (!std::isfinite(value))
        return NonFinite(value);
    if (value == 0)
        return "0";
    Decimal d = ToDecimal(std::fabs(value), significantDigits);
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    std::string out = value < 0 ? "-" : "";
    const int e = d.exponent;
    if (e >= significantDigits || e < -4) {
        out += d.digits.substr(0, 1);
        if (d.digits.size() > 1)
            out += sep + d.digits.substr(1);
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", e < 0 ? '-' : '+', e < 0 ? -e : e);
        return out + exp;
    }
    if (e >= 0) {
        const std::size_t intDigits = static_cast<std::size_t>(e) + 1;
        if (d.digits.size() <= intDigits) {
            return out + d.digits + std::string(intDigits - d.digits.size(), '0');
        }
        return out + d.digits.substr(0, intDigits) + sep + d.digits.substr(intDigits);
    }
    return out + "0" + sep + std::string(static_cast<std::size_t>(-e - 1), '0') + d.digits;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether the decimal text `number` (sign, digits, ".", exponent) lies above
// 1 rather than below: its first significant digit's power of ten is positive.
bool Overflows(const std::string& number) {
    std::size_t i = 0;
    if (number[i] == '+' || number[i] == '-')
        ++i;
    long long power = 0;
    bool seenSignificant = false;
    bool afterPoint = false;
    for (; i < number.size() && number[i] != 'e'; ++i) {
        if (number[i] == '.') {
            afterPoint = true;
        } else if (!seenSignificant && number[i] == '0') {
            if (afterPoint)
                --power;
        } else {
            seenSignificant = true;
            if (!afterPoint)
                ++power;
        }
    }
    long long exponent = 0;
    if (i < number.size()) {
        ++i;
        const bool negative = number[i] == '-';
        if (number[i] == '+' || number[i] == '-')
            ++i;
        for (; i < number.size(); ++i) {
            if (exponent < 100000)
                exponent = exponent * 10 + (number[i] - '0');
        }
        if (negative)
            exponent = -exponent;
    }
    return power + exponent > 0;
}

}  // namespace

std::string FormatFixed0_0hh(double value, const std::string& decimalSeparator) {
    return FormatFixed(value, 1, 3, decimalSeparator);
}

std::string FormatFixed0_0(double value, const std::string& decimalSeparator) {
    return FormatFixed(value, 1, 1, decimalSeparator);
}

std::string FormatFixedDecimals(double value, int decimals, const std::string& decimalSeparator) {
    decimals = std::clamp(decimals, 0, 15);
    return FormatFixed(value, decimals, decimals, decimalSeparator);
}

int ResolutionDecimals(double scale) {
    const double step = std::fabs(scale);
    if (!(step > 0) || !std::isfinite(step))
        return 3;
    // A scale stored in single precision lies a hair beside its decimal value
    // (0.01 is 0.0099999998); that must not cost a decimal.
    return std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-6)), 0, 9);
}

std::string FormatGeneral(float value, const std::string& decimalSeparator) {
    return FormatGeneralWith(static_cast<double>(value), 7, decimalSeparator);
}

std::string FormatGeneralDouble(double value, const std::string& decimalSeparator) {
    return FormatGeneralWith(value, 15, decimalSeparator);
}

std::string FormatPrintInteger(std::int32_t value) {
    const std::int64_t wide = value;
    const std::string digits = std::to_string(wide < 0 ? -wide : wide);
    return (value < 0 ? "-" : " ") + digits + " ";
}

std::string FormatHex(std::int32_t value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(static_cast<std::uint32_t>(value)));
    return buf;
}

std::string FormatHex4(std::int32_t value) {
    return FormatHexDigits(static_cast<std::uint32_t>(value) & 0xFFFF, 4);
}

std::string FormatHexDigits(std::uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(digits > 0 ? digits : 0), '0');
    for (auto i = text.size(); i-- > 0; value >>= 4)
        text[i] = kDigits[value & 0xF];
    return text;
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff > 0.5)
        return lower + 1.0;
    if (diff < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

double LeadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        number.push_back(text[i++]);
    bool anyDigit = false;
    while (i < text.size() && IsDigit(text[i])) {
        number.push_back(text[i++]);
        anyDigit = true;
    }
    if (i < text.size() && text[i] == '.') {
        number.push_back(text[i++]);
        while (i < text.size() && IsDigit(text[i])) {
            number.push_back(text[i++]);
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    // An exponent counts only when digits follow it ("2e" is 2).
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            exponent.push_back(text[j++]);
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                exponent.push_back(text[j++]);
            number += exponent;
        }
    }
    // from_chars reads no leading "+".
    if (number[0] == '+')
        number.erase(0, 1);
    double result = 0.0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), result);
    if (res.ec == std::errc::result_out_of_range) {
        // Too large for a double, or so small that it is zero.
        result = Overflows(number) ? std::numeric_limits<double>::max() : 0.0;
        if (number[0] == '-')
            result = -result;
    }
    return result;
}

double LeadingNumber(const std::string& text, const std::string& groupSeparator) {
    if (groupSeparator.empty())
        return LeadingNumber(text);
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::string ungrouped = text.substr(0, i);
    while (i < text.size() && IsDigit(text[i])) {
        ungrouped.push_back(text[i++]);
        const std::size_t group = i + groupSeparator.size();
        const bool isGroup = text.compare(i, groupSeparator.size(), groupSeparator) == 0 &&
                             group + 3 <= text.size() && IsDigit(text[group]) &&
                             IsDigit(text[group + 1]) && IsDigit(text[group + 2]) &&
                             (group + 3 == text.size() || !IsDigit(text[group + 3]));
        if (isGroup)
            i = group;
    }
    ungrouped.append(text, i, std::string::npos);
    return LeadingNumber(ungrouped);
}

}  // namespace quenlor
