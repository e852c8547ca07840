#include <iomanip>
#include <iostream>
#include <optional>

#include "app/cli/Commands.h"
#include "core/HexText.h"
#include "core/NumberFormat.h"
#include "regmap/SensorCommands.h"
#include "regmap/StatusRegister.h"
#include "snapshot/Snapshot.h"

namespace quenlor {

namespace {

// " g" after a value, or nothing for a register without a unit.
std::string Unit(std::int16_t index) {
    const std::string unit = UnitText(QuantityOf(index));
    return unit.empty() ? unit : " " + unit;
}

// "XACCL_NULL  001A  26  0.001586 g", as the register window shows a read.
void ShowRegister(CliRun& run, std::int16_t index) {
    RegisterAccess& r = run.stack.registers;
    r.ReadRegister(index);
    const ReadResult result = r.RegisterReadResult;
    run.out << std::left << std::setw(11) << run.stack.registerTable[index].Label << "  "
            << FormatHex4(result.Value) << "  " << std::right << std::setw(6) << result.Value
            << "  " << FormatGeneral(result.Scaled) << Unit(index) << "\n";
}

std::optional<std::int16_t> NamedRegister(CliRun& run, const std::string& name) {
    const auto index = FindRegister(run.stack.registerTable, name);
    if (!index)
        std::cerr << "quenlor-cli: unknown register " << name
                  << "; the registers are: " << RegisterNames(run.stack.registerTable) << std::endl;
    return index;
}

std::optional<std::int32_t> HexValue(const std::string& text, std::int32_t max) {
    const auto value = ParseHexDigits(text, 4);
    if (!value || *value > static_cast<std::uint32_t>(max))
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

}  // namespace

int RunScan(CliRun& run) {
    EzUsbAccess& usb = run.stack.usb;
    usb.FindUsbBuffers();
    for (const UsbCardRecord& card : usb.UsbCards) {
        if (!card.Found)
            continue;
        run.out << card.DeviceName << "  " << card.BoardType << "  " << card.Descriptor0 << "  "
                << card.Descriptor1 << "  rev " << FormatGeneral(card.DriverRev) << "  USB "
                << card.Speed << "\n";
    }
    return usb.UsbSelectedIndex >= 0 ? kExitOk : kExitFailed;
}

int RunRead(CliRun& run) {
    std::vector<std::int16_t> indexes;
    for (const std::string& name : run.options.args) {
        const auto index = NamedRegister(run, name);
        if (!index)
            return kExitUsage;
        indexes.push_back(*index);
    }
    for (std::int16_t index : indexes)
        ShowRegister(run, index);
    return kExitOk;
}

int RunWrite(CliRun& run) {
    const auto index = NamedRegister(run, run.options.args[0]);
    if (!index)
        return kExitUsage;
    const RegisterEntry& entry = run.stack.registerTable[*index];
    if (!entry.WriteFlag) {
        std::cerr << "quenlor-cli: " << entry.Label << " is read-only and cannot be written"
                  << std::endl;
        return kExitUsage;
    }
    const std::string& text = run.options.args[1];
    const auto value = HexValue(text, entry.NumBytes == 1 ? 0xFF : 0xFFFF);
    if (!value) {
        std::cerr << "quenlor-cli: " << text << " is not a hex value for " << entry.Label << " ("
                  << (entry.NumBytes == 1 ? "00 to FF" : "0000 to FFFF") << ")" << std::endl;
        return kExitUsage;
    }
    run.stack.registers.WriteRegister(*index, *value);
    run.stack.delay.DelayMs(100);
    ShowRegister(run, *index);
    return kExitOk;
}

int RunStatus(CliRun& run) {
    RegisterAccess& r = run.stack.registers;
    r.ReadRegister(DIAG_STAT);
    const std::int32_t value = r.RegisterReadResult.Value;
    run.out << "DIAG_STAT  " << FormatHex4(value) << "\n";
    for (std::size_t bit = 0; bit < kStatusBits.size(); ++bit)
        run.out << "  " << std::left << std::setw(26) << kStatusBits[bit].name
                << StatusStateText(value, bit) << "\n";
    return kExitOk;
}

int RunClearStatus(CliRun& run) {
    run.stack.registers.WriteRegister(GLOB_CMD, kClearStatusCommand);
    run.stack.delay.DelayMs(50);
    return RunStatus(run);
}

int RunFlash(CliRun& run) {
    RegisterAccess& r = run.stack.registers;
    r.ReadRegister(FLASH_CNT);
    const std::int32_t before = r.RegisterReadResult.Value;
    r.WriteRegister(GLOB_CMD, kFlashUpdateCommand);
    run.stack.delay.DelayMs(250);
    r.ReadRegister(FLASH_CNT);
    const std::int32_t after = r.RegisterReadResult.Value;
    run.out << "FLASH_CNT before  " << before << "\nFLASH_CNT after   " << after << "\n";
    if (after == before) {
        std::cerr << "quenlor-cli: the flash update was not counted" << std::endl;
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace quenlor
