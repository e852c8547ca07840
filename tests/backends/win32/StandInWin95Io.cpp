// Stands in for the port-I/O library: a port space in memory, each address
// reading back what was last written to it.
#include <cstdint>

namespace {
std::int16_t ports[65536];
}

extern "C" __declspec(dllexport) void __stdcall vbOut(std::int16_t port, std::int16_t value) {
    ports[static_cast<std::uint16_t>(port)] = value;
}

extern "C" __declspec(dllexport) std::int16_t __stdcall vbInp(std::int16_t port) {
    return ports[static_cast<std::uint16_t>(port)];
}
