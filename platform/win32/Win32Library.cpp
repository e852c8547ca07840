#include "platform/win32/Win32Library.h"

namespace quenlor {

Win32Library::Win32Library(const std::string& name) {
    // No "cannot find DLL" dialog from the system: the caller says it its own way.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    module_ = LoadLibraryA(name.c_str());
    error_ = module_ == nullptr ? GetLastError() : 0;
    SetErrorMode(previous);
}

std::string Win32Library::loadProblem(const std::string& where) const {
    const bool wide = sizeof(void*) == 8;
    std::string problem;
    if (error_ == ERROR_BAD_EXE_FORMAT) {
        // The usual cause: a 32-bit library beside a 64-bit build, or the reverse.
        problem = " is built for another processor width than this " +
                  std::to_string(8 * sizeof(void*)) +
                  "-bit program (for example a 32-bit DLL in a 64-bit build), or is damaged.";
        if (!wide)
            return problem + " Use a build of the program for the library's width.";
    } else {
        problem =
            " could not be loaded (error " + std::to_string(error_) + "). Put it in " + where + ".";
        if (!wide)
            return problem;
    }
    // The port libraries of the parallel-port board are 32-bit DLLs: beside a
    // 64-bit build they would be refused as well.
    return problem +
           " The parallel port's libraries (win95io.dll, giveio.dll) are 32-bit, and a 64-bit "
           "program cannot load a 32-bit library: the parallel port needs the 32-bit build of "
           "the program.";
}

Win32Library::~Win32Library() {
    if (module_ != nullptr)
        FreeLibrary(module_);
}

}  // namespace quenlor
