#include "datalog/DatalogNaming.h"

#include "core/NumberFormat.h"

namespace quenlor {

namespace {

// Length of the UTF-8 sequence led by `lead`, 0 for a byte that leads none.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

}  // namespace

DatalogFormat ChooseDatalogFormat(const std::string& decimalSeparator) {
    const std::string sample = FormatGeneral(1.2f, decimalSeparator);
    if (sample.size() >= 2 && sample[1] == ',')
        return {"\t", ".txt"};
    return {",", ".csv"};
}

std::string DatalogFileName(const std::string& baseName, std::int64_t file,
                            const std::string& extension) {
    return baseName + "_" + std::to_string(file) + extension;
}

bool IsPlainBaseName(const std::string& baseName) {
    if (baseName.find("..") != std::string::npos)
        return false;
    for (const char c : baseName) {
        if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20)
            return false;
    }
    return true;
}

std::string Latin1FromUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = SequenceLength(lead);
        bool whole = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; whole && k < length; ++k)
            whole =
                (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0xC0) == 0x80;
        if (!whole) {
            out += '?';
            ++i;
            continue;
        }
        if (length == 1) {
            out += static_cast<char>(lead);
        } else if (length == 2 && lead <= 0xC3) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            out += static_cast<char>(((lead & 0x03) << 6) | (next & 0x3F));
        } else {
            // Beyond Latin-1; a character outside the 16-bit plane counts twice,
            // as its two UTF-16 halves did in the window's conversion.
            out += length == 4 ? "??" : "?";
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

}  // namespace quenlor
