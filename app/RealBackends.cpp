#include "app/RealBackends.h"

#include "app/NoUsbDriver.h"
#ifdef QUENLOR_HAVE_LIBUSB
#include "platform/libusb/LibUsbDriver.h"
#endif

namespace quenlor {

namespace {
std::unique_ptr<EzUsbDriver> makeUsbDriver([[maybe_unused]] MessageBoxes& messages) {
#ifdef QUENLOR_HAVE_LIBUSB
    return std::make_unique<LibUsbDriver>(messages);
#else
    return std::make_unique<NoUsbDriver>();
#endif
}
}  // namespace

RealBackends::RealBackends(MessageBoxes& messages)
    : usb_(makeUsbDriver(messages)), port_(messages) {}

RealBackends::~RealBackends() = default;

}  // namespace quenlor
