#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "regmap/RegisterTable.h"
#include "snapshot/Snapshot.h"

namespace quenlor {

// Reads a snapshot file. On failure nullopt, and `error` names the file and,
// for a malformed line, its number ("a.txt: line 7: unknown register X").
std::optional<Snapshot> ReadSnapshotFile(const std::filesystem::path& path,
                                         const RegisterTable& table, std::string& error);

// Writes a snapshot file whole or not at all: a failure leaves no partial file
// and an existing one as it was.
bool WriteSnapshotFile(const std::filesystem::path& path, const Snapshot& snapshot,
                       const RegisterTable& table);

}  // namespace quenlor
