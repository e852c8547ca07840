#include "platform/win32/Win32SystemInfo.h"

#include <windows.h>

namespace quenlor {

namespace {

// Major.minor with the minor number as the decimals: 5.1 for XP, 6.10 stays 6.10.
double versionNumber(DWORD major, DWORD minor) {
    double scale = 10.0;
    for (DWORD m = minor; m >= 10; m /= 10)
        scale *= 10.0;
    return static_cast<double>(major) + static_cast<double>(minor) / scale;
}

}  // namespace

Win32SystemInfo::Win32SystemInfo() {
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW wide{};
    wide.dwOSVersionInfoSize = sizeof wide;
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const auto rtlGetVersion =
        ntdll == nullptr ? nullptr
                         : reinterpret_cast<RtlGetVersionFunction>(
                               reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    if (rtlGetVersion != nullptr && rtlGetVersion(&wide) == 0) {
        platformId_ = static_cast<int>(wide.dwPlatformId);
        version_ = versionNumber(wide.dwMajorVersion, wide.dwMinorVersion);
        build_ = static_cast<int>(wide.dwBuildNumber & 0xFFFF);
        return;
    }
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (GetVersionExA(&info)) {
#pragma GCC diagnostic pop
        platformId_ = static_cast<int>(info.dwPlatformId);
        version_ = versionNumber(info.dwMajorVersion, info.dwMinorVersion);
        build_ = static_cast<int>(info.dwBuildNumber & 0xFFFF);
    }
}

}  // namespace quenlor
