#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "platform/AppDirectory.h"

namespace quenlor {

// The program's folders as Qt finds them: the executable's folder, and for an
// installed program the user's configuration folder (QStandardPaths'
// AppConfigLocation) and a "quenlor-eval" folder in the user's documents.
class QtAppDirectory : public AppDirectory {
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

    QtAppDirectory();
    // For tests: given folders and writability check.
    QtAppDirectory(Locations locations, const WritableCheck& writable);

    std::filesystem::path path() const override { return where_.program; }
    std::filesystem::path settingsDirectory() const override;
    std::filesystem::path settingsSource(const std::string& fileName) const override;
    std::filesystem::path dataDirectory() const override;

    bool installed() const { return installed_; }

    // Whether a file can be created in `dir`: tried, not inferred from
    // permission bits, which Windows does not keep that way.
    static bool CanCreateFileIn(const std::filesystem::path& dir);
    static Locations QtLocations();

  private:
    Locations where_;
    bool installed_;
};

}  // namespace quenlor
