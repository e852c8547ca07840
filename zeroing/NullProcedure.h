#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "regmap/RegisterTable.h"
#include "snapshot/Snapshot.h"
#include "snapshot/SnapshotDevice.h"
#include "spi/RegisterAccess.h"
#include "zeroing/OffsetMeasurement.h"

namespace quenlor {

// How much a reading of a board at rest scatters from sample to sample, g.
inline constexpr double kStillNoise = 0.00035;

struct NullSettings {
    std::array<double, 3> reference{0.0, 0.0, 1.0};  // g: what a sensor without offsets reads
    double seconds = 5.0;                            // of each measurement
    double motionLimit = 10.0 * kStillNoise;         // g: a larger deviation is a moving board
    double settle = 0.25;  // s of samples passed over before each measurement
};

// What a board reads at rest with the axis named ("+z", "-x", ...) pointing up.
std::optional<std::array<double, 3>> ReferenceFor(std::string_view up);

enum class NullOutcome {
    Zeroed,     // every offset within its tolerance
    NotWithin,  // smaller, but not within tolerance on every axis; the new nulls stay
    Moving,     // refused or given up: the board moved; nothing of it stays
    Failed,     // the offsets did not shrink, or no samples came; the old nulls are back
    Stopped,    // stopped by the progress hook; the old nulls are back
};

struct NullResult {
    NullOutcome outcome = NullOutcome::Failed;
    OffsetMeasurement before;
    OffsetMeasurement after;               // empty when nothing was written
    std::array<double, 3> offsetBefore{};  // mean minus reference, g
    std::array<double, 3> offsetAfter{};
    // Three standard errors of the two means together, and half a step of the null.
    std::array<double, 3> tolerance{};
    std::array<std::uint16_t, 3> oldNulls{};
    std::array<std::uint16_t, 3> newNulls{};
    bool oppositeSign = false;  // the nulls took effect only the other way round
    bool restored = false;      // the snapshot was written back
    std::string message;        // what happened, in a sentence
};

// Zeroes the three acceleration offsets through the null registers: measures
// at rest, corrects, measures again, and keeps a snapshot to go back to.
class NullProcedure {
  public:
    NullProcedure(RegisterAccess& registers, const RegisterTable& table, Clock& clock);

    // Reads every register into the undo snapshot; Run does it first when not done.
    const Snapshot& TakeUndo();
    const std::optional<Snapshot>& undo() const { return undo_; }

    NullResult Run(const NullSettings& settings, const NullProgress& progress = {});

    // Writes the undo snapshot's configuration registers back; those that did not take.
    std::vector<RestoreMismatch> Undo();
    // Stores the registers in the sensor's flash.
    void StoreInFlash();

  private:
    std::array<std::uint16_t, 3> ReadNulls();
    void WriteNulls(const std::array<std::uint16_t, 3>& nulls);
    // The nulls that take `offsets` away, applied with `sign` (+1 or -1).
    std::array<std::uint16_t, 3> Corrected(const std::array<std::uint16_t, 3>& nulls,
                                           const std::array<double, 3>& offsets, int sign) const;
    // Measures after a write; false when the result is final (moved, stopped, no data).
    bool MeasureAfter(const NullSettings& settings, const NullProgress& progress,
                      NullResult& result);
    NullResult GiveBack(NullResult result, NullOutcome outcome, std::string message);

    RegisterAccess& registers_;
    const RegisterTable& table_;
    Clock& clock_;
    std::optional<Snapshot> undo_;
};

}  // namespace quenlor
