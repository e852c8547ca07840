#include "platform/linux/LinuxSystemInfo.h"

#include <sys/utsname.h>

#include <cctype>
#include <string>

namespace quenlor {

namespace {

std::string runningRelease() {
    utsname names{};
    if (uname(&names) != 0)
        return {};
    return names.release;
}

// Reads the leading decimal digits at `pos`, moving past them; -1 when there are none.
int readNumber(const std::string& text, std::size_t& pos) {
    if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos])))
        return -1;
    int n = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        if (n < 100000)
            n = n * 10 + (text[pos] - '0');
        ++pos;
    }
    return n;
}

}  // namespace

LinuxSystemInfo::LinuxSystemInfo() : LinuxSystemInfo(runningRelease()) {}

LinuxSystemInfo::LinuxSystemInfo(const std::string& kernelRelease) {
    std::size_t pos = 0;
    const int major = readNumber(kernelRelease, pos);
    if (major < 0)
        return;
    int minor = 0;
    if (pos < kernelRelease.size() && kernelRelease[pos] == '.') {
        ++pos;
        minor = readNumber(kernelRelease, pos);
        if (minor < 0)
            minor = 0;
    }
    if (pos < kernelRelease.size() && kernelRelease[pos] == '.') {
        ++pos;
        const int patch = readNumber(kernelRelease, pos);
        if (patch > 0)
            build_ = patch;
    }
    // The minor number becomes the decimals ("5.10" is 5.10); no locale-dependent parsing.
    double scale = 10.0;
    for (int m = minor; m >= 10; m /= 10)
        scale *= 10.0;
    version_ = major + minor / scale;
}

}  // namespace quenlor
