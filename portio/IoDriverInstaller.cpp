#include "portio/IoDriverInstaller.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace quenlor {

namespace {

constexpr std::int32_t kUnsupportedType = -1;

// The program directory as text with one separator after it; a directory
// that already ends in one (a drive's root) does not get a second.
std::string DirectoryPrefix(const std::filesystem::path& dir) {
    constexpr char sep = static_cast<char>(std::filesystem::path::preferred_separator);
    std::string p = dir.string();
    if (p.empty() || (p.back() != sep && p.back() != '/'))
        p += sep;
    return p;
}

}  // namespace

IoDriverInstaller::IoDriverInstaller(Registry& registry, ProcessRunner& processes,
                                     AppDirectory& appDir, MessageBoxes& messages)
    : registry_(registry), processes_(processes), appDir_(appDir), messages_(messages) {}

void IoDriverInstaller::InstallIoDriver() {
    if (ReadRegistryText(kGiveioServiceKey, "Start") == "2")
        return;

    const std::string dir = DirectoryPrefix(appDir_.path());
    const std::string installer = "\"" + dir + "instdrv2\"";
    const std::string batch = dir + "temp.bat";
    {
        // Binary, so both lines end in exactly CR LF on every system.
        std::ofstream out(batch, std::ios::binary | std::ios::trunc);
        out << installer << " giveio remove\r\n";
        out << installer << " giveio \"" << dir << "Giveio.sys\"\r\n";
    }
    RunAndWait("\"" + batch + "\"");

    if (ReadRegistryText(kGiveioServiceKey, "Start") == "3") {
        WriteRegistryValue(kGiveioServiceKey, "Start", "2", Registry::kTypeDword);
        return;
    }
    messages_.show("The required I/O drivers could not be installed.", "Error", MessageIcon::None);
}

std::string IoDriverInstaller::ReadRegistryText(const std::string& key, const std::string& name) {
    Registry::Key handle = 0;
    if (registry_.openKey(key, Registry::kAccessQuery, handle) != 0)
        return "";
    std::string value;
    QueryRegistryValue(handle, name, value);
    registry_.closeKey(handle);
    return value;
}

std::int32_t IoDriverInstaller::QueryRegistryValue(Registry::Key handle, const std::string& name,
                                                   std::string& value) {
    value.clear();
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::int32_t rc = registry_.queryValue(handle, name, type, nullptr, size);
    if (rc != 0)
        return rc;
    if (type == Registry::kTypeSz) {
        if (size == 0)
            return 0;
        std::vector<std::uint8_t> buffer(size);
        rc = registry_.queryValue(handle, name, type, buffer.data(), size);
        if (rc != 0)
            return rc;
        // Up to the first zero; a text stored without one is taken whole.
        std::size_t n = 0;
        while (n < size && n < buffer.size() && buffer[n] != 0)
            ++n;
        value.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
        return 0;
    }
    if (type == Registry::kTypeDword) {
        std::uint8_t buffer[4] = {};
        size = sizeof buffer;
        rc = registry_.queryValue(handle, name, type, buffer, size);
        if (rc != 0)
            return rc;
        std::int32_t number = 0;
        std::memcpy(&number, buffer, sizeof number);
        value = std::to_string(number);
        return 0;
    }
    return kUnsupportedType;
}

void IoDriverInstaller::WriteRegistryValue(const std::string& key, const std::string& name,
                                           const std::string& value, std::uint32_t type) {
    Registry::Key handle = 0;
    if (registry_.openKey(key, Registry::kAccessSetValue, handle) != 0)
        return;
    SetRegistryValue(handle, name, type, value);
    registry_.closeKey(handle);
}

std::int32_t IoDriverInstaller::SetRegistryValue(Registry::Key handle, const std::string& name,
                                                 std::uint32_t type, const std::string& value) {
    if (type == Registry::kTypeSz) {
        std::vector<std::uint8_t> data(value.begin(), value.end());
        data.push_back(0);
        return registry_.setValue(handle, name, type, data.data(),
                                  static_cast<std::uint32_t>(data.size()));
    }
    if (type == Registry::kTypeDword) {
        // The number comes as its decimal text; anything else would store a
        // value nobody asked for, so it writes nothing.
        std::int64_t number = 0;
        const char* end = value.data() + value.size();
        const auto [ptr, ec] = std::from_chars(value.data(), end, number);
        if (ec != std::errc{} || ptr != end || number < INT32_MIN || number > UINT32_MAX)
            return kUnsupportedType;
        const auto dword = static_cast<std::uint32_t>(number);
        std::uint8_t data[4];
        std::memcpy(data, &dword, sizeof data);
        return registry_.setValue(handle, name, type, data, sizeof data);
    }
    return 0;
}

std::uint32_t IoDriverInstaller::RunAndWait(const std::string& command) {
    return processes_.runAndWait(command);
}

}  // namespace quenlor
