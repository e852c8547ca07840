#include "datalog/SampleSpool.h"

#include <string>
#include <system_error>

namespace quenlor {

SampleSpool::~SampleSpool() {
    Keep();
}

bool SampleSpool::Open(const std::filesystem::path& finalPath, std::int64_t nowNs) {
    Keep();
    std::filesystem::path name = finalPath;
    name += ".unfinished";
    for (int n = 2; std::filesystem::exists(name) && n < 1000; ++n) {
        name = finalPath;
        name += ".unfinished-" + std::to_string(n);
    }
    // The path's own characters, as the finished file and the removal use
    // them: a narrow name on Windows goes through the ANSI code page.
#if defined(_WIN32)
    file_ = _wfopen(name.c_str(), L"wb");
#else
    file_ = std::fopen(name.c_str(), "wb");
#endif
    if (!file_)
        return false;
    path_ = name;
    flushedNs_ = nowNs;
    return true;
}

void SampleSpool::Append(std::string_view line, std::int64_t nowNs) {
    if (!file_)
        return;
    std::fwrite(line.data(), 1, line.size(), file_);
    if (nowNs - flushedNs_ >= kFlushEveryNs) {
        std::fflush(file_);
        flushedNs_ = nowNs;
    }
}

void SampleSpool::Discard() {
    if (!file_)
        return;
    std::fclose(file_);
    file_ = nullptr;
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

void SampleSpool::Keep() {
    if (!file_)
        return;
    std::fclose(file_);
    file_ = nullptr;
}

}  // namespace quenlor
