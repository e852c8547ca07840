#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace quenlor {

// The folder of the running test program, where the stand-in DLLs and the
// stand-in installer are built.
inline std::filesystem::path testProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

// A fresh folder with blanks in its name, removed again at the end.
class Win32TestFolder {
  public:
    explicit Win32TestFolder(const std::string& name) {
        path_ = std::filesystem::temp_directory_path() /
                (name + " " + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~Win32TestFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    Win32TestFolder(const Win32TestFolder&) = delete;
    Win32TestFolder& operator=(const Win32TestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace quenlor
