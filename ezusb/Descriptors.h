#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ezusb/EzUsbContract.h"

namespace quenlor {

// The standard USB device descriptor's fields, in host order.
struct DeviceDescriptor {
    std::uint8_t bLength = 0;
    std::uint8_t bDescriptorType = 0;
    std::uint16_t bcdUSB = 0;
    std::uint8_t bDeviceClass = 0;
    std::uint8_t bDeviceSubClass = 0;
    std::uint8_t bDeviceProtocol = 0;
    std::uint8_t bMaxPacketSize0 = 0;
    std::uint16_t idVendor = 0;
    std::uint16_t idProduct = 0;
    std::uint16_t bcdDevice = 0;
    std::uint8_t iManufacturer = 0;
    std::uint8_t iProduct = 0;
    std::uint8_t iSerialNumber = 0;
    std::uint8_t bNumConfigurations = 0;
};

// Its wire bytes.
std::array<std::uint8_t, kDeviceDescriptorSize> EncodeDeviceDescriptor(const DeviceDescriptor& d);
// The identifiers in an answer to the device descriptor request; 0 when the
// buffer is too short to hold them.
std::uint16_t DescriptorVendorId(std::span<const std::uint8_t> answer);
std::uint16_t DescriptorProductId(std::span<const std::uint8_t> answer);

// A string descriptor of a UTF-8 text: length, type, the text in UTF-16LE,
// cut to the 126 code units a descriptor holds.
std::vector<std::uint8_t> EncodeStringDescriptor(std::string_view utf8);

// The text of the string descriptor bytes given (as many as arrived): the low
// byte of each code unit, a single-byte (Latin-1) character, returned as UTF-8
// as every text of the program is.
std::string DecodeStringDescriptorText(std::span<const std::uint8_t> descriptor);

}  // namespace quenlor
