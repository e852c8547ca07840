// Stands in for the I/O permission library, counting the grants asked for.
#include <cstdint>

namespace {
std::int32_t calls = 0;
}

extern "C" __declspec(dllexport) std::int32_t __stdcall giveio() {
    return ++calls;
}

extern "C" __declspec(dllexport) std::int32_t __stdcall giveioCalls() {
    return calls;
}
