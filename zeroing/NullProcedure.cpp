#include "zeroing/NullProcedure.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iomanip>
#include <sstream>

#include "regmap/SensorCommands.h"

namespace quenlor {

namespace {

const char* const kAxisNames[3] = {"X", "Y", "Z"};

bool Moved(const OffsetMeasurement& m, double limit, std::string& why) {
    for (std::size_t axis = 0; axis < 3; ++axis) {
        if (m.axes[axis].deviation > limit) {
            std::ostringstream out;
            out << std::fixed << std::setprecision(1) << "The sensor moved: the "
                << kAxisNames[axis] << " acceleration scattered by "
                << m.axes[axis].deviation * 1000.0 << " mg, more than the limit of "
                << limit * 1000.0 << " mg. Hold it still and try again.";
            why = out.str();
            return true;
        }
    }
    return false;
}

std::array<double, 3> Offsets(const OffsetMeasurement& m, const std::array<double, 3>& reference) {
    return {m.axes[0].mean - reference[0], m.axes[1].mean - reference[1],
            m.axes[2].mean - reference[2]};
}

// An axis whose offset neither shrank nor is within its tolerance.
bool Shrank(const NullResult& r) {
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const double after = std::abs(r.offsetAfter[axis]);
        if (after >= std::abs(r.offsetBefore[axis]) && after > r.tolerance[axis])
            return false;
    }
    return true;
}

}  // namespace

std::optional<std::array<double, 3>> ReferenceFor(std::string_view up) {
    if (up.size() != 2 || (up[0] != '+' && up[0] != '-'))
        return std::nullopt;
    const char axis = static_cast<char>(std::tolower(static_cast<unsigned char>(up[1])));
    if (axis < 'x' || axis > 'z')
        return std::nullopt;
    std::array<double, 3> g{};
    g[static_cast<std::size_t>(axis - 'x')] = up[0] == '+' ? 1.0 : -1.0;
    return g;
}

NullProcedure::NullProcedure(RegisterAccess& registers, const RegisterTable& table, Clock& clock)
    : registers_(registers), table_(table), clock_(clock) {}

const Snapshot& NullProcedure::TakeUndo() {
    undo_ = TakeSnapshot(registers_, table_);
    return *undo_;
}

std::vector<RestoreMismatch> NullProcedure::Undo() {
    if (!undo_)
        return {};
    return RestoreSnapshot(registers_, RestorePlan(*undo_, table_));
}

void NullProcedure::StoreInFlash() {
    registers_.WriteRegister(GLOB_CMD, kFlashUpdateCommand);
}

std::array<std::uint16_t, 3> NullProcedure::ReadNulls() {
    std::array<std::uint16_t, 3> nulls{};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        registers_.ReadRegister(static_cast<std::int16_t>(XACCL_NULL + axis));
        nulls[axis] = static_cast<std::uint16_t>(registers_.RegisterReadResult.Value & 0xFFFF);
    }
    return nulls;
}

void NullProcedure::WriteNulls(const std::array<std::uint16_t, 3>& nulls) {
    for (std::size_t axis = 0; axis < 3; ++axis)
        registers_.WriteRegister(static_cast<std::int16_t>(XACCL_NULL + axis), nulls[axis]);
}

std::array<std::uint16_t, 3> NullProcedure::Corrected(const std::array<std::uint16_t, 3>& nulls,
                                                      const std::array<double, 3>& offsets,
                                                      int sign) const {
    std::array<std::uint16_t, 3> out{};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const double step = table_[static_cast<std::int16_t>(XACCL_NULL + axis)].RegScale;
        const double word =
            static_cast<std::int16_t>(nulls[axis]) - sign * std::round(offsets[axis] / step);
        // A null beyond its range keeps the nearest value it has; the check finds the rest.
        out[axis] = static_cast<std::uint16_t>(
            static_cast<std::int16_t>(std::clamp(word, -32768.0, 32767.0)));
    }
    return out;
}

NullResult NullProcedure::GiveBack(NullResult result, NullOutcome outcome, std::string message) {
    result.outcome = outcome;
    result.restored = Undo().empty();
    result.message = std::move(message);
    if (!result.restored)
        result.message += " The old registers could not all be written back.";
    return result;
}

bool NullProcedure::MeasureAfter(const NullSettings& settings, const NullProgress& progress,
                                 NullResult& r) {
    const auto half = [&](double f) { return !progress || progress(0.5 + 0.5 * f); };
    r.after = MeasureOffsets(registers_, table_, clock_, settings.seconds, settings.settle, half);
    std::string why;
    if (r.after.stopped) {
        r = GiveBack(std::move(r), NullOutcome::Stopped, "Stopped; the old nulls are back.");
        return false;
    }
    if (r.after.samples == 0) {
        r = GiveBack(std::move(r), NullOutcome::Failed,
                     "No data-ready samples came from the sensor; the old nulls are back.");
        return false;
    }
    if (Moved(r.after, settings.motionLimit, why)) {
        r = GiveBack(std::move(r), NullOutcome::Moving, why + " The old nulls are back.");
        return false;
    }
    r.offsetAfter = Offsets(r.after, settings.reference);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const double se = std::hypot(r.before.axes[axis].error, r.after.axes[axis].error);
        const double step = table_[static_cast<std::int16_t>(XACCL_NULL + axis)].RegScale;
        r.tolerance[axis] = 3.0 * se + 0.5 * step;
    }
    return true;
}

NullResult NullProcedure::Run(const NullSettings& settings, const NullProgress& progress) {
    NullResult r;
    if (!undo_)
        TakeUndo();
    r.oldNulls = ReadNulls();
    r.newNulls = r.oldNulls;
    const auto half = [&](double f) { return !progress || progress(0.5 * f); };
    r.before = MeasureOffsets(registers_, table_, clock_, settings.seconds, settings.settle, half);
    std::string why;
    if (r.before.stopped) {
        r.outcome = NullOutcome::Stopped;
        r.message = "Stopped before anything was written.";
        return r;
    }
    if (r.before.samples == 0) {
        r.message = "No data-ready samples came from the sensor; nothing was written.";
        return r;
    }
    if (Moved(r.before, settings.motionLimit, why)) {
        r.outcome = NullOutcome::Moving;
        r.message = why + " Nothing was written.";
        return r;
    }
    r.offsetBefore = Offsets(r.before, settings.reference);

    r.newNulls = Corrected(r.oldNulls, r.offsetBefore, 1);
    WriteNulls(r.newNulls);
    if (!MeasureAfter(settings, progress, r))
        return r;
    if (!Shrank(r)) {
        // A part that applies its nulls the other way round.
        r.oppositeSign = true;
        r.newNulls = Corrected(r.oldNulls, r.offsetBefore, -1);
        WriteNulls(r.newNulls);
        if (!MeasureAfter(settings, progress, r))
            return r;
        if (!Shrank(r))
            return GiveBack(std::move(r), NullOutcome::Failed,
                            "The offsets did not shrink with the nulls either way round; the old "
                            "nulls are back.");
    }
    const bool within = std::abs(r.offsetAfter[0]) <= r.tolerance[0] &&
                        std::abs(r.offsetAfter[1]) <= r.tolerance[1] &&
                        std::abs(r.offsetAfter[2]) <= r.tolerance[2];
    r.outcome = within ? NullOutcome::Zeroed : NullOutcome::NotWithin;
    r.message =
        within ? "Zeroed: every offset is within three standard errors and half a step of the null."
               : "The offsets are smaller but not all within three standard errors.";
    if (r.oppositeSign)
        r.message += " The sensor applies its nulls the other way round; they were written so.";
    return r;
}

}  // namespace quenlor
