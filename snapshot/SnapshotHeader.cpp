#include "snapshot/SnapshotHeader.h"

#include <cstdio>

#include "core/NumberFormat.h"

namespace quenlor {

namespace {

// "2026-12-08 23:29:36": sorts as text and reads the same in every locale.
std::string IsoDateTime(const LocalDateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

}  // namespace

std::vector<std::string> SnapshotHeader(const SnapshotOrigin& origin) {
    return {"Quenlor_Eval_Rev_2 register snapshot", "taken " + IsoDateTime(origin.taken),
            origin.interface + (origin.simulated ? " (simulated)" : ""),
            "program " + origin.program};
}

std::string DescribeInterface(const Settings& settings, const UsbCardRecord& selectedCard) {
    if (settings.Interface == InterfaceParallel)
        return "interface parallel port " +
               FormatHex(static_cast<std::uint16_t>(settings.PortAddress));
    if (settings.Interface == InterfaceUsb)
        return "interface USB, card " + selectedCard.DeviceName + " (" + selectedCard.BoardType +
               ")";
    return "no interface";
}

}  // namespace quenlor
