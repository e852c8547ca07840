#include "platform/console/WindowsConsole.h"

#include <windows.h>

#include <cstdio>
#include <iostream>

namespace quenlor {

namespace {

// A handle given at start: a file, a pipe or a console.
bool given(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool reopenOnConsole(std::FILE* stream, DWORD which) {
    if (std::freopen("CONOUT$", "w", stream) == nullptr)
        return false;
    // Let the system's own handle follow, for anything that writes through it.
    const HANDLE console =
        CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (console != INVALID_HANDLE_VALUE)
        SetStdHandle(which, console);
    return true;
}

}  // namespace

ConsoleStreams AttachParentConsole() {
    ConsoleStreams streams{given(STD_OUTPUT_HANDLE), given(STD_ERROR_HANDLE)};
    if (streams.output && streams.error)
        return streams;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return streams;
    if (!streams.output)
        streams.output = reopenOnConsole(stdout, STD_OUTPUT_HANDLE);
    if (!streams.error)
        streams.error = reopenOnConsole(stderr, STD_ERROR_HANDLE);
    // Writes before this may have failed and left the streams bad.
    std::cout.clear();
    std::cerr.clear();
    return streams;
}

}  // namespace quenlor
