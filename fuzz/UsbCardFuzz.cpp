// The card scan and the card commands over a driver whose answers come from
// the fuzzer, against a model of the scan and of the command protocol
// written here from the driver's script.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "ModelCheck.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "usb/EzUsbAccess.h"
#include "usb/UsbSpiCard.h"

namespace {

using quenlor::DeviceHandle;

// The driver's control codes, as the driver defines them.
constexpr std::uint32_t kPipeTable = 0x222000;
constexpr std::uint32_t kDeviceDescriptor = 0x222004;
constexpr std::uint32_t kString = 0x222044;
constexpr std::uint32_t kBulkRead = 0x22204E;
constexpr std::uint32_t kBulkWrite = 0x222051;

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t byte() { return at < size ? data[at++] : 0; }
    bool flag() { return (byte() & 7) != 0; }  // mostly true: the paths go deep
    bool more() const { return at < size; }
};

// What one device name answers, fixed for the whole run.
struct Card {
    bool opens = false, descriptorOk = false, pipeTableOk = false, writeOk = false, readOk = false;
    std::uint16_t vendor = 0, product = 0, packet3 = 0;
    std::uint8_t ep0 = 0, ep1 = 0;
    std::array<bool, 4> stringOk{};  // index 1 head, index 1 whole, index 2 head, index 2 whole
    std::array<std::vector<std::uint8_t>, 2> strings;
};

Card MakeCard(Input& in) {
    Card c;
    c.opens = in.flag();
    c.descriptorOk = in.flag();
    const std::uint8_t kind = in.byte();
    c.vendor = kind & 1 ? 0x7B1D : static_cast<std::uint16_t>(in.byte() << 8 | in.byte());
    c.product = kind & 2   ? 0xED03
                : kind & 4 ? 0xEF00
                           : static_cast<std::uint16_t>(in.byte() << 8 | in.byte());
    c.pipeTableOk = in.flag();
    c.writeOk = in.flag();
    c.readOk = in.flag();
    c.ep0 = kind & 8 ? 0x86 : 0x02;
    c.ep1 = kind & 16 ? 0x02 : 0x86;
    c.packet3 = static_cast<std::uint16_t>(in.byte() * 4);
    for (bool& ok : c.stringOk)
        ok = in.flag();
    for (auto& s : c.strings) {
        const std::size_t n = in.byte() % 12;
        for (std::size_t i = 0; i < n; ++i)
            s.push_back(in.byte());
    }
    return c;
}

struct FuzzedDriver : quenlor::EzUsbDriver {
    std::array<Card, 4>* cards = nullptr;
    std::deque<std::uint8_t>* reads = nullptr;  // bytes of bulk reads, in order
    std::vector<std::vector<std::uint8_t>> written;
    std::array<bool, 2> headDone{};

    DeviceHandle open(const std::string& name) override {
        for (int n = 0; n < 4; ++n)
            if (name == "Ezusb-" + std::to_string(n) && (*cards)[n].opens)
                return n + 1;
        return quenlor::kNoHandle;
    }
    bool ioControl(DeviceHandle h, std::uint32_t code, std::span<const std::uint8_t> input,
                   std::span<std::uint8_t> output, std::uint32_t& returned) override {
        const Card& c = (*cards)[static_cast<std::size_t>(h - 1)];
        returned = 0;
        switch (code) {
            case kDeviceDescriptor:
                if (!c.descriptorOk || output.size() < 12)
                    return false;
                output[8] = c.vendor & 0xFF, output[9] = c.vendor >> 8;
                output[10] = c.product & 0xFF, output[11] = c.product >> 8;
                returned = 18;
                return true;
            case kPipeTable:
                if (!c.pipeTableOk || output.size() < 356)
                    return false;
                std::fill(output.begin(), output.end(), 0);
                output[16] = 64, output[18] = c.ep0;
                output[36] = 64, output[38] = c.ep1;
                output[76] = c.packet3 & 0xFF, output[77] = c.packet3 >> 8;
                returned = 356;
                return true;
            case kString: {
                // A head request (4 bytes) comes first, then the whole descriptor.
                const auto which = static_cast<std::size_t>(input[0] == 1 ? 0 : 1);
                const bool whole = headDone[which];
                headDone[which] = !whole && c.stringOk[which * 2];
                if (!c.stringOk[which * 2 + whole])
                    return false;
                const auto& s = c.strings[which];
                std::size_t i = 0;
                for (; i < output.size() && i < s.size(); ++i)
                    output[i] = s[i];
                returned = static_cast<std::uint32_t>(i);
                return true;
            }
            case kBulkWrite:
                written.emplace_back(output.begin(), output.end());
                returned = static_cast<std::uint32_t>(output.size());
                return c.writeOk;
            case kBulkRead:
                if (!c.readOk)
                    return false;
                for (auto& b : output) {
                    b = reads->empty() ? 0 : reads->front();
                    if (!reads->empty())
                        reads->pop_front();
                }
                returned = static_cast<std::uint32_t>(output.size());
                return true;
        }
        return false;
    }
    void close(DeviceHandle) override {}
};

// The model: what the program must make of the cards' answers.
struct Model {
    const std::array<Card, 4>& cards;
    std::deque<std::uint8_t> reads;
    std::vector<std::string> boxes;

    // One bulk transfer on `pipe` into `buffer`; the pipe's direction comes
    // from the pipe table (zero, so OUT, when that request fails).
    bool Transfer(const Card& c, int pipe, std::vector<std::uint8_t>& buffer, std::size_t length) {
        const std::uint8_t ep = !c.pipeTableOk ? 0 : pipe == 0 ? c.ep0 : pipe == 1 ? c.ep1 : 0;
        if (ep <= 0x80)
            return c.writeOk;
        if (!c.readOk)
            return false;
        for (std::size_t i = 0; i < length; ++i) {
            buffer[i] = reads.empty() ? 0 : reads.front();
            if (!reads.empty())
                reads.pop_front();
        }
        return true;
    }
    bool String(const Card& c, int which, std::string& text) {
        const auto& s = c.strings[static_cast<std::size_t>(which)];
        if (!c.stringOk[static_cast<std::size_t>(which * 2)] ||
            !c.stringOk[static_cast<std::size_t>(which * 2 + 1)])
            return false;
        const std::size_t length = s.empty() ? 0 : s[0];
        text.clear();
        // Each character is the low byte of its UTF-16 unit, a Latin-1
        // character, which the program's texts hold as UTF-8.
        for (std::size_t i = 2; i < length && i < s.size(); i += 2) {
            const unsigned c = s[i];
            if (c < 0x80) {
                text.push_back(static_cast<char>(c));
            } else {
                text.push_back(static_cast<char>(0xC0 | (c >> 6)));
                text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            }
        }
        return true;
    }
    bool BoardInfo(const Card& c, quenlor::UsbCardRecord& r) {
        // A text that reads "None" stands for a failed read, whatever the card sent.
        if (!String(c, 0, r.Descriptor0) || r.Descriptor0 == "None")
            return false;
        if (!String(c, 1, r.Descriptor1) || r.Descriptor1 == "None")
            return false;
        std::vector<std::uint8_t> buffer{0, 0, 0};
        if (!Transfer(c, 0, buffer, 1) || !Transfer(c, 1, buffer, 2))
            return false;
        r.DriverRev = static_cast<float>(buffer[1]) / 10.0f + static_cast<float>(buffer[0]);
        const std::uint16_t packet = c.pipeTableOk ? c.packet3 : 0;
        if (packet == 0)
            return false;
        r.Speed = packet > 64 ? "2" : "1.1";
        return true;
    }
    int Scan(std::array<quenlor::UsbCardRecord, 4>& records) {
        int count = 0;
        for (std::size_t n = 0; n < 4; ++n) {
            const Card& c = cards[n];
            records[n].Found = false;
            if (!c.opens || !c.descriptorOk || c.vendor != 0x7B1D ||
                (c.product != 0xED03 && c.product != 0xEF00))
                continue;
            ++count;
            records[n].BoardType = c.product == 0xED03 ? "Tarrow" : "Kestin";
            records[n].Found = BoardInfo(c, records[n]);
            if (!records[n].Found)
                boxes.push_back("Error getting Board Info");
        }
        return count;
    }
};

void CheckScan(quenlor::EzUsbAccess& usb, Model& model, std::array<quenlor::UsbCardRecord, 4>& r) {
    const int count = model.Scan(r);
    int selected = -1;
    for (int n = 3; n >= 0; --n)
        if (r[static_cast<std::size_t>(n)].Found)
            selected = n;
    if (count == 0)
        model.boxes.push_back("No USB Buffers Found, Please Verify Setup and Restart");
    else if (selected < 0)
        model.boxes.push_back("No Valid USB Buffers Found, Please Verify Setup and Restart");
    Check(usb.UsbCardCount == count, "UsbCardCount");
    Check(usb.UsbSelectedIndex == selected, "UsbSelectedIndex");
    Check(usb.UsbReady() == (selected >= 0), "UsbReady");
    for (std::size_t n = 0; n < 4; ++n) {
        const auto& got = usb.UsbCards[n];
        Check(got.Found == r[n].Found, "Found");
        if (!got.Found)
            continue;
        Check(got.DeviceName == "Ezusb-" + std::to_string(n), "DeviceName");
        Check(got.BoardType == r[n].BoardType, "BoardType");
        Check(got.Descriptor0 == r[n].Descriptor0 && got.Descriptor1 == r[n].Descriptor1,
              "descriptor texts");
        Check(got.DriverRev == r[n].DriverRev, "DriverRev");
        Check(got.Speed == r[n].Speed, "Speed");
    }
}

void CheckTransfer(Input& in, quenlor::Settings& settings, quenlor::EzUsbAccess& usb,
                   quenlor::UsbSpiCard& spi, FuzzedDriver& driver, Model& model,
                   const quenlor::RecordingMessageBoxes& boxes) {
    const std::uint8_t n = static_cast<std::uint8_t>(1 + in.byte() % 16);
    const std::uint8_t channel = in.byte() % 8;
    const bool polarity = in.flag();
    std::vector<std::uint8_t> frame{static_cast<std::uint8_t>(polarity ? 0x0D : 0x0E),
                                    static_cast<std::uint8_t>(channel == 0  ? 1
                                                              : channel > 5 ? 5
                                                                            : channel),
                                    n};
    for (std::size_t i = 1; i <= n; ++i) {
        const std::uint8_t high = in.byte(), low = in.byte();
        spi.UsbWriteWords[i] = (high << 8 | low) | (low & 1 ? 0x30000 : 0);
        frame.insert(frame.end(), {high, low});
    }
    settings.UsbSpiChannel = channel;
    settings.UsbSpiPolarity = polarity;
    const auto before = spi.UsbReadWords;
    const bool ready = usb.UsbReady();
    driver.written.clear();
    std::uint8_t count = n;
    spi.UsbSpiTransfer(count);
    if (!ready) {
        Check(driver.written.empty() && spi.UsbReadWords == before, "a transfer without a card");
        return;
    }
    Check(settings.UsbSpiChannel == frame[1], "channel brought into 1 to 5");
    Check(spi.UsbWordCount == n, "UsbWordCount");
    const Card& card = model.cards[static_cast<std::size_t>(usb.UsbSelectedIndex)];
    const bool frameIsWritten = !card.pipeTableOk || card.ep0 <= 0x80;
    if (frameIsWritten)
        Check(!driver.written.empty() && driver.written[0] == frame, "transfer frame");
    std::vector<std::uint8_t> buffer = frame;
    auto expected = before;
    bool stillReady = true;
    if (!model.Transfer(card, 0, buffer, frame.size())) {
        model.boxes.push_back("Error Writing SPI");
        stillReady = false;
    } else if (!model.Transfer(card, 1, buffer, 2u * n)) {
        model.boxes.push_back("Error Reading SPI");
        stillReady = false;
    } else {
        for (std::size_t j = 1; j <= n; ++j)
            expected[j] = buffer[2 * j - 2] << 8 | buffer[2 * j - 1];
    }
    Check(spi.UsbReadWords == expected, "answer words");
    Check(usb.UsbReady() == stillReady, "UsbReady after a transfer");
    Check(boxes.texts() == model.boxes, "messages after a transfer");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    std::array<Card, 4> cards;
    for (Card& c : cards)
        c = MakeCard(in);
    std::deque<std::uint8_t> reads;
    for (int i = 0; i < 40; ++i)
        reads.push_back(in.byte());

    FuzzedDriver driver;
    driver.cards = &cards;
    driver.reads = &reads;
    quenlor::RecordingMessageBoxes boxes;
    quenlor::Settings settings;
    quenlor::EzUsbAccess usb(driver, boxes);
    quenlor::UsbSpiCard spi(usb, settings);
    Model model{cards, reads, {}};

    usb.FindUsbBuffers();
    std::array<quenlor::UsbCardRecord, 4> records;
    CheckScan(usb, model, records);
    Check(boxes.texts() == model.boxes, "messages of the scan");
    for (int i = 0; i < 4 && in.more(); ++i)
        CheckTransfer(in, settings, usb, spi, driver, model, boxes);
    return 0;
}
