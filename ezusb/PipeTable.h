#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ezusb/EzUsbContract.h"

namespace quenlor {

using PipeTable = std::array<std::uint8_t, kPipeTableSize>;

// One pipe entry (the Windows USB stack's pipe information).
struct PipeInformation {
    std::uint16_t maximumPacketSize = 0;
    std::uint8_t endpointAddress = 0;
    std::uint8_t interval = 0;
    std::uint32_t pipeType = 0;  // the USB transfer type numbers: 2 bulk, 3 interrupt
    std::uint32_t pipeHandle = 0;
    std::uint32_t maximumTransferSize = 0;
    std::uint32_t pipeFlags = 0;
};

// The interface header and its pipes (the Windows USB stack's interface
// information).
struct InterfaceInformation {
    std::uint8_t interfaceNumber = 0;
    std::uint8_t alternateSetting = 0;
    std::uint8_t interfaceClass = 0;
    std::uint8_t interfaceSubClass = 0;
    std::uint8_t interfaceProtocol = 0;
    std::vector<PipeInformation> pipes;
};

// The whole record: the header's length field is the size of the header and
// the pipes actually described; entries beyond them are zero. Pipes beyond
// the record's seventeen are left out.
PipeTable EncodePipeTable(const InterfaceInformation& info);

// Fields of pipe 0 .. 16; 0 for any other pipe number.
std::uint16_t PipePacketSize(const PipeTable& table, int pipe);
std::uint8_t PipeEndpointAddress(const PipeTable& table, int pipe);

}  // namespace quenlor
