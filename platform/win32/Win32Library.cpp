#include "platform/win32/Win32Library.h"

namespace quenlor {

Win32Library::Win32Library(const std::string& name) {
    // No "cannot find DLL" dialog from the system: the caller says it its own way.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    module_ = LoadLibraryA(name.c_str());
    error_ = module_ == nullptr ? GetLastError() : 0;
    SetErrorMode(previous);
}

Win32Library::~Win32Library() {
    if (module_ != nullptr)
        FreeLibrary(module_);
}

}  // namespace quenlor
