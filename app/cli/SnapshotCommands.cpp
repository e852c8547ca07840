#include <iomanip>
#include <iostream>

#include "app/cli/Commands.h"
#include "core/NumberFormat.h"
#include "core/Version.h"
#include "snapshot/SnapshotCompare.h"
#include "snapshot/SnapshotDevice.h"
#include "snapshot/SnapshotFile.h"
#include "snapshot/SnapshotHeader.h"

namespace quenlor {

namespace {

Snapshot TakeLive(CliRun& run) {
    Snapshot s = TakeSnapshot(run.stack.registers, run.stack.registerTable);
    s.comments =
        SnapshotHeader({run.stack.seams.localDateTime(),
                        DescribeInterface(run.stack.settings, run.stack.usb.UsbSelectedCard),
                        run.options.simulate, std::string("quenlor-cli ") + kVersion});
    return s;
}

}  // namespace

int RunDump(CliRun& run) {
    const Snapshot s = TakeLive(run);
    const std::string* file = run.options.Value("-o");
    if (file == nullptr) {
        run.out << s.Text(run.stack.registerTable);
        return kExitOk;
    }
    if (!WriteSnapshotFile(*file, s, run.stack.registerTable)) {
        std::cerr << "quenlor-cli: cannot write " << *file << std::endl;
        return kExitFailed;
    }
    return kExitOk;
}

int RunRestore(CliRun& run) {
    const RegisterTable& table = run.stack.registerTable;
    std::string error;
    const auto snapshot = ReadSnapshotFile(run.options.args[0], table, error);
    if (!snapshot) {
        std::cerr << "quenlor-cli: " << error << std::endl;
        return kExitFailed;
    }
    const auto plan = RestorePlan(*snapshot, table);
    if (run.options.Has("--dry-run")) {
        for (const SnapshotEntry& e : plan)
            run.out << "would write " << std::left << std::setw(11) << table[e.index].Label << "  "
                    << FormatHex4(e.value) << "\n";
        return kExitOk;
    }
    if (const int status = run.stack.Open(run.options); status != kExitOk)
        return status;
    const auto mismatches = RestoreSnapshot(run.stack.registers, plan);
    for (const RestoreMismatch& m : mismatches)
        std::cerr << "quenlor-cli: " << table[m.index].Label << " did not take: wrote "
                  << FormatHex4(m.wanted) << ", read back " << FormatHex4(m.read) << std::endl;
    run.out << "restored " << plan.size() - mismatches.size() << " of " << plan.size()
            << " registers\n";
    return mismatches.empty() ? kExitOk : kExitFailed;
}

int RunCompare(CliRun& run) {
    const RegisterTable& table = run.stack.registerTable;
    const std::vector<std::string>& files = run.options.args;
    std::vector<Snapshot> sides;
    for (const std::string& file : files) {
        std::string error;
        auto s = ReadSnapshotFile(file, table, error);
        if (!s) {
            // As diff does: 2 is trouble, 1 is a difference.
            std::cerr << "quenlor-cli: " << error << std::endl;
            return kExitUsage;
        }
        sides.push_back(std::move(*s));
    }
    if (sides.size() == 1) {
        if (const int status = run.stack.Open(run.options); status != kExitOk)
            return status;
        sides.push_back(TakeLive(run));
    }
    const std::string nameB = files.size() == 2 ? files[1] : "the sensor";
    const auto differences = CompareSnapshots(sides[0], sides[1], table, run.options.Has("--all"));
    for (const SnapshotDifference& d : differences) {
        run.out << std::left << std::setw(11) << table[d.index].Label << "  "
                << (d.a ? FormatHex4(*d.a) : "----") << " in " << files[0] << ", "
                << (d.b ? FormatHex4(*d.b) : "----") << " in " << nameB << "\n";
    }
    return differences.empty() ? kExitOk : kExitFailed;
}

}  // namespace quenlor
