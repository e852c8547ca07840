#include "sim/usbbed/UsbTestBed.h"

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <sys/stat.h>
#include <umockdev.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace quenlor {

namespace {

std::string nodeName(int bus, int address) {
    char name[32];
    std::snprintf(name, sizeof name, "/dev/bus/usb/%03d/%03d", bus, address);
    return name;
}

void put16(std::vector<std::uint8_t>& d, unsigned v) {
    d.push_back(static_cast<std::uint8_t>(v));
    d.push_back(static_cast<std::uint8_t>(v >> 8));
}

// What sysfs gives libusb as "descriptors": the device descriptor, then the
// active configuration with interface 0 and the card's four bulk endpoints.
std::string descriptorsHex(const SimCardConfig& c) {
    const bool highSpeed = c.pipe3PacketSize > SimCardConfig::kFullSpeedPacket;
    const unsigned packet =
        highSpeed ? SimCardConfig::kHighSpeedPacket : SimCardConfig::kFullSpeedPacket;
    std::vector<std::uint8_t> d = {18, 1};
    put16(d, highSpeed ? 0x0200 : 0x0110);
    d.insert(d.end(), {0xFF, 0xFF, 0xFF, 64});
    put16(d, c.vendorId);
    put16(d, c.productId);
    put16(d, static_cast<unsigned>(c.revisionWhole << 8 | c.revisionTenths));
    d.insert(d.end(), {1, 2, 0, 1});
    const std::uint8_t endpoints[4] = {0x02, 0x86, 0x04, 0x88};
    d.insert(d.end(), {9, 2});
    put16(d, 9 + 9 + 7 * 4);
    d.insert(d.end(), {1, 1, 0, 0x80, 50});
    d.insert(d.end(), {9, 4, 0, 0, 4, 0xFF, 0, 0, 0});
    for (int n = 0; n < 4; ++n) {
        d.insert(d.end(), {7, 5, endpoints[n], 2});
        put16(d, n == 3 ? c.pipe3PacketSize : packet);
        d.push_back(0);
    }
    std::string hex;
    for (const std::uint8_t b : d) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", b);
        hex += two;
    }
    return hex;
}

}  // namespace

UsbTestBed::UsbTestBed() : testbed_(umockdev_testbed_new()), handler_(umockdev_ioctl_base_new()) {
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&UsbTestBed::onIoctl), this);
}

UsbTestBed::~UsbTestBed() {
    for (auto& [node, s] : slots_)
        umockdev_testbed_detach_ioctl(testbed_, node.c_str(), nullptr);
    g_object_unref(handler_);
    g_object_unref(testbed_);
}

bool UsbTestBed::available() {
    // umockdev_in_mock_environment() does not tell it in every umockdev version.
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.find("libumockdev-preload") != std::string::npos)
            return true;
    }
    return false;
}

void UsbTestBed::plug(int bus, int address, SimSensor& sensor, const SimCardConfig& config) {
    const std::string node = nodeName(bus, address);
    const std::string sysfs = "/devices/usb" + std::to_string(bus) + "/" + std::to_string(bus) +
                              "-" + std::to_string(address);
    {
        std::lock_guard<std::mutex> hold(lock_);
        slots_[node] = {"/sys" + sysfs, node, std::make_unique<EmulatedCard>(sensor, config)};
    }
    // The node answers before the device is announced, so an open never misses it.
    if (umockdev_testbed_attach_ioctl(testbed_, node.c_str(), handler_, nullptr) == 0)
        throw std::runtime_error("umockdev cannot emulate " + node);
    char busText[8];
    char addressText[8];
    std::snprintf(busText, sizeof busText, "%03d", bus);
    std::snprintf(addressText, sizeof addressText, "%03d", address);
    const std::string text = "P: " + sysfs + "\nN: " + node.substr(5) +
                             "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n" +
                             "E: DRIVER=usb\nE: BUSNUM=" + busText + "\nE: DEVNUM=" + addressText +
                             "\nE: DEVNAME=" + node + "\nA: busnum=" + std::to_string(bus) +
                             "\\n\nA: devnum=" + std::to_string(address) +
                             "\\n\nA: bConfigurationValue=1\\n\nA: speed=480\\n\nH: descriptors=" +
                             descriptorsHex(config) + "\n";
    GError* error = nullptr;
    if (umockdev_testbed_add_from_string(testbed_, text.c_str(), &error) == 0) {
        const std::string why = error != nullptr ? error->message : "?";
        g_clear_error(&error);
        throw std::runtime_error("umockdev cannot add " + node + ": " + why);
    }
}

void UsbTestBed::unplug(int bus, int address) {
    std::string sysfs;
    {
        std::lock_guard<std::mutex> hold(lock_);
        Slot& s = slot(bus, address);
        s.card->unplug();
        sysfs = s.sysfsPath;
    }
    // Removing the device does not announce it; the kernel would.
    umockdev_testbed_uevent(testbed_, sysfs.c_str(), "remove");
    umockdev_testbed_remove_device(testbed_, sysfs.c_str());
}

void UsbTestBed::unplugAfter(int bus, int address, int urbs) {
    std::lock_guard<std::mutex> hold(lock_);
    slot(bus, address).card->unplugAfter(urbs);
}

void UsbTestBed::denyAccess(int bus, int address) {
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    const std::string path = std::string(root) + nodeName(bus, address);
    g_free(root);
    ::chmod(path.c_str(), 0);
}

void UsbTestBed::halt(int bus, int address, std::uint8_t endpoint) {
    std::lock_guard<std::mutex> hold(lock_);
    slot(bus, address).card->halt(endpoint);
}

void UsbTestBed::holdAnswers(int bus, int address, bool hold) {
    std::lock_guard<std::mutex> guard(lock_);
    slot(bus, address).card->holdAnswers(hold);
}

EmulatedCard::Counts UsbTestBed::counts(int bus, int address) {
    std::lock_guard<std::mutex> hold(lock_);
    return slot(bus, address).card->counts();
}

void UsbTestBed::resetCounts(int bus, int address) {
    std::lock_guard<std::mutex> hold(lock_);
    slot(bus, address).card->counts() = {};
}

UsbTestBed::Slot& UsbTestBed::slot(int bus, int address) {
    const auto it = slots_.find(nodeName(bus, address));
    if (it == slots_.end())
        throw std::out_of_range("no card at " + nodeName(bus, address));
    return it->second;
}

int UsbTestBed::onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* bed) {
    return static_cast<UsbTestBed*>(bed)->answer(client) ? 1 : 0;
}

bool UsbTestBed::answer(UMockdevIoctlClient* client) {
    std::lock_guard<std::mutex> hold(lock_);
    const auto it = slots_.find(umockdev_ioctl_client_get_devnode(client));
    if (it == slots_.end())
        return false;
    EmulatedCard& card = *it->second.card;
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    const auto done = [&](int error) {
        umockdev_ioctl_client_complete(client, error == 0 ? 0 : -1, error);
        return true;
    };
    switch (umockdev_ioctl_client_get_request(client)) {
        case USBDEVFS_GET_CAPABILITIES: {
            ++card.counts().others;
            UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
            const guint32 value = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                  USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
            std::memcpy(caps->data, &value, sizeof value);
            return done(card.gone() ? ENODEV : 0);
        }
        case USBDEVFS_SUBMITURB: {
            UMockdevIoctlData* urb =
                umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
            return done(urb == nullptr ? EFAULT : card.submit(urb));
        }
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY: {
            ++card.counts().reaps;
            UMockdevIoctlData* urb = card.reap();
            if (urb == nullptr)
                return done(card.gone() ? ENODEV : EAGAIN);
            UMockdevIoctlData* out = umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), nullptr);
            umockdev_ioctl_data_set_ptr(out, 0, urb);
            umockdev_ioctl_data_unref(urb);
            return done(0);
        }
        case USBDEVFS_DISCARDURB: {
            unsigned long address = 0;
            std::memcpy(&address, arg->data, sizeof address);
            return done(card.discard(address));
        }
        case USBDEVFS_CLEAR_HALT: {
            UMockdevIoctlData* ep = umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned), nullptr);
            unsigned endpoint = 0;
            std::memcpy(&endpoint, ep->data, sizeof endpoint);
            card.clearHalt(static_cast<std::uint8_t>(endpoint));
            return done(card.gone() ? ENODEV : 0);
        }
        default:
            // Claims, releases and driver queries: a card without a kernel driver.
            ++card.counts().others;
            return done(card.gone() ? ENODEV : 0);
    }
}

}  // namespace quenlor
