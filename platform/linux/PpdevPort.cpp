#include "platform/linux/PpdevPort.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/linux/SystemPpdevCalls.h"

namespace quenlor {

namespace {

constexpr const char* kProcDir = "/proc/sys/dev/parport";

std::string hex(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

// The port number of a "parportN" entry, or -1 for other entries ("default").
long portNumber(const std::string& name) {
    const std::string prefix = "parport";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return -1;
    long n = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return -1;
        if (n < 100000)
            n = n * 10 + (name[i] - '0');
    }
    return n;
}

// The first decimal number of a base-addr text ("888\t1912\n"), or -1.
long firstNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i == text.size() || !std::isdigit(static_cast<unsigned char>(text[i])))
        return -1;
    long n = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (n < 0x1000000)
            n = n * 10 + (text[i] - '0');
    }
    return n;
}

}  // namespace

PpdevPort::PpdevPort(MessageBoxes& messages)
    : ownCalls_(std::make_unique<SystemPpdevCalls>()), messages_(messages), calls_(*ownCalls_) {}

PpdevPort::PpdevPort(MessageBoxes& messages, PpdevCalls& calls)
    : messages_(messages), calls_(calls) {}

PpdevPort::~PpdevPort() {
    closePort();
}

void PpdevPort::giveio(std::int16_t portAddress) {
    // Addresses above 7FFF hex arrive negative in the 16-bit setting.
    const auto base = static_cast<std::uint16_t>(portAddress);
    if (fd_ >= 0 && base == base_)
        return;
    closePort();
    base_ = base;

    const std::string device = findDevice(base);
    if (device.empty()) {
        report("No parallel port with the base address " + hex(base) + " (hex) was found in " +
               kProcDir +
               ". Check the port address, and that the kernel modules parport_pc and ppdev are "
               "loaded (sudo modprobe parport_pc ppdev). The parallel port has no effect "
               "until then.");
        return;
    }
    const int fd = calls_.openDevice(device);
    if (fd < 0) {
        report(openFailure(device, -fd));
        return;
    }
    // Exclusive first: a plain claim waits, without a word, for as long as
    // anyone else holds the port; an exclusive one is refused at once.
    int claimed = calls_.exclusive(fd);
    if (claimed >= 0)
        claimed = calls_.claim(fd);
    if (claimed < 0) {
        calls_.closeDevice(fd);
        // The kernel refuses an exclusive claim with ENXIO or EBUSY when the port
        // is in use, and with ENXIO already when lp is merely loaded; its own text
        // for those ("No such device or address") would only mislead.
        const int error = -claimed;
        const std::string reason = error == ENXIO || error == EBUSY
                                       ? std::string()
                                       : " (" + std::generic_category().message(error) + ")";
        report("The parallel port " + device + " could not be claimed" + reason +
               ": another program or driver uses it, such as the printer driver lp "
               "(sudo rmmod lp) or another copy of this program. The parallel port has no "
               "effect until then.");
        return;
    }
    fd_ = fd;
    device_ = device;
}

void PpdevPort::vbOut(std::int16_t port, std::int16_t value) {
    if (fd_ < 0 || static_cast<std::uint16_t>(port) != base_)
        return;
    calls_.writeData(fd_, static_cast<std::uint8_t>(value & 0xFF));
}

std::int16_t PpdevPort::vbInp(std::int16_t port) {
    if (fd_ < 0 || static_cast<std::uint16_t>(port) != static_cast<std::uint16_t>(base_ + 1)) {
        return kNoAccess;
    }
    std::uint8_t status = 0;
    if (calls_.readStatus(fd_, status) < 0)
        return kNoAccess;
    return status;
}

std::string PpdevPort::findDevice(std::uint16_t baseAddress) {
    std::vector<std::pair<long, std::string>> ports;
    for (const std::string& name : calls_.listDirectory(kProcDir)) {
        const long n = portNumber(name);
        if (n >= 0)
            ports.emplace_back(n, name);
    }
    std::sort(ports.begin(), ports.end());
    for (const auto& [n, name] : ports) {
        const auto text = calls_.readText(std::string(kProcDir) + "/" + name + "/base-addr");
        if (text && firstNumber(*text) == static_cast<long>(baseAddress))
            return "/dev/" + name;
    }
    return {};
}

std::string PpdevPort::openFailure(const std::string& device, int error) {
    const std::string noEffect = " The parallel port has no effect until then.";
    if (error == EACCES || error == EPERM) {
        const std::string group = calls_.owningGroup(device);
        if (!group.empty() && group != "root") {
            return "Permission denied opening the parallel port " + device +
                   ". Members of the group \"" + group +
                   "\" may use it: add your user to it (sudo usermod -aG " + group +
                   " $USER), then log in again." + noEffect;
        }
        return "Permission denied opening the parallel port " + device +
               ". Give your user read and write access to it." + noEffect;
    }
    if (error == ENOENT || error == ENODEV || error == ENXIO) {
        return "The parallel port " + device +
               " could not be opened: the ppdev driver is not loaded (sudo modprobe ppdev)." +
               noEffect;
    }
    return "The parallel port " + device + " could not be opened (" +
           std::generic_category().message(error) + ")." + noEffect;
}

void PpdevPort::report(const std::string& text) {
    if (reported_)
        return;
    reported_ = true;
    messages_.show(text, kAppTitle, MessageIcon::Warning);
}

void PpdevPort::closePort() {
    if (fd_ < 0)
        return;
    calls_.release(fd_);
    calls_.closeDevice(fd_);
    fd_ = -1;
    device_.clear();
}

}  // namespace quenlor
