#include "ui/main/InterfaceLink.h"

#include "core/NumberFormat.h"

namespace quenlor {

InterfaceLink InterfaceLink::Of(MainWindowContext& ctx, bool portNeedsPreparing, bool reading) {
    InterfaceLink link;
    link.interface = ctx.settings.Interface;
    link.portAddress = ctx.settings.PortAddress;
    link.usbReady = ctx.usb.UsbReady();
    const std::int16_t index = ctx.usb.UsbSelectedIndex;
    link.cardFound =
        index >= 0 && index < 4 && ctx.usb.UsbCards[static_cast<std::size_t>(index)].Found;
    if (link.interface == InterfaceParallel) {
        link.portPrepared = !portNeedsPreparing || ctx.settings.PortIoReady;
        link.portReached = ctx.parallel.PortReachable();
    }
    link.reading = reading;
    return link;
}

bool InterfaceLink::working() const {
    if (interface == InterfaceUsb)
        return usbReady;
    if (interface == InterfaceParallel)
        return portPrepared && portReached;
    return false;
}

std::string InterfaceLink::describe(const UsbCardRecord& selected,
                                    const std::string& decimalSep) const {
    std::string text;
    if (interface == InterfaceUsb) {
        if (usbReady)
            text = "USB card " + selected.DeviceName + ", " + selected.BoardType + ", rev " +
                   FormatFixed0_0(selected.DriverRev, decimalSep) + ", USB " + selected.Speed;
        else
            text = cardFound ? "Card not answering" : "No USB card";
    } else if (interface == InterfaceParallel) {
        text = "Parallel port " + FormatHex(static_cast<std::uint16_t>(portAddress)) + " hex";
        if (!portPrepared)
            text += " not prepared";
        else if (!portReached)
            text += " not reachable";
    } else {
        text = "No interface";
    }
    if (reading && !working())
        text += " \u2014 the read loop measures nothing";
    return text;
}

}  // namespace quenlor
