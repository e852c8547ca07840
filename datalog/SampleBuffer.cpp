#include "datalog/SampleBuffer.h"

#include <charconv>
#include <new>
#include <stdexcept>

namespace quenlor {

bool SampleBuffer::Reserve(std::int64_t samples, int registers) {
    if (samples < 0 || samples > LargestSampleCount(registers))
        return false;
    const std::uint64_t bytes = static_cast<std::uint64_t>(samples) * LineBound(registers);
    try {
        text_.reserve(static_cast<std::size_t>(bytes));
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

void SampleBuffer::BeginLine(std::int64_t sampleNumber, std::string_view separator) {
    AppendInteger(sampleNumber);
    text_.append(separator);
}

void SampleBuffer::AppendInteger(std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text_.append(digits, result.ptr);
}

}  // namespace quenlor
