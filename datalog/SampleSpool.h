#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>

namespace quenlor {

// The sample lines of the file being taken, on disk as they are taken: a run
// that is killed (or loses power) keeps what it sampled up to the last second
// in "<file>.unfinished" beside the file it was making. The finished file is
// still written whole from memory; the spool is removed once it is there.
class SampleSpool {
  public:
    SampleSpool() = default;
    ~SampleSpool();
    SampleSpool(const SampleSpool&) = delete;
    SampleSpool& operator=(const SampleSpool&) = delete;

    // Creates the spool for `finalPath`. One left by an earlier run is never
    // overwritten: the next free "<file>.unfinished-N" is taken instead.
    // False when none can be created; the run then goes on without one.
    bool Open(const std::filesystem::path& finalPath, std::int64_t nowNs);
    // Writes one line; flushes to the system when a second has gone by on
    // the monotonic clock since the last flush.
    void Append(std::string_view line, std::int64_t nowNs);
    // The file is complete: the spool goes.
    void Discard();
    // Closes the spool and leaves it where it is (the file could not be made).
    void Keep();
    const std::filesystem::path& path() const { return path_; }

    static constexpr std::int64_t kFlushEveryNs = 1'000'000'000;

  private:
    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
    std::int64_t flushedNs_ = 0;
};

}  // namespace quenlor
