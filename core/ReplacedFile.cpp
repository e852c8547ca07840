#include "core/ReplacedFile.h"

#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace quenlor {

namespace {

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

// The file a chain of symbolic links leads to, so the link itself survives
// the save. A loop or a broken chain stops at the last name reached.
std::filesystem::path ThroughLinks(std::filesystem::path path) {
    std::error_code ec;
    for (int hops = 0;
         hops < 40 && std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec));
         ++hops) {
        const std::filesystem::path target = std::filesystem::read_symlink(path, ec);
        if (ec)
            break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

bool TruncateHere(std::FILE* file) {
    const long length = std::ftell(file);
    if (length < 0)
        return false;
#ifdef _WIN32
    return _chsize_s(_fileno(file), length) == 0;
#else
    return ftruncate(fileno(file), static_cast<off_t>(length)) == 0;
#endif
}

bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

}  // namespace

bool ReplacedFile::Open(const std::filesystem::path& finalPath) {
    Discard();
    final_ = ThroughLinks(finalPath);
    temp_ = final_;
    temp_ += ".part";
    failed_ = false;
    inPlace_ = false;

    std::error_code ec;
    const auto status = std::filesystem::status(final_, ec);
    const bool exists = std::filesystem::exists(status);
    if (exists) {
        if (std::filesystem::is_directory(status))
            return false;
        // The old file is replaced only at Commit; here we only learn whether it
        // may be replaced at all (another program may hold it).
        std::FILE* probe = OpenFile(final_, "r+b");
        if (probe == nullptr)
            return false;
        std::fclose(probe);
    }
    // Whatever holds the temporary name (left by a killed run, a link to
    // elsewhere) goes; the temporary is then always a new file of our own.
    std::filesystem::remove(temp_, ec);
    file_ = OpenFile(temp_, "wbx");
    if (file_ != nullptr) {
        if (exists)
            std::filesystem::permissions(temp_, status.permissions(), ec);
        return true;
    }
    // No temporary beside it (a folder we may not write in, though the file
    // we may): the old file is rewritten in place.
    if (!exists)
        return false;
    file_ = OpenFile(final_, "r+b");
    inPlace_ = file_ != nullptr;
    return inPlace_;
}

bool ReplacedFile::Write(std::string_view bytes) {
    if (file_ == nullptr || failed_)
        return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        failed_ = true;
    }
    return !failed_;
}

bool ReplacedFile::Commit() {
    if (file_ == nullptr)
        return false;
    bool ok = !failed_;
    ok = ok && std::fflush(file_) == 0;
    if (inPlace_)
        ok = ok && TruncateHere(file_);
    ok = ok && SyncToDisk(file_);
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    if (inPlace_)
        return ok;
    if (ok) {
        std::error_code ec;
        std::filesystem::rename(temp_, final_, ec);
        ok = !ec;
    }
    if (!ok) {
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
    }
    return ok;
}

void ReplacedFile::Discard() {
    if (file_ == nullptr)
        return;
    std::fclose(file_);
    file_ = nullptr;
    if (inPlace_)
        return;
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
}

}  // namespace quenlor
