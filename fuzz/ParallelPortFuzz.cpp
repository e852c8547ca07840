// Register reads and writes over the parallel port, with status reads from the
// fuzzer, against a model of the frames and the decoding written here.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "ModelCheck.h"
#include "core/Delay.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/RecordingCursor.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "regmap/RegisterTable.h"
#include "spi/ParallelSpi.h"
#include "spi/RegisterAccess.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace {

using quenlor::DeviceHandle;

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t byte() { return at < size ? data[at++] : 0xFF; }
    std::uint16_t word() { return static_cast<std::uint16_t>(byte() << 8 | byte()); }
    bool more() const { return at < size; }
};

// The port: every write recorded, each status read the fuzzer's next byte.
struct FuzzedPort : quenlor::PortIo {
    Input* input = nullptr;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> writes;
    std::vector<std::uint16_t> reads;
    std::vector<std::uint8_t> answers;
    void vbOut(std::int16_t port, std::int16_t value) override {
        writes.emplace_back(static_cast<std::uint16_t>(port), static_cast<std::uint8_t>(value));
    }
    std::int16_t vbInp(std::int16_t port) override {
        reads.push_back(static_cast<std::uint16_t>(port));
        answers.push_back(input->byte());
        return answers.back();
    }
};

struct NoDriver : quenlor::EzUsbDriver {
    DeviceHandle open(const std::string&) override { return quenlor::kNoHandle; }
    bool ioControl(DeviceHandle, std::uint32_t, std::span<const std::uint8_t>,
                   std::span<std::uint8_t>, std::uint32_t&) override {
        return false;
    }
    void close(DeviceHandle) override {}
};

// Data-register bytes of one frame sending `word`; the line to the sensor
// carries the complement of each bit.
void ModelFrame(std::vector<std::uint8_t>& out, std::uint16_t word) {
    out.insert(out.end(), {4, 5});
    for (int bit = 15; bit >= 0; --bit) {
        const std::uint8_t d = (word >> bit & 1) ? 0 : 4;
        out.insert(out.end(),
                   {7, static_cast<std::uint8_t>(d + 3), static_cast<std::uint8_t>(d + 1), 5});
    }
    out.push_back(0);
}

std::vector<std::uint8_t> DataBytes(const FuzzedPort& port, std::uint16_t base) {
    std::vector<std::uint8_t> out;
    for (const auto& [address, value] : port.writes) {
        Check(address == base, "write outside the data register");
        out.push_back(value);
    }
    return out;
}

void CheckRead(FuzzedPort& port, quenlor::RegisterAccess& regs, const quenlor::RegisterEntry& e,
               std::int16_t index, std::uint16_t base) {
    const quenlor::ReadResult before = regs.RegisterReadResult;
    regs.ReadRegister(index);
    if (!e.ReadFlag) {
        Check(port.writes.empty() && port.reads.empty(), "unreadable register touched the port");
        Check(regs.RegisterReadResult.Value == before.Value, "unreadable register changed Value");
        return;
    }
    std::vector<std::uint8_t> expected;
    ModelFrame(expected, static_cast<std::uint16_t>((e.BaseAddr & 0x7F) << 8));
    expected.insert(expected.end(), {4, 5});
    for (int bit = 0; bit < 16; ++bit)
        expected.insert(expected.end(), {7, 5});
    expected.push_back(0);
    Check(DataBytes(port, base) == expected, "read frames");
    Check(port.reads.size() == 16, "status reads");
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        Check(port.reads[i] == static_cast<std::uint16_t>(base + 1), "status port");
        word = word << 1 | ((port.answers[i] & 0x40) == 0 ? 1u : 0u);
    }
    const std::uint32_t mask = e.ReadLen >= 32 ? 0xFFFFFFFFu : (1u << e.ReadLen) - 1;
    std::int64_t value = word & mask;
    if (e.TwosCompl && e.ReadLen > 0 && (value >> (e.ReadLen - 1) & 1))
        value -= std::int64_t{1} << e.ReadLen;
    Check(regs.RegisterReadResult.Value == value, "Value");
    const float scaled = static_cast<float>(static_cast<double>(value) * e.RegScale + e.RegOffset);
    Check(regs.RegisterReadResult.Scaled == scaled, "Scaled");
}

void CheckWrite(FuzzedPort& port, quenlor::RegisterAccess& regs, const quenlor::RegisterEntry& e,
                std::int16_t index, std::int32_t value, std::uint16_t base) {
    regs.WriteRegister(index, value);
    const std::uint8_t high = static_cast<std::uint8_t>(value / 256);
    const std::uint8_t low = static_cast<std::uint8_t>(value);
    const auto frame = [](std::int32_t address, std::uint8_t data) {
        return static_cast<std::uint16_t>(0x8000 | (address & 0x7F) << 8 | data);
    };
    std::vector<std::uint8_t> expected;
    if (index == quenlor::GLOB_CMD) {
        const bool highByte = (static_cast<std::uint32_t>(value) & 0xFFFFFF00u) != 0;
        ModelFrame(expected, highByte ? frame(e.BaseAddr + 1, high) : frame(e.BaseAddr, low));
    } else {
        ModelFrame(expected, frame(e.BaseAddr + 1, high));
        ModelFrame(expected, frame(e.BaseAddr, low));
    }
    Check(DataBytes(port, base) == expected, "write frames");
    Check(port.reads.empty(), "a write read the status");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input{data, size};
    quenlor::Settings settings;
    settings.Interface = quenlor::InterfaceParallel;
    settings.DelayCalibrated = true;
    const std::uint16_t base = input.word();
    settings.PortAddress = static_cast<std::int16_t>(base);
    quenlor::FakeClock clock;
    quenlor::RecordingCursor cursor;
    quenlor::RecordingMessageBoxes boxes;
    quenlor::Delay delay(settings, clock, cursor, [](std::int32_t, std::int32_t) {});
    FuzzedPort port;
    port.input = &input;
    NoDriver driver;
    quenlor::EzUsbAccess usb(driver, boxes);
    quenlor::UsbSpiCard usbSpi(usb, settings);
    quenlor::ParallelSpi par(settings, port, delay);
    quenlor::RegisterTable table;
    table.BuildRegisterTable();
    quenlor::RegisterAccess regs(settings, table, usbSpi, par, delay);

    for (int n = 0; n < 8 && input.more(); ++n) {
        const std::uint8_t op = input.byte();
        const auto index = static_cast<std::int16_t>(op % quenlor::kRegisterTableSize);
        port.writes.clear();
        port.reads.clear();
        port.answers.clear();
        if (op & 0x80) {
            const std::int32_t value = input.word() | (op & 0x40 ? 0x10000 : 0);
            CheckWrite(port, regs, table[index], index, value, base);
        } else {
            CheckRead(port, regs, table[index], index, base);
        }
    }
    Check(boxes.boxes.empty(), "the parallel port showed a message");
    return 0;
}
