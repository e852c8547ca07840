#pragma once

#include <string>
#include <vector>

#include "core/Settings.h"
#include "platform/Clock.h"
#include "usb/UsbCardRecord.h"

namespace quenlor {

// When, from where and by what a snapshot was taken.
struct SnapshotOrigin {
    LocalDateTime taken;
    std::string interface;  // DescribeInterface's text
    bool simulated = false;
    std::string program;  // "quenlor-cli 1.4.0"
};

// The snapshot's comment lines, the same from every program:
//   Quenlor_Eval_Rev_2 register snapshot
//   taken 2026-12-08 23:29:36
//   interface USB, card Ezusb-0 (Tarrow) (simulated)
//   program quenlor-cli 1.4.0
std::vector<std::string> SnapshotHeader(const SnapshotOrigin& origin);

// "interface USB, card Ezusb-0 (Tarrow)", "interface parallel port 378", or
// "no interface", for the interface the settings choose and the selected card.
std::string DescribeInterface(const Settings& settings, const UsbCardRecord& selectedCard);

}  // namespace quenlor
