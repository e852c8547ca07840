#include <charconv>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <iostream>

#include "app/cli/Commands.h"
#include "app/cli/Interrupt.h"
#include "core/NumberFormat.h"
#include "core/Version.h"
#include "snapshot/SnapshotFile.h"
#include "snapshot/SnapshotHeader.h"
#include "zeroing/NullProcedure.h"

namespace quenlor {

namespace {

// "null-undo-20261209-011000.txt" for 2026-12-09 01:10:00.
std::string DefaultSnapshotName(const LocalDateTime& t) {
    char name[64];
    std::snprintf(name, sizeof name, "null-undo-%04d%02d%02d-%02d%02d%02d.txt", t.year, t.month,
                  t.day, t.hour, t.minute, t.second);
    return name;
}

bool PositiveNumber(const std::string* text, double& out) {
    if (text == nullptr)
        return true;
    const auto r = std::from_chars(text->data(), text->data() + text->size(), out);
    return r.ec == std::errc() && r.ptr == text->data() + text->size() && out > 0 &&
           std::isfinite(out);
}

// The settings of the command line; nullopt after a line on standard error.
std::optional<NullSettings> SettingsOf(const CliOptions& options) {
    NullSettings s;
    const std::string* up = options.Value("--orientation");
    const auto reference = ReferenceFor(up != nullptr ? *up : "+z");
    if (!reference) {
        std::cerr << "quenlor-cli: --orientation needs +z, -z, +x, -x, +y or -y, not " << *up
                  << std::endl;
        return std::nullopt;
    }
    s.reference = *reference;
    if (!PositiveNumber(options.Value("--seconds"), s.seconds) || s.seconds > 3600) {
        std::cerr << "quenlor-cli: --seconds needs a number above 0, at most 3600" << std::endl;
        return std::nullopt;
    }
    double limitMg = s.motionLimit * 1000.0;
    if (!PositiveNumber(options.Value("--motion-limit"), limitMg)) {
        std::cerr << "quenlor-cli: --motion-limit needs milli-g above 0" << std::endl;
        return std::nullopt;
    }
    s.motionLimit = limitMg / 1000.0;
    return s;
}

void PrintTable(std::ostream& out, const NullResult& r) {
    const bool written = r.after.samples > 0;
    out << "axis  offset before   offset after   std error  tolerance   null before  null after"
           "\n";
    out << std::fixed << std::setprecision(4);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const char name[] = {static_cast<char>('X' + axis), 0};
        out << std::left << std::setw(4) << name << std::right << std::setw(12)
            << r.offsetBefore[axis] * 1000.0 << " mg";
        if (written)
            out << std::setw(12) << r.offsetAfter[axis] * 1000.0 << " mg" << std::setw(9)
                << r.after.axes[axis].error * 1000.0 << " mg" << std::setw(8)
                << r.tolerance[axis] * 1000.0 << " mg";
        else
            out << std::setw(15) << "-" << std::setw(12) << "-" << std::setw(11) << "-";
        out << "         " << FormatHex4(r.oldNulls[axis]) << "        "
            << FormatHex4(r.restored || !written ? r.oldNulls[axis] : r.newNulls[axis]) << "\n";
    }
    out << std::defaultfloat;
}

}  // namespace

int RunNull(CliRun& run) {
    const auto settings = SettingsOf(run.options);
    if (!settings)
        return kExitUsage;
    NullProcedure procedure(run.stack.registers, run.stack.registerTable, run.stack.seams);
    Snapshot undo = procedure.TakeUndo();
    const LocalDateTime now = run.stack.seams.localDateTime();
    undo.comments =
        SnapshotHeader({now, DescribeInterface(run.stack.settings, run.stack.usb.UsbSelectedCard),
                        run.options.simulate, std::string("quenlor-cli ") + kVersion});
    undo.comments.push_back("before zeroing the offsets");
    const std::string* given = run.options.Value("--snapshot");
    const std::string file = given != nullptr ? *given : DefaultSnapshotName(now);
    if (!WriteSnapshotFile(file, undo, run.stack.registerTable)) {
        std::cerr << "quenlor-cli: cannot write " << file << "; nothing was written to the sensor"
                  << std::endl;
        return kExitFailed;
    }
    run.out << "snapshot of the registers before: " << file << "\n" << std::flush;

    const NullResult r = procedure.Run(*settings, [](double) { return !Interrupt::Requested(); });
    if (r.before.samples > 0 && r.outcome != NullOutcome::Moving)
        PrintTable(run.out, r);
    run.out << r.message << "\n";
    if (r.outcome == NullOutcome::Stopped)
        return kExitInterrupted;
    if (run.options.Has("--flash")) {
        if (r.outcome == NullOutcome::Zeroed) {
            procedure.StoreInFlash();
            run.out << "Stored in flash.\n";
        } else {
            run.out << "Not stored in flash.\n";
        }
    }
    return r.outcome == NullOutcome::Zeroed ? kExitOk : kExitFailed;
}

}  // namespace quenlor
