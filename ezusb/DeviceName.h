#pragma once

#include <string>

namespace quenlor {

// "Ezusb-0" .. "Ezusb-3" for slots 0 .. 3.
std::string CardDeviceName(int slot);

// The slot of a driver device name; -1 for any other name.
int CardSlot(const std::string& name);

}  // namespace quenlor
