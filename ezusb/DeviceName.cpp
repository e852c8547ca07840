#include "ezusb/DeviceName.h"

#include "ezusb/EzUsbContract.h"

namespace quenlor {

namespace {

constexpr const char* kPrefix = "Ezusb-";
constexpr std::size_t kPrefixLength = 6;

}  // namespace

std::string CardDeviceName(int slot) {
    return kPrefix + std::to_string(slot);
}

int CardSlot(const std::string& name) {
    if (name.size() != kPrefixLength + 1 || name.compare(0, kPrefixLength, kPrefix) != 0)
        return -1;
    const int slot = name[kPrefixLength] - '0';
    return slot >= 0 && slot < kCardSlots ? slot : -1;
}

}  // namespace quenlor
