#pragma once

#include <cstdint>
#include <string>

#include "ui/common/WindowContexts.h"

namespace quenlor {

// What the program talks to at this moment, as far as it can know without
// sending anything: cheap to take and compare on every pass of the read loop.
struct InterfaceLink {
    std::int16_t interface = InterfaceNone;
    std::int16_t portAddress = 0;
    // The parallel port was prepared in this run, or needs no preparation.
    bool portPrepared = false;
    bool portReached = false;
    bool usbReady = false;
    // The card the last scan selected was found then (a card that stops
    // answering keeps this while UsbReady falls).
    bool cardFound = false;
    bool reading = false;

    bool operator==(const InterfaceLink&) const = default;

    // `portNeedsPreparing`: the system is NT-class, where the port is usable
    // only once its I/O permission was given.
    static InterfaceLink Of(MainWindowContext& ctx, bool portNeedsPreparing, bool reading);

    // True when a register read is a measurement.
    bool working() const;
    // The status bar's words for it, e.g. "Parallel port 378 hex".
    std::string describe(const UsbCardRecord& selected, const std::string& decimalSep) const;
};

}  // namespace quenlor
