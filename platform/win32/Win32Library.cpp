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
    if (error_ == ERROR_BAD_EXE_FORMAT) {
        // The usual cause: a 32-bit library beside a 64-bit build, or the reverse.
        const std::string width = std::to_string(8 * sizeof(void*));
        return " is built for another processor width than this " + width +
               "-bit program (for example a 32-bit DLL in a 64-bit build), or is damaged. Use a "
               "build of the program for the library's width.";
    }
    return " could not be loaded (error " + std::to_string(error_) + "). Put it in " + where + ".";
}

Win32Library::~Win32Library() {
    if (module_ != nullptr)
        FreeLibrary(module_);
}

}  // namespace quenlor
