#include "sim/usbbed/EmulatedCard.h"

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quenlor {

namespace {

usbdevfs_urb& urbOf(UMockdevIoctlData* data) {
    return *reinterpret_cast<usbdevfs_urb*>(data->data);
}

// The URB's buffer, copied in from the client; written back when it is reaped.
std::uint8_t* bufferOf(UMockdevIoctlData* data) {
    UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(
        data, G_STRUCT_OFFSET(usbdevfs_urb, buffer),
        static_cast<gsize>(std::max(urbOf(data).buffer_length, 0)), nullptr);
    return buffer == nullptr ? nullptr : buffer->data;
}

std::vector<std::uint8_t> stringDescriptor(std::uint8_t index, const SimCardConfig& config) {
    if (index == 0)
        return {4, 3, 0x09, 0x04};  // English (US)
    const std::string& text = index == 1 ? config.descriptor1 : config.descriptor2;
    std::vector<std::uint8_t> d = {static_cast<std::uint8_t>(2 + 2 * text.size()), 3};
    for (const char c : text) {
        d.push_back(static_cast<std::uint8_t>(c));
        d.push_back(0);
    }
    return d;
}

}  // namespace

EmulatedCard::EmulatedCard(SimSensor& sensor, const SimCardConfig& config)
    : sensor_(sensor), config_(config), firmware_(config.revisionWhole, config.revisionTenths) {}

EmulatedCard::~EmulatedCard() {
    for (UMockdevIoctlData* urb : waitingIn_)
        umockdev_ioctl_data_unref(urb);
    for (UMockdevIoctlData* urb : finished_)
        umockdev_ioctl_data_unref(urb);
}

int EmulatedCard::submit(UMockdevIoctlData* urb) {
    if (gone_)
        return ENODEV;
    usbdevfs_urb& u = urbOf(urb);
    umockdev_ioctl_data_ref(urb);
    if (u.type == USBDEVFS_URB_TYPE_CONTROL) {
        ++counts_.control;
        control(urb);
        return 0;
    }
    if (u.type != USBDEVFS_URB_TYPE_BULK) {
        finish(urb, -EINVAL, 0);
        return 0;
    }
    const bool in = (u.endpoint & 0x80) != 0;
    ++(in ? counts_.bulkIn : counts_.bulkOut);
    if (unplugCountdown_ > 0 && --unplugCountdown_ == 0) {
        umockdev_ioctl_data_unref(urb);
        unplug();
        return ENODEV;
    }
    if (halted_.contains(u.endpoint)) {
        finish(urb, -EPIPE, 0);
    } else if (in) {
        waitingIn_.push_back(urb);
        serveAnswers();
    } else {
        const std::uint8_t* bytes = bufferOf(urb);
        const std::size_t length = static_cast<std::size_t>(std::max(u.buffer_length, 0));
        if (u.endpoint == kCommandEndpoint && bytes != nullptr) {
            if (auto answer = firmware_.run({bytes, length}, sensor_, nullptr))
                (holding_ ? held_ : answers_).push_back(std::move(*answer));
        }
        finish(urb, 0, static_cast<int>(length));
        serveAnswers();
    }
    return 0;
}

void EmulatedCard::control(UMockdevIoctlData* urb) {
    usbdevfs_urb& u = urbOf(urb);
    std::uint8_t* buffer = bufferOf(urb);
    constexpr int kSetup = 8;
    if (buffer == nullptr || u.buffer_length < kSetup) {
        finish(urb, -EINVAL, 0);
        return;
    }
    // GET_DESCRIPTOR of a string, device to host; anything else stalls.
    const bool getString = buffer[0] == 0x80 && buffer[1] == 6 && buffer[3] == 3;
    const std::uint8_t index = buffer[2];
    if (!getString || index > 2) {
        finish(urb, -EPIPE, 0);
        return;
    }
    const auto descriptor = stringDescriptor(index, config_);
    const int asked = buffer[6] | buffer[7] << 8;
    const int n = std::min({asked, u.buffer_length - kSetup, static_cast<int>(descriptor.size())});
    std::copy_n(descriptor.begin(), n, buffer + kSetup);
    finish(urb, 0, n);
}

void EmulatedCard::serveAnswers() {
    while (!waitingIn_.empty() && !answers_.empty()) {
        UMockdevIoctlData* urb = waitingIn_.front();
        waitingIn_.pop_front();
        usbdevfs_urb& u = urbOf(urb);
        const std::vector<std::uint8_t> answer = std::move(answers_.front());
        answers_.pop_front();
        std::uint8_t* buffer = bufferOf(urb);
        const int room = std::max(u.buffer_length, 0);
        const int n = std::min(room, static_cast<int>(answer.size()));
        if (buffer != nullptr)
            std::copy_n(answer.begin(), n, buffer);
        // More than the host asked for is a babble, as on the wire.
        finish(urb, static_cast<int>(answer.size()) > room ? -EOVERFLOW : 0, n);
    }
}

void EmulatedCard::finish(UMockdevIoctlData* urb, int status, int length) {
    urbOf(urb).status = status;
    urbOf(urb).actual_length = length;
    finished_.push_back(urb);
}

UMockdevIoctlData* EmulatedCard::reap() {
    if (finished_.empty())
        return nullptr;
    UMockdevIoctlData* urb = finished_.front();
    finished_.pop_front();
    return urb;  // the caller takes over the reference
}

int EmulatedCard::discard(unsigned long clientAddress) {
    const auto it = std::find_if(waitingIn_.begin(), waitingIn_.end(),
                                 [&](auto* urb) { return urb->client_addr == clientAddress; });
    if (it == waitingIn_.end())
        return EINVAL;
    UMockdevIoctlData* urb = *it;
    waitingIn_.erase(it);
    finish(urb, -ENOENT, 0);
    return 0;
}

void EmulatedCard::clearHalt(std::uint8_t endpoint) {
    ++counts_.clearHalts;
    halted_.erase(endpoint);
}

void EmulatedCard::unplug() {
    gone_ = true;
    // What was in flight ends as the host controller ends it for a device gone.
    while (!waitingIn_.empty()) {
        finish(waitingIn_.front(), -ESHUTDOWN, 0);
        waitingIn_.pop_front();
    }
}

void EmulatedCard::holdAnswers(bool hold) {
    holding_ = hold;
    if (hold)
        return;
    while (!held_.empty()) {
        answers_.push_back(std::move(held_.front()));
        held_.pop_front();
    }
    serveAnswers();
}

}  // namespace quenlor
