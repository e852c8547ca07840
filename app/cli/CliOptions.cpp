#include "app/cli/CliOptions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace quenlor {

namespace {

struct CommandSpec {
    std::string_view name;
    std::size_t minArgs;
    std::size_t maxArgs;
    std::string_view valueOptions;  // space-separated
    std::string_view flagOptions;
    std::string_view usage;
    std::string_view help;
};

constexpr std::array<CommandSpec, 15> kCommands = {{
    {"scan", 0, 0, "", "", "scan",
     "Lists the adapter cards found: name, board type, both descriptor texts,\n"
     "revision and USB speed, one line each.\n"},
    {"read", 1, 99, "", "", "read NAME...",
     "Reads registers by name (any case) and shows each as four hex digits, as a\n"
     "decimal number and scaled with its unit.\n"},
    {"write", 2, 2, "", "", "write NAME HEX",
     "Writes a hex value (up to four digits; two for a one-byte register) to a\n"
     "writable register, then reads it back.\n"},
    {"status", 0, 0, "", "", "status", "Reads DIAG_STAT and decodes its twelve status bits.\n"},
    {"clear-status", 0, 0, "", "", "clear-status",
     "Clears the status flags (GLOB_CMD 16), then shows the status as read after.\n"},
    {"flash", 0, 0, "", "", "flash",
     "Stores the settings in the sensor's flash (GLOB_CMD 64) and shows FLASH_CNT\n"
     "before and after.\n"},
    {"dump", 0, 0, "-o", "", "dump [-o FILE]",
     "Reads every register into a snapshot, on standard output or into FILE\n"
     "(written whole or not at all).\n"},
    {"restore", 1, 1, "", "--dry-run", "restore FILE [--dry-run]",
     "Writes the configuration registers of a snapshot (writable ones except\n"
     "GLOB_CMD and the identification registers), reads each back and lists any\n"
     "that did not take. --dry-run shows what would be written.\n"},
    {"compare", 1, 2, "", "--all", "compare A [B] [--all]",
     "Shows each register whose value differs between snapshot A and snapshot B\n"
     "or the sensor. Output registers, FLASH_CNT and DIAG_STAT change by\n"
     "themselves and are compared only with --all. Exit status 0 when equal, 1\n"
     "when they differ, 2 when a snapshot cannot be read.\n"},
    {"stream", 0, 0, "--registers --samples", "--raw --no-header --time",
     "stream [--registers LIST] [--samples N] [--raw] [--no-header] [--time]",
     "Reads the output registers at every data-ready sample and writes them as\n"
     "comma-separated lines, after a line of their names, until N samples or\n"
     "Ctrl-C. LIST: comma-separated output register names (default all eight).\n"
     "--raw: register values instead of scaled ones. --time: a first column\n"
     "TIME, seconds from the first sample. At the end the samples, passes a\n"
     "second and gaps (intervals over 1.5 times the median) go to standard error.\n"},
    {"log", 0, 0, "--samples --files --delay --registers --name --dir",
     "--raw --no-header --paced --overwrite",
     "log [--samples N] [--files F] [--delay MS] [--registers LIST] [--raw]\n"
     "    [--no-header] [--paced] [--overwrite] [--name BASE] [--dir FOLDER]",
     "A datalog as the datalog window runs it: F files (default 1) of N samples\n"
     "(default 1000), MS milliseconds after each sample (default 0, at most 32000),\n"
     "the output registers of LIST (default XACCL_OUT), raw values with --raw,\n"
     "no header block with --no-header, files BASE_1.csv, BASE_2.csv, ... (default\n"
     "DATALOG) in FOLDER (default the current folder). With --paced each sample\n"
     "waits for the sensor's next reading, so no row repeats one. Files of an\n"
     "earlier run that this one would replace stop it (status 1) unless --overwrite\n"
     "is given. Ctrl-C finishes the current file as Cancel does and exits with\n"
     "status 130.\n"},
    {"null", 0, 0, "--orientation --seconds --snapshot --motion-limit", "--flash",
     "null [--orientation +z|-z|+x|-x|+y|-y] [--seconds N] [--flash]\n"
     "    [--snapshot FILE] [--motion-limit MG]",
     "Zeroes the acceleration offsets with the sensor at rest: measures the mean of\n"
     "XACCL_OUT, YACCL_OUT and ZACCL_OUT for N seconds (default 5) with the axis of\n"
     "--orientation up (default +z: 0, 0, +1 g), writes the null registers that take\n"
     "the offsets away, measures again and shows both. A snapshot of every register\n"
     "is written first, to FILE (default null-undo-DATE-TIME.txt), for restore.\n"
     "A part that applies its nulls the other way round is tried once more so; when\n"
     "the offsets still do not shrink, the old registers are written back. Refused\n"
     "while the sensor moves (a deviation above MG milli-g, default 3.5). --flash\n"
     "stores the registers in flash once zeroed. Exit status 0 when every offset is\n"
     "within three standard errors (and half a step of the null), 1 when not or\n"
     "when the sensor moved.\n"},
    {"analyze", 1, 99, "--rate --registers --band --csv", "--allow-repeats --every-tau",
     "analyze FILE... [--rate HZ] [--registers LIST] [--band LOW:HIGH] [--csv OUT]\n"
     "    [--allow-repeats] [--every-tau]",
     "Noise of the samples in datalog files (comma or tab, with or without the\n"
     "header block, scaled or raw), stream output (with or without a time column)\n"
     "or CSV files with a header line: per channel the samples, rate, mean,\n"
     "standard deviation, noise density (median over LOW to HIGH hertz, default a\n"
     "decade below a quarter of the rate), white noise (the -1/2 line of the Allan\n"
     "deviation at 1 s), bias instability (its flat minimum / 0.664), random walk\n"
     "(the +1/2 line at 3 s) and the slope against TEMP_OUT where it spans 1 degree.\n"
     "The rate comes from the time column, --rate or a datalog's Begin and End\n"
     "Seconds. LIST names the columns of a file without a header line. Gaps in the\n"
     "time column are told and only the longest even stretch is analysed; rows that\n"
     "repeat (a datalog taken faster than the sensor) are refused unless\n"
     "--allow-repeats. --csv writes the curves (tau, Allan deviation and its 68 %\n"
     "bounds; frequency, density); --every-tau gives the curve at every tau\n"
     "(files of up to 65536 samples).\n"
     "Exit status 2 for a malformed file, with its line number.\n"},
    {"noise", 0, 0, "--seconds --registers --csv", "",
     "noise [--seconds N] [--registers LIST] [--csv OUT]",
     "Reads the output registers of LIST (default XACCL_OUT,YACCL_OUT,ZACCL_OUT,\n"
     "TEMP_OUT) at every data-ready sample for N seconds (default 60, at most\n"
     "86400) or until Ctrl-C, then prints the table of analyze.\n"},
    {"help", 0, 1, "", "", "help [COMMAND]", "Shows the help of quenlor-cli or of one command.\n"},
}};

const CommandSpec* FindCommand(std::string_view name) {
    const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                                 [&](const CommandSpec& c) { return c.name == name; });
    return it == kCommands.end() ? nullptr : &*it;
}

bool Listed(std::string_view list, std::string_view option) {
    while (!list.empty()) {
        const std::size_t space = list.find(' ');
        if (list.substr(0, space) == option)
            return true;
        list = space == std::string_view::npos ? std::string_view{} : list.substr(space + 1);
    }
    return false;
}

template <typename T>
bool ParseNumber(const std::string& text, T& out, int base = 10) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && !text.empty();
}

// The options that choose the sensor; false with `error` when malformed.
// `consumed` tells whether args[i] was one of them.
bool ParseGlobal(const std::vector<std::string>& args, std::size_t& i, CliOptions& o,
                 std::string& error, bool& consumed) {
    const std::string& a = args[i];
    consumed = true;
    if (a == "--simulate") {
        o.simulate = true;
        return true;
    }
    if (a == "--version") {
        o.version = true;
        return true;
    }
    static constexpr std::array<std::string_view, 9> kWithValue = {
        "--sim-trace", "--sim-state", "--sim-seed",        "--sim-rate", "--sim-motion",
        "--interface", "--card",      "--sim-orientation", "--port"};
    if (std::find(kWithValue.begin(), kWithValue.end(), a) == kWithValue.end()) {
        consumed = false;
        return true;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = a + " needs a value";
        return false;
    }
    const std::string& v = args[++i];
    std::uint32_t seed = 0;
    int card = 0;
    int port = 0;
    double rate = 0;
    if (a == "--sim-trace") {
        o.simTrace = v;
    } else if (a == "--sim-state") {
        o.simState = v;
    } else if (a == "--sim-seed" && ParseNumber(v, seed)) {
        o.simSeed = seed;
    } else if (a == "--sim-rate" &&
               std::from_chars(v.data(), v.data() + v.size(), rate).ptr == v.data() + v.size() &&
               rate > 0 && rate <= 1e6) {
        o.simRate = rate;
    } else if (a == "--sim-motion" && (v == "still" || v == "moving")) {
        o.simStill = v == "still";
    } else if (a == "--sim-orientation" && v.size() == 2 && (v[0] == '+' || v[0] == '-') &&
               v[1] >= 'x' && v[1] <= 'z') {
        o.simUp = v;
        o.simUpGiven = true;
    } else if (a == "--interface" && (v == "usb" || v == "parallel")) {
        o.interface = v == "usb" ? InterfaceUsb : InterfaceParallel;
    } else if (a == "--card" && ParseNumber(v, card) && card >= 0 && card <= 3) {
        o.card = card;
    } else if (a == "--port" && ParseNumber(v, port, 16) && port > 0 && port <= 0x7FFF) {
        o.port = static_cast<std::int16_t>(port);
    } else {
        error = "bad value for " + a + ": " + v;
        return false;
    }
    return true;
}

// A command's own option at args[i]; false with `error` when it has none of that name.
bool ParseCommandOption(const std::vector<std::string>& args, std::size_t& i,
                        const CommandSpec& command, CliOptions& o, std::string& error) {
    const std::string& a = args[i];
    if (Listed(command.flagOptions, a)) {
        o.flags.insert(a);
        return true;
    }
    if (!Listed(command.valueOptions, a)) {
        error = "unknown option " + a + " for " + std::string(command.name);
        return false;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = a + " needs a value";
        return false;
    }
    o.values[a] = args[++i];
    return true;
}

bool CheckCombination(const CliOptions& o, const CommandSpec* command, std::string& error) {
    if (!o.simulate &&
        (!o.simTrace.empty() || !o.simState.empty() || o.simSeed || o.simRate || o.simStill)) {
        error = "--sim-trace, --sim-state, --sim-seed, --sim-rate and --sim-motion need --simulate";
        return false;
    }
    if (o.simUpGiven && !o.simStill) {
        error = "--sim-orientation needs --sim-motion still";
        return false;
    }
    if (o.card && o.interface == InterfaceParallel) {
        error = "--card names a USB card, not a parallel port";
        return false;
    }
    if (o.port && o.interface == InterfaceUsb) {
        error = "--port names a parallel port, not a USB card";
        return false;
    }
    if (o.help || o.version)
        return true;
    if (command == nullptr) {
        error = "no command given";
        return false;
    }
    if (o.args.size() < command->minArgs || o.args.size() > command->maxArgs) {
        error = "usage: quenlor-cli " + std::string(command->usage);
        return false;
    }
    return true;
}

}  // namespace

const std::string* CliOptions::Value(const std::string& option) const {
    const auto it = values.find(option);
    return it == values.end() ? nullptr : &it->second;
}

std::optional<CliOptions> CliOptions::Parse(const std::vector<std::string>& args,
                                            std::string& error) {
    CliOptions o;
    const CommandSpec* command = nullptr;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool global = false;
        if (!ParseGlobal(args, i, o, error, global))
            return std::nullopt;
        if (global)
            continue;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a.size() > 1 && a[0] == '-') {
            if (command == nullptr) {
                error = "unknown option " + a;
                return std::nullopt;
            }
            if (!ParseCommandOption(args, i, *command, o, error))
                return std::nullopt;
        } else if (command == nullptr) {
            command = FindCommand(a);
            if (command == nullptr) {
                error = "unknown command " + a;
                return std::nullopt;
            }
            o.command = a;
        } else {
            o.args.push_back(a);
        }
    }
    if (!CheckCombination(o, command, error))
        return std::nullopt;
    return o;
}

std::string CliOptions::HelpText(const std::string& command) {
    if (const CommandSpec* found = FindCommand(command); found != nullptr && !command.empty())
        return "Usage: quenlor-cli [SENSOR OPTIONS] " + std::string(found->usage) + "\n\n" +
               std::string(found->help);
    std::string text =
        "Usage: quenlor-cli [SENSOR OPTIONS] COMMAND [ARGUMENTS]\n"
        "\n"
        "The sensor from a shell or a script; nothing waits for a click: messages\n"
        "go to standard error. Exit status 0 on success, 1 when the device or a\n"
        "file fails, 2 on a usage error, 130 after Ctrl-C.\n"
        "\n"
        "Commands (quenlor-cli COMMAND --help tells more):\n";
    for (const CommandSpec& c : kCommands)
        text += "  " + std::string(c.usage.substr(0, c.usage.find('\n'))) + "\n";
    text +=
        "\n"
        "Sensor options:\n"
        "  --interface usb|parallel   the interface; without it, the one CommPort.cfg\n"
        "                             beside the executable selects (never written)\n"
        "  --card N                   the USB card Ezusb-N (default: the first found)\n"
        "  --port HEX                 the parallel port's base address, e.g. 378\n"
        "  --simulate                 the simulated sensor (USB unless told otherwise)\n"
        "  --sim-state FILE           with --simulate: keep the simulated sensor's\n"
        "                             registers and flash in FILE between calls\n"
        "  --sim-seed N               with --simulate: a repeatable simulated sensor\n"
        "  --sim-rate HZ              with --simulate: the sensor's sample rate (400)\n"
        "  --sim-motion still         with --simulate: the board at rest, with noise,\n"
        "                             drift and start-up offsets (default: moving)\n"
        "  --sim-orientation UP       with --sim-motion still: the axis up, +x, -x, +y,\n"
        "                             -y, +z or -z (default +z)\n"
        "  --sim-trace FILE           with --simulate: every bus transaction to FILE\n"
        "  --version                  the program's version\n";
    return text;
}

}  // namespace quenlor
