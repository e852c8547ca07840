#include "sim/BusTrace.h"

#include <cstdio>

#include "ezusb/EzUsbContract.h"

namespace quenlor {

namespace {

std::string hex(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(value));
    return text;
}

std::string bytes(std::span<const std::uint8_t> data) {
    std::string text;
    for (std::uint8_t b : data) {
        if (!text.empty())
            text += ' ';
        text += hex(b, 2);
    }
    return text;
}

}  // namespace

BusTrace::BusTrace(std::ostream& out, std::uint64_t limitBytes)
    : out_(&out), limit_(limitBytes), closingSize_(closingLine().size() + 1) {}

std::string BusTrace::closingLine() const {
    return "note  trace cut here: it reached its size limit of " + std::to_string(limit_) +
           " bytes";
}

BusTrace::BusTrace(const std::string& path, std::uint64_t limitBytes)
    : file_(path, std::ios::out | std::ios::trunc),
      limit_(limitBytes),
      closingSize_(closingLine().size() + 1) {
    if (file_.is_open())
        out_ = &file_;
}

const char* BusTrace::controlCodeName(std::uint32_t controlCode) {
    switch (controlCode) {
        case kIoctlPipeTable:
            return "PIPE_TABLE";
        case kIoctlDeviceDescriptor:
            return "DEVICE_DESCRIPTOR";
        case kIoctlStringDescriptor:
            return "STRING_DESCRIPTOR";
        case kIoctlBulkRead:
            return "BULK_READ";
        case kIoctlBulkWrite:
            return "BULK_WRITE";
        default:
            return "UNKNOWN_REQUEST";
    }
}

void BusTrace::line(const std::string& text) {
    if (out_ == nullptr || cut_)
        return;
    // Room is kept for the closing line, so the trace ends within its limit.
    const std::uint64_t closing = closingSize_;
    const std::uint64_t room = limit_ > closing ? limit_ - closing : 0;
    if (bytes_ + text.size() + 1 > room) {
        cut_ = true;
        if (bytes_ + closing <= limit_)
            put(closingLine());
        return;
    }
    put(text);
}

void BusTrace::put(const std::string& text) {
    *out_ << text << '\n' << std::flush;
    ++lines_;
    bytes_ += text.size() + 1;
}

void BusTrace::open(const std::string& device, std::intptr_t handle) {
    line("open  " + device + (handle != 0 ? " -> handle " + std::to_string(handle) : " -> failed"));
}

void BusTrace::close(std::intptr_t handle, bool known) {
    line("close handle " + std::to_string(handle) + (known ? "" : " (unknown handle)"));
}

void BusTrace::request(const std::string& device, std::uint32_t controlCode, std::size_t inputSize,
                       std::size_t outputSize, bool ok, std::uint32_t bytesReturned,
                       std::span<const std::uint8_t> data) {
    std::string text = "ioctl " + device + " " + controlCodeName(controlCode) + " (0x" +
                       hex(controlCode, 6) + ") in " + std::to_string(inputSize) + " out " +
                       std::to_string(outputSize) + " -> " + (ok ? "ok" : "FAILED") + ", " +
                       std::to_string(bytesReturned) + " returned";
    if (!data.empty())
        text += " [" + bytes(data) + "]";
    line(text);
}

void BusTrace::frame(int channel, std::uint16_t sent, std::uint16_t answered) {
    line("spi   ch" + std::to_string(channel) + " sent " + hex(sent, 4) + " answered " +
         hex(answered, 4));
}

void BusTrace::droppedFrame(int channel, std::uint16_t sent, int bitCount) {
    line("spi   ch" + std::to_string(channel) + " sent " + hex(sent, 4) + " cut after " +
         std::to_string(bitCount) + " bits, dropped");
}

void BusTrace::note(const std::string& text) {
    line("note  " + text);
}

}  // namespace quenlor
