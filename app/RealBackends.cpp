#include "app/RealBackends.h"

#include "app/NoUsbDriver.h"
#ifdef QUENLOR_HAVE_LIBUSB
#include "platform/libusb/LibUsbDriver.h"
#endif

namespace quenlor {

namespace {
std::unique_ptr<EzUsbDriver> makeLibUsbDriver([[maybe_unused]] MessageBoxes& messages) {
#ifdef QUENLOR_HAVE_LIBUSB
    return std::make_unique<LibUsbDriver>(messages);
#else
    return nullptr;
#endif
}
}  // namespace

#ifdef _WIN32

RealBackends::RealBackends(MessageBoxes& messages)
    : Win32Backends(messages),
      libusb_(makeLibUsbDriver(messages)),
      usb_(Win32Backends::usbDriver(), libusb_.get()) {}

#else

RealBackends::RealBackends(MessageBoxes& messages)
    : usb_(makeLibUsbDriver(messages)), port_(messages) {
    if (!usb_)
        usb_ = std::make_unique<NoUsbDriver>();
}

#endif

RealBackends::~RealBackends() = default;

}  // namespace quenlor
