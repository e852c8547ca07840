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
    final_ = finalPath;
    temp_ = finalPath;
    temp_ += ".part";
    failed_ = false;

    std::error_code ec;
    const auto status = std::filesystem::status(final_, ec);
    if (std::filesystem::exists(status)) {
        if (std::filesystem::is_directory(status))
            return false;
        // The old file is replaced only at Commit; here we only learn whether it
        // may be replaced at all (another program may hold it).
        std::FILE* probe = OpenFile(final_, "r+b");
        if (probe == nullptr)
            return false;
        std::fclose(probe);
    }
    file_ = OpenFile(temp_, "wb");
    return file_ != nullptr;
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
    ok = ok && SyncToDisk(file_);
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
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
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
}

}  // namespace quenlor
