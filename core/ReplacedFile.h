#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace quenlor {

// A file (a datalog, the settings) written so that its final name only ever
// holds a complete file: the bytes go to a temporary file beside it ("<name>.part"), which
// replaces the final name once everything is written, flushed and closed. A
// failure removes the temporary file and leaves the final name as it was.
// A final name that is a symbolic link is written through: the file it leads
// to is replaced and keeps its permissions. Where no temporary can be made
// beside an existing file (a folder that is not writable), that file is
// rewritten in place instead; a failure part way then leaves it partly rewritten.
class ReplacedFile {
  public:
    ReplacedFile() = default;
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;
    ~ReplacedFile() { Discard(); }

    // Opens the file for writing. False when an existing file of that name
    // cannot be opened for writing (locked, read-only, a folder), or there is
    // none and the temporary file cannot be created.
    bool Open(const std::filesystem::path& finalPath);

    // Appends bytes. False on a failed write (a full disk); the file is then
    // beyond saving and Commit fails too.
    bool Write(std::string_view bytes);

    // Flushes, syncs, closes and renames onto the final name (or, in place,
    // cuts the old file to the new length). False on any failure, after which
    // the temporary file is gone.
    bool Commit();

    // Drops an unfinished file.
    void Discard();

    bool IsOpen() const { return file_ != nullptr; }
    // The file written: the final name with any symbolic links followed.
    const std::filesystem::path& FinalPath() const { return final_; }
    bool InPlace() const { return inPlace_; }
    const std::filesystem::path& TempPath() const { return temp_; }

  private:
    std::filesystem::path final_;
    std::filesystem::path temp_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
    bool inPlace_ = false;
};

}  // namespace quenlor
