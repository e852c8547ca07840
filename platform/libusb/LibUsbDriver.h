#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>

#include "ezusb/EzUsbContract.h"
#include "platform/EzUsbDriver.h"
#include "platform/MessageBoxes.h"
#include "platform/libusb/CardNames.h"
#include "platform/libusb/HeldCards.h"
#include "platform/libusb/LibUsbCalls.h"

namespace quenlor {

// The EZ-USB driver's requests answered through libusb. Devices with the
// adapter's vendor identifier are named "Ezusb-0" .. "Ezusb-3". Cards newly
// seen take the lowest free names in bus and address order; a card keeps its
// name while it stays plugged in, and the name of an unplugged card fails to
// open until another card takes it. A card stays open between the program's
// opens (HeldCards), so an open of a held card costs no listing and a register
// read no more than its two bulk transfers; a close here only ends the
// program's use of it. The bus is listed again at an open when libusb has seen
// a device come or go since the last listing; where libusb cannot watch the
// bus (Windows), a held card is kept until a transfer on it fails, which
// closes it, and an open of a card not held lists. A search always lists, so
// a card plugged in later is found by it. A card that is there but cannot be
// opened for want of permission, or because another program holds it, is told
// once per run in a message box; the open then fails as any other.
class LibUsbDriver : public EzUsbDriver {
  public:
    static constexpr unsigned kBulkTimeoutMs = 1000;
    static constexpr std::uint16_t kLanguageEnglishUs = 0x0409;
    // What the pipe table reports as each pipe's largest transfer.
    static constexpr std::uint32_t kMaximumTransferSize = 4096;

    // On the system's libusb, started at the first open.
    explicit LibUsbDriver(MessageBoxes& messages);
    LibUsbDriver(LibUsbCalls& calls, MessageBoxes& messages);
    ~LibUsbDriver() override;
    LibUsbDriver(const LibUsbDriver&) = delete;
    LibUsbDriver& operator=(const LibUsbDriver&) = delete;

    DeviceHandle open(const std::string& deviceName) override;
    bool ioControl(DeviceHandle handle, std::uint32_t controlCode,
                   std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                   std::uint32_t& bytesReturned) override;
    void close(DeviceHandle handle) override;
    void searchStarts() override { listDue_ = true; }

  private:
    using Session = HeldCards::Card;
    struct Use {
        CardNames::Location where;
        std::uint64_t serial = 0;
    };

    // The named card, after the bus has been listed and the names brought up
    // to date; cards no longer on the bus are closed.
    std::optional<UsbDeviceSummary> findCard(int number);
    // The named card if it is held and, as far as libusb can tell, the bus has
    // not changed since the last listing, so that the name still stands for it.
    std::optional<CardNames::Location> heldCard(int number);

    // Says why the card cannot be used, where the user can mend it: once per
    // card and cause, so repeated searches do not repeat it.
    void tellOpenFailure(const UsbDeviceSummary& card, int error);
    static std::string openFailureAdvice(int error);

    bool pipeTable(const Session& s, std::span<std::uint8_t> output, std::uint32_t& returned);
    bool stringDescriptor(const Session& s, std::span<const std::uint8_t> input,
                          std::span<std::uint8_t> output, std::uint32_t& returned);
    bool bulk(const Use& use, const Session& s, bool read, std::span<const std::uint8_t> input,
              std::span<std::uint8_t> output, std::uint32_t& returned);

    std::unique_ptr<LibUsbCalls> ownCalls_;
    LibUsbCalls& calls_;
    MessageBoxes& messages_;
    std::set<std::pair<CardNames::Location, int>> told_;
    CardNames names_;
    std::optional<std::uint64_t> listedAt_;  // libusb's count of bus changes at the last listing
    bool listDue_ = false;                   // a search began since the last listing
    HeldCards held_;
    std::map<DeviceHandle, Use> uses_;
    DeviceHandle nextHandle_ = 1;
};

}  // namespace quenlor
