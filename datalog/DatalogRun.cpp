#include "datalog/DatalogRun.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

#include "core/NumberFormat.h"
#include "core/ReplacedFile.h"
#include "datalog/DatalogHeader.h"
#include "datalog/DatalogNaming.h"
#include "regmap/StatusRegister.h"

namespace quenlor {

namespace {

// Far beyond the sensor's slowest sample period.
constexpr std::int64_t kPaceGiveUpNs = 500'000'000;

// The whole part of a count (2.5 gives 2).
std::int64_t WholeCount(double value) {
    if (!(value > 0))
        return 0;
    if (value >= 9.0e18)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(std::trunc(value));
}

std::string FileAccessMessage(const std::string& fileName) {
    return "\r\nFILE ACCESS ERROR\r\n\r\nFile name = " + fileName +
           "\r\n\r\nThis file may already be open by another application.\r\n\r\nClose the file "
           "or choose a different file name.";
}

std::string WriteFailureMessage(const std::string& fileName) {
    return "The datalog file " + fileName +
           " could not be written completely; the disk may be full.\r\n\r\nThe run has ended. "
           "The files finished before it are kept.";
}

std::string TooManySamplesMessage(std::int64_t wanted, std::int64_t largest) {
    return "Samples per File is too large: the sample lines of one file (" +
           std::to_string(wanted) + " samples) cannot be held in memory.\r\n\r\nThe largest " +
           "Samples per File that fits is " + std::to_string(largest) + ".";
}

// The largest count that can be reserved, when `wanted` could not be.
std::int64_t LargestReservable(std::int64_t wanted, int registers) {
    std::int64_t largest = SampleBuffer::LargestSampleCount(registers);
    if (wanted <= largest) {
        // Within the limit, yet the memory was not there: find what is.
        largest = wanted / 2;
        SampleBuffer probe;
        while (largest > 0 && !probe.Reserve(largest, registers))
            largest /= 2;
    }
    return largest;
}

std::filesystem::path PathFromUtf8(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

}  // namespace

std::string ReplacedFilesText(const std::vector<std::string>& files) {
    if (files.size() == 1)
        return "This run would replace 1 file of an earlier run, " + files[0] + ".";
    return "This run would replace " + std::to_string(files.size()) +
           " files of an earlier run, the first of them " + files.front() + ".";
}

DatalogRun::DatalogRun(const DatalogServices& services, DatalogHost& host)
    : services_(services), host_(host) {}

double DatalogRun::Value(const std::string& text) const {
    return LeadingNumber(text, services_.locale.groupSeparator());
}

int DatalogRun::SelectedCount() {
    int count = 0;
    for (int i = 1; i <= kDatalogSelectionCount; ++i)
        count += host_.IsSelected(i) ? 1 : 0;
    return count;
}

bool DatalogRun::Prepare(const DatalogChoices& choices) {
    choices_ = choices;
    // Sized from the value rounded to the nearest whole number, never less than a file takes.
    const std::int64_t wanted = WholeCount(RoundHalfEven(Value(choices.samplesPerFile)));
    const int selected = SelectedCount();
    prepared_ = lines_.Reserve(wanted, selected);
    if (!prepared_) {
        services_.messages.show(TooManySamplesMessage(wanted, LargestReservable(wanted, selected)),
                                kAppTitle, MessageIcon::Warning);
    }
    return prepared_;
}

std::vector<std::string> DatalogRun::FilesToReplace() const {
    const std::string extension =
        ChooseDatalogFormat(services_.locale.decimalSeparator()).extension;
    const std::string prefix = choices_.baseName + "_";
    const std::int64_t files = WholeCount(Value(choices_.filesPerSession));
    std::vector<std::pair<std::int64_t, std::string>> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(services_.appDir.dataDirectory(), ec), end;
         !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        const std::u8string u8 = it->path().filename().u8string();
        const std::string name(u8.begin(), u8.end());
        if (name.size() <= prefix.size() + extension.size() || !name.starts_with(prefix) ||
            !name.ends_with(extension))
            continue;
        const std::string digits =
            name.substr(prefix.size(), name.size() - prefix.size() - extension.size());
        std::int64_t number = 0;
        const auto [at, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (error == std::errc() && at == digits.data() + digits.size() && digits[0] != '0' &&
            number <= files && DatalogFileName(choices_.baseName, number, extension) == name)
            found.emplace_back(number, name);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> names;
    for (auto& f : found)
        names.push_back(std::move(f.second));
    return names;
}

void DatalogRun::RunDatalog() {
    if (!prepared_)
        return;
    const std::string decimal = services_.locale.decimalSeparator();
    const DatalogFormat format = ChooseDatalogFormat(decimal);
    separator_ = format.separator;
    extension_ = format.extension;
    decimal_ = Latin1FromUtf8(decimal);
    lastDelayText_.clear();
    delayMs_ = 0.0;
    host_.RunBegun(extension_);

    // An installed program's datalog folder is made on its first run; a
    // failure shows as the first file's access error.
    std::error_code madeFolder;
    std::filesystem::create_directories(services_.appDir.dataDirectory(), madeFolder);

    const std::int64_t files = WholeCount(Value(choices_.filesPerSession));
    for (std::int64_t f = 1; f <= files; ++f) {
        if (!WriteFile(f, files))
            break;
    }
    prepared_ = false;
    host_.RunEnded();
}

// One file from opening to closing; false when the run ends with it.
bool DatalogRun::WriteFile(std::int64_t file, std::int64_t files) {
    const std::string name = DatalogFileName(choices_.baseName, file, extension_);
    const std::string nameBytes = Latin1FromUtf8(name);
    ReplacedFile out;
    const std::filesystem::path path = services_.appDir.dataDirectory() / PathFromUtf8(name);
    if (!IsPlainBaseName(choices_.baseName) || !out.Open(path)) {
        services_.messages.show(FileAccessMessage(nameBytes), kAppTitle, MessageIcon::Warning);
        return false;
    }
    spool_.Open(path, services_.clock.monotonicNanoseconds());
    // The progress display counts in int.
    const std::int64_t samples = std::min<std::int64_t>(WholeCount(Value(choices_.samplesPerFile)),
                                                        std::numeric_limits<std::int32_t>::max());
    host_.FileBegun(file, files, samples);
    host_.Yield();

    const float begin = services_.clock.secondsSinceMidnight();
    const bool cancelled = TakeSamples(samples);
    const float end = services_.clock.secondsSinceMidnight();

    if (!choices_.noHeader)
        out.Write(HeaderText(nameBytes, begin, end));
    out.Write(lines_.Text());
    if (!out.Commit()) {
        // The samples stay in the spool.
        spool_.Keep();
        services_.messages.show(WriteFailureMessage(nameBytes), kAppTitle, MessageIcon::Warning);
        return false;
    }
    spool_.Discard();
    return !cancelled;
}

// The file's samples; true when a cancel ended them early.
bool DatalogRun::TakeSamples(std::int64_t samples) {
    lines_.Clear();
    for (std::int64_t s = 1; s <= samples; ++s) {
        if (choices_.paced && !AwaitDataReady())
            return true;
        const std::size_t from = lines_.Text().size();
        TakeSample(s);
        spool_.Append(lines_.Text().substr(from), services_.clock.monotonicNanoseconds());
        Pause();
        host_.SampleTaken(s);
        host_.Yield();
        if (host_.CancelRequested())
            return true;
    }
    return false;
}

// Polls the data-ready bit of DIAG_STAT until it is set; false when the user
// cancels meanwhile. A sensor that keeps it clear for kPaceGiveUpNs is not
// waited for any longer, so that a run never hangs on it.
bool DatalogRun::AwaitDataReady() {
    RegisterAccess& registers = services_.registers;
    const std::int64_t start = services_.clock.monotonicNanoseconds();
    for (;;) {
        registers.ReadRegister(DIAG_STAT);
        if (IsDataReady(registers.RegisterReadResult.Value))
            return true;
        host_.Yield();
        if (host_.CancelRequested())
            return false;
        if (services_.clock.monotonicNanoseconds() - start > kPaceGiveUpNs)
            return true;
    }
}

void DatalogRun::TakeSample(std::int64_t sample) {
    RegisterAccess& registers = services_.registers;
    lines_.BeginLine(sample, separator_);
    for (int i = 1; i <= kDatalogSelectionCount; ++i) {
        if (!host_.IsSelected(i))
            continue;
        registers.ReadRegister(static_cast<std::int16_t>(i));
        if (host_.NoScale()) {
            lines_.AppendInteger(registers.RegisterReadResult.Value);
        } else {
            lines_.Append(FormatGeneral(registers.RegisterReadResult.Scaled, decimal_));
        }
        lines_.Append(separator_);
    }
    lines_.EndLine();
}

void DatalogRun::Pause() {
    // The text is parsed again only when it changed.
    std::string delayText = host_.SampleDelayText();
    if (delayText != lastDelayText_) {
        delayMs_ = Value(delayText);
        lastDelayText_ = std::move(delayText);
    }
    if (delayMs_ > 0)
        services_.delay.DelayMs(static_cast<float>(delayMs_));
}

std::string DatalogRun::HeaderText(const std::string& fileName, float begin, float end) {
    DatalogHeader header;
    header.fileName = fileName;
    header.date = Latin1FromUtf8(services_.locale.shortDate());
    header.time = Latin1FromUtf8(services_.locale.longTime());
    header.beginSeconds = begin;
    header.endSeconds = end;
    for (int i = 1; i <= kDatalogSelectionCount; ++i) {
        if (host_.IsSelected(i))
            header.columns.emplace_back(kDatalogColumnNames[static_cast<std::size_t>(i - 1)]);
    }
    header.separator = separator_;
    header.decimalSeparator = decimal_;
    return header.Text();
}

}  // namespace quenlor
