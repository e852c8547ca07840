#include "ui/main/AboutText.h"

#include <cstdint>

#include "core/NumberFormat.h"
#include "core/Version.h"
#include "platform/MessageBoxes.h"

namespace quenlor {

namespace {

std::string InterfaceText(const Settings& settings) {
    switch (settings.Interface) {
        case InterfaceUsb:
            return "USB-to-SPI adapter card";
        case InterfaceParallel:
            return "parallel port at " +
                   FormatHex(static_cast<std::uint16_t>(settings.PortAddress)) + " hex";
        default:
            return "none selected";
    }
}

std::string FolderText(std::filesystem::path folder) {
    const std::u8string text = folder.make_preferred().u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

std::string AboutText(const Settings& settings, bool simulated,
                      const std::filesystem::path& settingsFolder,
                      const std::filesystem::path& datalogFolder) {
    return std::string(kAppTitle) + "\r\n" + "quenlor-eval version " + kVersion + "\r\n\r\n" +
           "Evaluation program for the Quenlor three-axis accelerometer and inclinometer.\r\n\r\n" +
           "Interface: " + InterfaceText(settings) +
           (simulated ? " (simulated sensor, no hardware connected)" : "") + "\r\n\r\n" +
           "Settings (CommPort.cfg): " + FolderText(settingsFolder) + "\r\n" +
           "Datalogs: " + FolderText(datalogFolder) + "\r\n\r\n" +
           "Licence: MIT License. Copyright (c) 2026 Quenlor Eval developers.\r\n" +
           "The licence's full text comes with the program.";
}

}  // namespace quenlor
