#pragma once

#include <filesystem>
#include <string>

namespace quenlor {

// The program's folders. A program whose own folder the user may write keeps
// everything there; an installed one (its folder read-only to the user) keeps
// the settings in the user's configuration folder and the datalogs in a
// folder of the user's documents. The choice is made here, once.
class AppDirectory {
  public:
    virtual ~AppDirectory() = default;
    // The folder that holds the executable (and the driver installer's files).
    virtual std::filesystem::path path() const = 0;
    // Where the settings file is written; made when missing.
    virtual std::filesystem::path settingsDirectory() const = 0;
    // Where the settings file `fileName` is read from at start-up: the
    // settings folder, or the program's folder while the user has none there.
    virtual std::filesystem::path settingsSource(const std::string& fileName) const = 0;
    // Where datalog files go. Callers create it when it is missing.
    virtual std::filesystem::path dataDirectory() const = 0;
};

}  // namespace quenlor
