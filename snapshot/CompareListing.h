#pragma once

#include <string>
#include <vector>

#include "regmap/RegisterTable.h"
#include "snapshot/Snapshot.h"

namespace quenlor {

// The register window's listing of a compare: the live and the saved value of
// each register side by side, CR LF lines like the plain listing, and the
// numbers (from 0) of the lines whose values differ, to highlight them.
struct CompareListing {
    std::string text;
    std::vector<int> differingLines;
};

// `all` includes the registers that change by themselves (the outputs).
CompareListing MakeCompareListing(const Snapshot& live, const Snapshot& saved,
                                  const RegisterTable& table, bool all);

}  // namespace quenlor
