#pragma once

#include <windows.h>

#include <string>

namespace quenlor {

// A DLL loaded at run time, freed with its owner.
class Win32Library {
  public:
    explicit Win32Library(const std::string& name);
    ~Win32Library();
    Win32Library(const Win32Library&) = delete;
    Win32Library& operator=(const Win32Library&) = delete;

    bool loaded() const { return module_ != nullptr; }
    // The error of the failed load (GetLastError), 0 when loaded.
    DWORD loadError() const { return error_; }
    // Why the load failed, in words for a message, ending with a full stop.
    // `where` says where the library belongs ("the program's folder").
    std::string loadProblem(const std::string& where) const;
    // The exported function `name` as a pointer of type F, or null.
    template <typename F>
    F function(const char* name) const {
        if (module_ == nullptr)
            return nullptr;
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

  private:
    HMODULE module_ = nullptr;
    DWORD error_ = 0;
};

}  // namespace quenlor
