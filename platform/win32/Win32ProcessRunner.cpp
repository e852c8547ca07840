#include "platform/win32/Win32ProcessRunner.h"

#include <windows.h>

#include <vector>

namespace quenlor {

std::uint32_t Win32ProcessRunner::runAndWait(const std::string& commandLine) {
    // CreateProcessA may write into the command line; give it its own copy.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process)) {
        const DWORD error = GetLastError();
        return error != 0 ? error : 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    if (!GetExitCodeProcess(process.hProcess, &exitCode))
        exitCode = 1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

}  // namespace quenlor
