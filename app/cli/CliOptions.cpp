#include "app/cli/CliOptions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

#include "app/front/CommandLine.h"

namespace quenlor {

namespace {

struct CommandEntry {
    std::string_view name;
    std::size_t minArgs;
    std::size_t maxArgs;
    std::string_view valueOptions;  // space-separated
    std::string_view flagOptions;
    std::string_view usage;
    std::string_view help;
};

constexpr std::array<CommandEntry, 15> kCommands = {{
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

const CommandEntry* FindCommand(std::string_view name) {
    const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                                 [&](const CommandEntry& c) { return c.name == name; });
    return it == kCommands.end() ? nullptr : &*it;
}

template <typename T>
bool ParseNumber(const std::string& text, T& out, int base = 10) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && !text.empty();
}

std::vector<std::string> Words(std::string_view list) {
    std::vector<std::string> words;
    while (!list.empty()) {
        const std::size_t space = list.find(' ');
        words.emplace_back(list.substr(0, space));
        list = space == std::string_view::npos ? std::string_view{} : list.substr(space + 1);
    }
    return words;
}

// The word after `option` in the command's usage ("[--samples N]": N).
std::string ValueName(const CommandEntry& command, const std::string& option) {
    const std::string usage(command.usage);
    const std::size_t at = usage.find(option + " ");
    if (at == std::string::npos)
        return "VALUE";
    const std::size_t from = at + option.size() + 1;
    return usage.substr(from, usage.find_first_of("] \n", from) - from);
}

// The command with its own options; its arguments are counted after the parse.
void AddCommand(CLI::App& app, const CommandEntry& entry, CliOptions& o, OptionErrors& errors) {
    CLI::App* command = app.add_subcommand(std::string(entry.name), std::string(entry.help));
    command->group("Commands (quenlor-cli COMMAND --help tells more)");
    // Options it does not know may be the sensor's, given after it.
    command->fallthrough();
    command->add_option("arguments", o.args)->group("");
    for (const std::string& name : Words(entry.valueOptions)) {
        AddValue(
            *command, name, errors,
            [&o, name](const std::string& v) {
                o.values[name] = v;
                return true;
            },
            "")
            ->type_name(ValueName(entry, name));
    }
    for (const std::string& name : Words(entry.flagOptions))
        command->add_flag_function(name, [&o, name](std::int64_t) { o.flags.insert(name); });
}

void AddSensorOptions(CLI::App& app, CliOptions& o, OptionErrors& errors) {
    const std::string group = "Sensor options";
    o.AddTo(app, group, errors);
    AddValue(
        app, "--card", errors,
        [&o](const std::string& v) {
            int card = 0;
            o.card =
                ParseNumber(v, card) && card >= 0 && card <= 3 ? std::optional(card) : std::nullopt;
            return o.card.has_value();
        },
        "--card needs a card number from 0 to 3")
        ->type_name("N")
        ->description("the USB card Ezusb-N (default: the first found)")
        ->group(group);
    AddValue(
        app, "--port", errors,
        [&o](const std::string& v) {
            int port = 0;
            const bool ok = ParseNumber(v, port, 16) && port > 0 && port <= 0x7FFF;
            o.port = ok ? std::optional(static_cast<std::int16_t>(port)) : std::nullopt;
            return ok;
        },
        "--port needs a hex port address from 1 to 7FFF")
        ->type_name("HEX")
        ->description("the parallel port's base address, e.g. 378")
        ->group(group);
    app.add_flag("--version", o.version, "the program's version")->group(group);
    app.add_flag("-h,--help", o.help, "this text, or a command's with the command")->group(group);
}

void Describe(CLI::App& app, CliOptions& o, OptionErrors& errors) {
    app.set_help_flag();
    app.allow_extras();
    app.require_subcommand(0, 1);
    app.description(
        "The sensor from a shell or a script; nothing waits for a click: messages\n"
        "go to standard error. Exit status 0 on success, 1 when the device or a\n"
        "file fails, 2 on a usage error, 130 after Ctrl-C.\n");
    AddSensorOptions(app, o, errors);
    std::map<std::string, std::string> usages{
        {"", "quenlor-cli [SENSOR OPTIONS] COMMAND [ARGUMENTS]"}};
    for (const CommandEntry& entry : kCommands)
        usages.emplace(entry.name, entry.usage);
    // Before the commands, which take the formatter they are made with.
    app.formatter(
        std::make_shared<HelpFormatter>(std::move(usages), "quenlor-cli [SENSOR OPTIONS] "));
    for (const CommandEntry& entry : kCommands)
        AddCommand(app, entry, o, errors);
}

// Words that no option or command took. A command's own option left over
// came before the command, where only the sensor's options are known.
void RefuseLeftovers(const CLI::App& app, const CliOptions& o, OptionErrors& errors) {
    const CommandEntry* command = FindCommand(o.command);
    std::vector<std::string> own;
    if (command != nullptr) {
        own = Words(command->valueOptions);
        for (std::string& flag : Words(command->flagOptions))
            own.push_back(std::move(flag));
    }
    for (const std::string& word : app.remaining()) {
        const bool before = std::count(own.begin(), own.end(), word.substr(0, word.find('='))) > 0;
        if (word.size() > 1 && word[0] == '-')
            errors.Refuse("unknown option " + word +
                          (command == nullptr || before ? "" : " for " + o.command));
        else
            errors.Refuse("unknown command " + word);
    }
}

std::string CheckCombination(const CliOptions& o) {
    if (std::string refusal = o.Refusal(); !refusal.empty())
        return refusal;
    if (o.card && o.interface == InterfaceParallel)
        return "--card names a USB card, not a parallel port";
    if (o.port && o.interface == InterfaceUsb)
        return "--port names a parallel port, not a USB card";
    if (o.help || o.version)
        return {};
    const CommandEntry* command = FindCommand(o.command);
    if (command == nullptr)
        return "no command given";
    if (o.args.size() < command->minArgs || o.args.size() > command->maxArgs)
        return "usage: quenlor-cli " + std::string(command->usage);
    return {};
}

}  // namespace

const std::string* CliOptions::Value(const std::string& option) const {
    const auto it = values.find(option);
    return it == values.end() ? nullptr : &it->second;
}

std::optional<CliOptions> CliOptions::Parse(const std::vector<std::string>& args,
                                            std::string& error) {
    CliOptions o;
    OptionErrors errors;
    CLI::App app;
    Describe(app, o, errors);
    if (ParseCommandLine(app, args, errors)) {
        for (const CLI::App* command : app.get_subcommands())
            o.command = command->get_name();
        RefuseLeftovers(app, o, errors);
        errors.Refuse(CheckCombination(o));
    }
    error = errors.first;
    if (!error.empty())
        return std::nullopt;
    return o;
}

std::string CliOptions::HelpText(const std::string& command) {
    CliOptions ignored;
    OptionErrors errors;
    CLI::App app;
    Describe(app, ignored, errors);
    if (FindCommand(command) != nullptr)
        return app.get_subcommand(command)->help();
    return app.help();
}

}  // namespace quenlor
