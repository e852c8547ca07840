#include "app/cli/CliStack.h"

#include <iostream>

#include "core/SettingsFile.h"

namespace quenlor {

namespace {

StackSeams RaisingWith(StackSeams seams, ThreadPriority& priority) {
    seams.priority = &priority;
    return seams;
}

}  // namespace

OwnedSensorStack::OwnedSensorStack(Backends& backends, const StackSeams& seams)
    : stack(backends, RaisingWith(seams, threadPriority)) {}

CliStack::CliStack(Backends& chosen, MessageBoxes& boxes, ConsoleSeams& console)
    // The pauses end at their deadline on the monotonic clock, so a call
    // needs no calibration pause at its start.
    : OwnedSensorStack(chosen, {boxes, console, console, console}),
      StackParts(stack.parts()),
      backends(chosen),
      messages(boxes),
      seams(console) {
    settings.DelayCalibrated = true;
    registerTable.BuildRegisterTable();
}

int CliStack::Open(const CliOptions& options) {
    // Read, never written: the window owns that file.
    LoadSettings(settings, seams.settingsSource(kSettingsFileName));
    if (options.interface)
        settings.Interface = *options.interface;
    else if (options.card)
        settings.Interface = InterfaceUsb;
    else if (options.port)
        settings.Interface = InterfaceParallel;
    else if (options.simulate && settings.Interface != InterfaceParallel)
        settings.Interface = InterfaceUsb;
    if (options.port)
        settings.PortAddress = *options.port;

    if (settings.Interface == InterfaceUsb)
        return OpenUsb(options);
    if (settings.Interface == InterfaceParallel) {
        OpenParallel();
        return kExitOk;
    }
    settings.Interface = InterfaceNone;
    messages.show("Please select an interface before taking data");
    std::cerr << "quenlor-cli: give --interface usb|parallel, or select one in "
              << (seams.settingsSource(kSettingsFileName) / kSettingsFileName).string()
              << std::endl;
    return kExitUsage;
}

int CliStack::OpenUsb(const CliOptions& options) {
    if (options.card) {
        usb.ScanUsbCards();
        const UsbCardRecord& card = usb.UsbCards[static_cast<std::size_t>(*options.card)];
        if (!card.Found) {
            std::cerr << "quenlor-cli: no usable card at Ezusb-" << *options.card << std::endl;
            return kExitFailed;
        }
        usb.UsbSelectedCard = card;
    } else {
        usb.FindUsbBuffers();
    }
    if (!usb.UsbReady())
        return kExitFailed;
    usbSpi.UsbSpiSetBits(settings.UsbSpiBits);
    usbSpi.UsbSpiSetup(settings.UsbSpiDelay);
    return usb.UsbReady() ? kExitOk : kExitFailed;
}

void CliStack::OpenParallel() {
    // Platform 1 is the Windows 95/98 family, which needs no I/O permission.
    if (backends.systemInfo().platformId() != 1) {
        ioDriver.InstallIoDriver();
        backends.ioPermission().giveio(settings.PortAddress);
        settings.PortIoReady = true;
        parallel.ParPortInit();
    }
}

}  // namespace quenlor
