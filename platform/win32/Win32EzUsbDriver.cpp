#include "platform/win32/Win32EzUsbDriver.h"

#include <windows.h>

#include "ezusb/DeviceName.h"

namespace quenlor {

namespace {

HANDLE toHandle(DeviceHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

DeviceHandle Win32EzUsbDriver::open(const std::string& deviceName) {
    // Only the driver's own device names: any other text after "\\.\" would
    // open whatever device or pipe of the system carries that name.
    if (CardSlot(deviceName) < 0)
        return kNoHandle;
    const std::string path = "\\\\.\\" + deviceName;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE || h == nullptr)
        return kNoHandle;
    return reinterpret_cast<DeviceHandle>(h);
}

bool Win32EzUsbDriver::ioControl(DeviceHandle handle, std::uint32_t controlCode,
                                 std::span<const std::uint8_t> input,
                                 std::span<std::uint8_t> output, std::uint32_t& bytesReturned) {
    DWORD returned = 0;
    const BOOL ok =
        DeviceIoControl(toHandle(handle), controlCode, const_cast<std::uint8_t*>(input.data()),
                        static_cast<DWORD>(input.size()), output.data(),
                        static_cast<DWORD>(output.size()), &returned, nullptr);
    bytesReturned = returned;
    return ok != FALSE;
}

void Win32EzUsbDriver::close(DeviceHandle handle) {
    if (handle != kNoHandle)
        CloseHandle(toHandle(handle));
}

}  // namespace quenlor
