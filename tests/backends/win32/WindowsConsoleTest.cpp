#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Win32TestFolder.h"

namespace quenlor {
namespace {

struct ChildRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;
    std::string error;
};

std::string drain(HANDLE pipe) {
    std::string text;
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

// Starts the windowed child, its standard output and error on pipes (as a
// redirection in a console gives them), or with no handles at all.
ChildRun runChild(bool redirected, DWORD flags) {
    ChildRun run;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    STARTUPINFOA start{};
    start.cb = sizeof start;
    if (redirected) {
        if (!CreatePipe(&outRead, &outWrite, &inherit, 0) ||
            !CreatePipe(&errRead, &errWrite, &inherit, 0))
            return run;
        SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
        start.dwFlags = STARTF_USESTDHANDLES;
        start.hStdOutput = outWrite;
        start.hStdError = errWrite;
    }
    std::string command =
        "\"" + (testProgramFolder() / "quenlor_console_child.exe").string() + "\"";
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, redirected,
                                        flags, nullptr, nullptr, &start, &process);
    if (redirected) {
        CloseHandle(outWrite);
        CloseHandle(errWrite);
    }
    if (started) {
        if (redirected) {
            run.output = drain(outRead);
            run.error = drain(errRead);
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (redirected) {
        CloseHandle(outRead);
        CloseHandle(errRead);
    }
    return run;
}

TEST(WindowsConsoleTest, RedirectedStreamsAreKeptAndReachTheirFiles) {
    const ChildRun run = runChild(true, 0);
    EXPECT_EQ(run.exitCode, 3u);
    // The streams are text streams: line ends are CR LF.
    EXPECT_EQ(run.output, "to output\r\n");
    EXPECT_EQ(run.error, "to error\r\n");
}

TEST(WindowsConsoleTest, WithoutStreamsOrConsoleNothingIsClaimedToReachTheUser) {
    // No handles and no console to attach to: the program must fall back to
    // its message box, so neither stream may be reported as reaching the user.
    const ChildRun run = runChild(false, DETACHED_PROCESS);
    EXPECT_EQ(run.exitCode, 0u);
}

}  // namespace
}  // namespace quenlor
