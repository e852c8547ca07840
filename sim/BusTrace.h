#pragma once

#include <cstdint>
#include <fstream>
#include <ostream>
#include <span>
#include <string>

namespace quenlor {

// A readable log of what went over the simulated wire: every driver request
// the simulated adapter card answers and every SPI frame the simulated sensor
// (or an empty channel) answers, one line each. The simulators hold a pointer
// to it; a null pointer means no tracing and costs one test per event.
//
// Each line is flushed as it is written, so a run that is killed leaves its
// trace up to that moment. A trace stops at its size limit with one closing
// line that says so; it never grows past the limit.
class BusTrace {
  public:
    static constexpr std::uint64_t kNoLimit = UINT64_MAX;

    // Writes to a stream the caller keeps alive.
    explicit BusTrace(std::ostream& out, std::uint64_t limitBytes = kNoLimit);
    // Creates (truncates) a file; ok() tells whether it could be opened.
    explicit BusTrace(const std::string& path, std::uint64_t limitBytes = kNoLimit);

    bool ok() const { return out_ != nullptr && out_->good(); }
    // The limit was reached and the closing line written.
    bool cut() const { return cut_; }

    void open(const std::string& device, std::intptr_t handle);
    void close(std::intptr_t handle, bool known);
    // One I/O control request with its sizes and result; `data` (may be empty)
    // is the payload worth showing, such as the bytes of a bulk transfer.
    void request(const std::string& device, std::uint32_t controlCode, std::size_t inputSize,
                 std::size_t outputSize, bool ok, std::uint32_t bytesReturned,
                 std::span<const std::uint8_t> data = {});
    // One SPI frame. Channel 0 is the parallel-port board; 1..5 the card's.
    void frame(int channel, std::uint16_t sent, std::uint16_t answered);
    // A frame the sensor dropped because it was not 16 bits long.
    void droppedFrame(int channel, std::uint16_t sent, int bitCount);
    void note(const std::string& text);

    std::uint64_t lines() const { return lines_; }
    std::uint64_t size() const { return bytes_; }  // bytes written

    static const char* controlCodeName(std::uint32_t controlCode);

  private:
    void line(const std::string& text);

    void put(const std::string& text);
    std::string closingLine() const;

    std::ofstream file_;
    std::ostream* out_ = nullptr;
    std::uint64_t limit_ = kNoLimit;
    std::uint64_t closingSize_ = 0;
    std::uint64_t lines_ = 0;
    std::uint64_t bytes_ = 0;
    bool cut_ = false;
};

}  // namespace quenlor
