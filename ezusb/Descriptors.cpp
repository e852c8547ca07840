#include "ezusb/Descriptors.h"

#include "ezusb/LittleEndian.h"

namespace quenlor {

namespace {

constexpr std::size_t kMaxStringUnits = 126;  // a descriptor's length is one byte
constexpr char32_t kReplacement = 0xFFFD;

// The next code point of a UTF-8 text; a malformed sequence reads as one
// replacement character per byte.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    int more = 0;
    char32_t cp = 0;
    if (lead < 0x80)
        return lead;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        cp = lead & 0x07;
    } else {
        return kReplacement;
    }
    const std::size_t start = at;
    for (int i = 0; i < more; ++i) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) {
            at = start;
            return kReplacement;
        }
        cp = (cp << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    }
    const bool overlong = (more == 2 && cp < 0x800) || (more == 3 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        at = start;
        return kReplacement;
    }
    return cp;
}

void AppendUnit(std::vector<std::uint8_t>& out, std::uint32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

}  // namespace

std::array<std::uint8_t, kDeviceDescriptorSize> EncodeDeviceDescriptor(const DeviceDescriptor& d) {
    std::array<std::uint8_t, kDeviceDescriptorSize> b{};
    b[0] = d.bLength;
    b[1] = d.bDescriptorType;
    PutLe16(&b[2], d.bcdUSB);
    b[4] = d.bDeviceClass;
    b[5] = d.bDeviceSubClass;
    b[6] = d.bDeviceProtocol;
    b[7] = d.bMaxPacketSize0;
    PutLe16(&b[8], d.idVendor);
    PutLe16(&b[10], d.idProduct);
    PutLe16(&b[12], d.bcdDevice);
    b[14] = d.iManufacturer;
    b[15] = d.iProduct;
    b[16] = d.iSerialNumber;
    b[17] = d.bNumConfigurations;
    return b;
}

std::uint16_t DescriptorVendorId(std::span<const std::uint8_t> answer) {
    return answer.size() >= 10 ? GetLe16(&answer[8]) : 0;
}

std::uint16_t DescriptorProductId(std::span<const std::uint8_t> answer) {
    return answer.size() >= 12 ? GetLe16(&answer[10]) : 0;
}

std::vector<std::uint8_t> EncodeStringDescriptor(std::string_view utf8) {
    std::vector<std::uint8_t> out{0, kStringDescriptorType};
    std::size_t units = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t cp = NextCodePoint(utf8, at);
        const std::size_t needed = cp >= 0x10000 ? 2 : 1;
        if (units + needed > kMaxStringUnits)
            break;
        if (needed == 2) {
            const std::uint32_t v = static_cast<std::uint32_t>(cp) - 0x10000;
            AppendUnit(out, 0xD800 + (v >> 10));
            AppendUnit(out, 0xDC00 + (v & 0x3FF));
        } else {
            AppendUnit(out, static_cast<std::uint32_t>(cp));
        }
        units += needed;
    }
    out[0] = static_cast<std::uint8_t>(out.size());
    return out;
}

std::string DecodeStringDescriptorText(std::span<const std::uint8_t> descriptor) {
    std::string text;
    for (std::size_t i = 2; i < descriptor.size(); i += 2) {
        const std::uint8_t c = descriptor[i];
        if (c < 0x80) {
            text.push_back(static_cast<char>(c));
        } else {
            text.push_back(static_cast<char>(0xC0 | (c >> 6)));
            text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return text;
}

}  // namespace quenlor
