#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "sim/SimAdapterCard.h"
#include "sim/usbbed/EmulatedCard.h"

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;

namespace quenlor {

class SimSensor;

// Adapter cards below the real libusb: umockdev presents each as the kernel
// would (its sysfs device with attributes and descriptors, its usbfs node),
// and the URBs libusb submits on the node are answered by an EmulatedCard.
// The process must run with umockdev's preload library (umockdev-wrapper, or
// LD_PRELOAD=libumockdev-preload.so.0). umockdev answers on a thread of its
// own; every call here and every answer there takes the bed's lock.
class UsbTestBed {
  public:
    UsbTestBed();
    ~UsbTestBed();
    UsbTestBed(const UsbTestBed&) = delete;
    UsbTestBed& operator=(const UsbTestBed&) = delete;

    // Whether this process runs under umockdev's preload library.
    static bool available();

    // A card on the bus at bus.address, on its own sensor.
    void plug(int bus, int address, SimSensor& sensor, const SimCardConfig& config = {});
    // The card leaves: its node fails every request, and it leaves the bus.
    void unplug(int bus, int address);
    // The card goes at the `urbs`-th bulk transfer from now; it stays listed
    // until unplug() takes it off the bus.
    void unplugAfter(int bus, int address, int urbs);
    // The card's node may not be opened by this user.
    void denyAccess(int bus, int address);

    void halt(int bus, int address, std::uint8_t endpoint);
    void holdAnswers(int bus, int address, bool hold);

    EmulatedCard::Counts counts(int bus, int address);
    void resetCounts(int bus, int address);

  private:
    struct Slot {
        std::string sysfsPath;
        std::string node;
        std::unique_ptr<EmulatedCard> card;
    };

    static int onIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* bed);
    bool answer(UMockdevIoctlClient* client);
    Slot& slot(int bus, int address);

    UMockdevTestbed* testbed_ = nullptr;
    UMockdevIoctlBase* handler_ = nullptr;
    std::mutex lock_;
    std::map<std::string, Slot> slots_;  // by node
};

}  // namespace quenlor
