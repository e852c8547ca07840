#include "stack/SensorStack.h"

namespace quenlor {

SensorStack::SensorStack(Backends& backends, const StackSeams& seams)
    : backends_(backends),
      seams_(seams),
      engine_(seams_.priority),
      delay_(settings_, seams_.clock, seams_.cursor, seams_.spin ? seams_.spin : BusySpin,
             seams_.spin ? DelayWait::CountedSteps : DelayWait::UntilDeadline),
      usb_(backends.usbDriver(), relay_),
      usbSpi_(usb_, settings_),
      parallel_(settings_, backends.portIo(), delay_),
      registers_(settings_, registerTable_, usbSpi_, parallel_, delay_),
      ioDriver_(backends.registry(), backends.processes(), seams_.appDir, relay_) {}

void SensorStack::ApplyStartValues() {
    // The record's own initial values are the start values; they are written
    // down once, in Settings.
    const Settings start;
    settings_.PortIoReady = start.PortIoReady;
    settings_.UsbLoopStop = start.UsbLoopStop;
    settings_.UsbSpiPolarity = start.UsbSpiPolarity;
    settings_.UsbSpiChannel = start.UsbSpiChannel;
    settings_.UsbSpiBits = start.UsbSpiBits;
    settings_.UsbSpiDelay = start.UsbSpiDelay;
    settings_.Interface = start.Interface;
}

}  // namespace quenlor
