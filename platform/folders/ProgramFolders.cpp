#include "platform/folders/ProgramFolders.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quenlor {

namespace {

bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (a.empty() || b.empty())
        return false;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

std::filesystem::path FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::filesystem::path(value)
                                              : std::filesystem::path();
}

std::filesystem::path ExecutableFolder() {
#ifdef _WIN32
    std::wstring buffer(MAX_PATH, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    buffer.resize(n);
    return std::filesystem::path(buffer).parent_path();
#else
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : exe.parent_path();
#endif
}

}  // namespace

ProgramFolders::ProgramFolders(Locations locations, const WritableCheck& writable)
    : where_(std::move(locations)),
      installed_(SameFolder(where_.program, where_.installedBin) || !writable(where_.program)) {
    // Without a home to put them in, the files stay where they always were.
    if (where_.userConfig.empty() || where_.userData.empty())
        installed_ = false;
}

std::filesystem::path ProgramFolders::settingsDirectory() const {
    if (!installed_)
        return where_.program;
    // The user's folder on the first save; a failure shows as the save's own.
    std::error_code ec;
    std::filesystem::create_directories(where_.userConfig, ec);
    return where_.userConfig;
}

std::filesystem::path ProgramFolders::settingsSource(const std::string& fileName) const {
    std::error_code ec;
    if (installed_ && !std::filesystem::exists(where_.userConfig / fileName, ec))
        return where_.program;
    return settingsDirectory();
}

std::filesystem::path ProgramFolders::dataDirectory() const {
    return installed_ ? where_.userData : where_.program;
}

bool ProgramFolders::CanCreateFileIn(const std::filesystem::path& dir) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto probe = dir / (".quenlor-eval-write-test-" + std::to_string(stamp));
    std::error_code ec;
    if (std::filesystem::exists(probe, ec))
        return false;
    const bool created = std::ofstream(probe, std::ios::binary).is_open();
    std::filesystem::remove(probe, ec);
    return created;
}

ProgramFolders::Locations ProgramFolders::SystemLocations() {
    Locations where;
    where.program = ExecutableFolder();
#ifdef _WIN32
    // Roaming: the settings follow the user to another machine of the domain.
    const auto config = FromEnvironment("APPDATA");
    const auto home = FromEnvironment("USERPROFILE");
#else
    auto config = FromEnvironment("XDG_CONFIG_HOME");
    const auto home = FromEnvironment("HOME");
    if (config.empty() && !home.empty())
        config = home / ".config";
#endif
    if (!config.empty())
        where.userConfig = config / "quenlor-eval";
    if (!home.empty())
        where.userData = home / "Documents" / "quenlor-eval";
#ifdef QUENLOR_INSTALL_BINDIR
    where.installedBin = QUENLOR_INSTALL_BINDIR;
#endif
    return where;
}

}  // namespace quenlor
