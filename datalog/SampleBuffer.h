#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quenlor {

// The text lines of one datalog file's samples, held in one contiguous buffer
// that is reserved once per run and reused for every file, so a long run makes
// no allocation per sample and the file is written out in one pass.
class SampleBuffer {
  public:
    // The most a run may reserve. Lines are held until the file's last sample,
    // so this bounds the memory of a single file.
    static constexpr std::uint64_t kMaxBytes = std::uint64_t{2} << 30;

    // Upper bound of one line: the sample number (ten digits) and its
    // separator, each register's value with its separator (sixteen), CR LF.
    static constexpr std::uint64_t LineBound(int registers) {
        return 13 + 16 * static_cast<std::uint64_t>(registers < 0 ? 0 : registers);
    }
    // The largest sample count whose lines fit into kMaxBytes.
    static std::int64_t LargestSampleCount(int registers) {
        return static_cast<std::int64_t>(kMaxBytes / LineBound(registers));
    }

    // Reserves room for `samples` lines of `registers` values. False when that
    // is more than LargestSampleCount or the memory cannot be had; the buffer is
    // then left as it was.
    bool Reserve(std::int64_t samples, int registers);

    // Starts the next file; the reserved memory is kept.
    void Clear() {
        text_.clear();
        lines_ = 0;
    }

    // One line is BeginLine, any number of Append*, EndLine.
    void BeginLine(std::int64_t sampleNumber, std::string_view separator);
    void AppendInteger(std::int64_t value);
    void Append(std::string_view text) { text_.append(text); }
    void EndLine() {
        text_.append("\r\n");
        ++lines_;
    }

    std::string_view Text() const { return text_; }
    std::int64_t Lines() const { return lines_; }
    std::size_t Capacity() const { return text_.capacity(); }

  private:
    std::string text_;
    std::int64_t lines_ = 0;
};

}  // namespace quenlor
