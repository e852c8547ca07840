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
class BusTrace {
  public:
    // Writes to a stream the caller keeps alive.
    explicit BusTrace(std::ostream& out);
    // Creates (truncates) a file; ok() tells whether it could be opened.
    explicit BusTrace(const std::string& path);

    bool ok() const { return out_ != nullptr && out_->good(); }

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

    static const char* controlCodeName(std::uint32_t controlCode);

  private:
    void line(const std::string& text);

    std::ofstream file_;
    std::ostream* out_ = nullptr;
    std::uint64_t lines_ = 0;
};

}  // namespace quenlor
