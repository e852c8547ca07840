#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "platform/AppDirectory.h"

namespace quenlor {

// The choice between a program that keeps its files beside itself and an
// installed one, made once from where things are: the window and the
// command-line tool find the same CommPort.cfg that way.
class ProgramFolders : public AppDirectory {
  public:
    struct Locations {
        std::filesystem::path program;
        std::filesystem::path userConfig;
        std::filesystem::path userData;
        // The folder the package installs the program into; a program there is
        // installed even for a user who may write it (root, or the owner of a
        // private prefix), so that it never keeps files among the executables.
        std::filesystem::path installedBin;
    };
    using WritableCheck = std::function<bool(const std::filesystem::path&)>;

    ProgramFolders(Locations locations, const WritableCheck& writable);

    std::filesystem::path path() const override { return where_.program; }
    std::filesystem::path settingsDirectory() const override;
    std::filesystem::path settingsSource(const std::string& fileName) const override;
    std::filesystem::path dataDirectory() const override;

    bool installed() const { return installed_; }

    // Whether a file can be created in `dir`: tried, not inferred from
    // permission bits, which Windows does not keep that way.
    static bool CanCreateFileIn(const std::filesystem::path& dir);
    // The running executable's folder, and the user's folders as the
    // system's conventions place them (XDG on Linux, the known folders'
    // environment variables on Windows), named "quenlor-eval".
    static Locations SystemLocations();

  private:
    Locations where_;
    bool installed_;
};

}  // namespace quenlor
