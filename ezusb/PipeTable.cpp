#include "ezusb/PipeTable.h"

#include <algorithm>

#include "ezusb/LittleEndian.h"

namespace quenlor {

namespace {

const std::uint8_t* Entry(const PipeTable& table, int pipe) {
    if (pipe < 0 || pipe >= static_cast<int>(kMaxPipes))
        return nullptr;
    return &table[kPipeTableHeaderSize + kPipeEntrySize * static_cast<std::size_t>(pipe)];
}

}  // namespace

PipeTable EncodePipeTable(const InterfaceInformation& info) {
    PipeTable table{};
    const std::size_t pipes = std::min(info.pipes.size(), kMaxPipes);
    // Length, InterfaceNumber, AlternateSetting, Class, SubClass, Protocol,
    // Reserved, InterfaceHandle (left 0), NumberOfPipes.
    std::uint8_t* t = table.data();
    PutLe16(t, static_cast<std::uint32_t>(kPipeTableHeaderSize + kPipeEntrySize * pipes));
    t[2] = info.interfaceNumber;
    t[3] = info.alternateSetting;
    t[4] = info.interfaceClass;
    t[5] = info.interfaceSubClass;
    t[6] = info.interfaceProtocol;
    PutLe32(t + 12, static_cast<std::uint32_t>(pipes));
    for (std::size_t n = 0; n < pipes; ++n) {
        const PipeInformation& p = info.pipes[n];
        std::uint8_t* e = t + kPipeTableHeaderSize + kPipeEntrySize * n;
        PutLe16(e, p.maximumPacketSize);
        e[2] = p.endpointAddress;
        e[3] = p.interval;
        PutLe32(e + 4, p.pipeType);
        PutLe32(e + 8, p.pipeHandle);
        PutLe32(e + 12, p.maximumTransferSize);
        PutLe32(e + 16, p.pipeFlags);
    }
    return table;
}

std::uint16_t PipePacketSize(const PipeTable& table, int pipe) {
    const std::uint8_t* e = Entry(table, pipe);
    return e != nullptr ? GetLe16(e) : 0;
}

std::uint8_t PipeEndpointAddress(const PipeTable& table, int pipe) {
    const std::uint8_t* e = Entry(table, pipe);
    return e != nullptr ? e[2] : 0;
}

}  // namespace quenlor
