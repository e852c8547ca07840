// The settings-file reader against a model of the file's rules written here,
// and the writer's file read back to the same values.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ModelCheck.h"
#include "core/SettingsFile.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own for the run, removed at exit.
struct RunFolder {
    fs::path path;
    ~RunFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

const fs::path& Folder() {
    static const RunFolder folder{[] {
        // In memory where there is such a folder: the writer syncs every file.
        const fs::path root =
            fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        const fs::path p = root / ("quenlor-fuzz-" + std::to_string(getpid()));
        fs::create_directories(p);
        return p;
    }()};
    return folder.path;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A decimal integer with at most one sign, blanks around it; false otherwise.
bool ModelNumber(std::string text, long long& value) {
    std::size_t a = 0, b = text.size();
    while (a < b && IsBlank(text[a]))
        ++a;
    while (b > a && IsBlank(text[b - 1]))
        --b;
    text = text.substr(a, b - a);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.erase(0, 1);
    }
    if (text.empty())
        return false;
    long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v < 100000000 ? v * 10 + (c - '0') : v;
    }
    value = negative ? -v : v;
    return true;
}

void ModelLine(std::string line, quenlor::Settings& s) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::size_t start = 0;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    line = line.substr(start);
    line = line.substr(0, line.find(','));
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 2 > line.size())
        return;
    const std::string key = line.substr(0, eq - 1);
    long long v = 0;
    if (!ModelNumber(line.substr(eq + 2), v))
        return;
    const bool isPort = key == "Port Address";
    if (isPort && v >= 32768 && v <= 65535)
        v -= 65536;
    if (v < -32768 || v > 32767)
        return;
    if (key == "Interface")
        s.Interface = static_cast<std::int16_t>(v);
    else if (isPort)
        s.PortAddress = static_cast<std::int16_t>(v);
    else if (key == "ProductNumber")
        s.ProductNumber = static_cast<std::int16_t>(v);
}

std::string PrintFormat(int v) {
    return (v < 0 ? "-" : " ") + std::to_string(v < 0 ? -v : v) + " ";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const fs::path file = Folder() / quenlor::kSettingsFileName;
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

    quenlor::Settings read;
    quenlor::LoadSettings(read, Folder());

    quenlor::Settings model;
    std::size_t from = 0;
    while (from < bytes.size()) {
        const std::size_t nl = bytes.find('\n', from);
        const std::size_t end = nl == std::string::npos ? bytes.size() : nl;
        ModelLine(bytes.substr(from, end - from), model);
        from = end + 1;
    }
    Check(read.Interface == model.Interface, "Interface");
    Check(read.PortAddress == model.PortAddress, "Port Address");
    Check(read.ProductNumber == model.ProductNumber, "ProductNumber");

    quenlor::SaveSettings(read, Folder());
    std::ifstream in(file, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), {}};
    Check(written == "Interface = " + PrintFormat(read.Interface) +
                         "\r\nPort Address = " + PrintFormat(read.PortAddress) +
                         "\r\nProductNumber = " + PrintFormat(read.ProductNumber) + "\r\n",
          "written file");
    quenlor::Settings again;
    quenlor::LoadSettings(again, Folder());
    Check(again.Interface == read.Interface && again.PortAddress == read.PortAddress &&
              again.ProductNumber == read.ProductNumber,
          "read back");
    return 0;
}
