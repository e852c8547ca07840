#include "app/SimState.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/ReplacedFile.h"

namespace quenlor {

namespace {

constexpr int kWords = 64;

bool IsOutputAddress(unsigned address) {
    return address >= SimSensor::kSupplyOut && address <= SimSensor::kZInclOut;
}

struct Word {
    bool flash = false;
    unsigned address = 0;
    unsigned value = 0;
};

// "register 12 001A" or "flash 12 001A"; false when the line is neither.
bool ParseLine(const std::string& line, Word& word) {
    char kind[16] = {};
    char rest = 0;
    if (std::sscanf(line.c_str(), "%15s %x %x %c", kind, &word.address, &word.value, &rest) != 3)
        return false;
    const std::string k = kind;
    word.flash = k == "flash";
    return (word.flash || k == "register") && word.address < 2 * kWords && word.address % 2 == 0 &&
           word.value <= 0xFFFF;
}

}  // namespace

bool SimState::Load(const std::filesystem::path& path, SimSensor& sensor, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path.string() + ": cannot be read";
        return false;
    }
    std::vector<Word> words;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        Word word;
        if (!ParseLine(line, word)) {
            error = path.string() + ": line " + std::to_string(number) +
                    ": expected \"register ADDRESS VALUE\" or \"flash ADDRESS VALUE\" in hex";
            return false;
        }
        words.push_back(word);
    }
    for (const Word& w : words) {
        const auto address = static_cast<std::uint8_t>(w.address);
        const auto value = static_cast<std::uint16_t>(w.value);
        if (w.flash)
            sensor.pokeFlashWord(address, value);
        else if (!IsOutputAddress(w.address))
            sensor.pokeWord(address, value);
    }
    return true;
}

bool SimState::Save(const std::filesystem::path& path, SimSensor& sensor) {
    std::ostringstream text;
    text << "# simulated sensor state: registers and flash, address and value in hex\n";
    std::array<char, 32> line{};
    for (const char* kind : {"register", "flash"}) {
        const bool flash = kind[0] == 'f';
        for (int a = 0; a < 2 * kWords; a += 2) {
            const auto address = static_cast<std::uint8_t>(a);
            const unsigned value = flash ? sensor.flashWord(address) : sensor.peekWord(address);
            std::snprintf(line.data(), line.size(), "%s %02X %04X\n", kind, a, value);
            text << line.data();
        }
    }
    ReplacedFile file;
    return file.Open(path) && file.Write(text.str()) && file.Commit();
}

}  // namespace quenlor
