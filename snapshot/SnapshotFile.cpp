#include "snapshot/SnapshotFile.h"

#include <fstream>
#include <iterator>

#include "core/ReplacedFile.h"

namespace quenlor {

std::optional<Snapshot> ReadSnapshotFile(const std::filesystem::path& path,
                                         const RegisterTable& table, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    const std::string name = path.string();
    if (!in) {
        error = name + ": cannot be read";
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        error = name + ": cannot be read";
        return std::nullopt;
    }
    std::string why;
    auto snapshot = Snapshot::Parse(text, table, why);
    if (!snapshot)
        error = name + ": " + why;
    return snapshot;
}

bool WriteSnapshotFile(const std::filesystem::path& path, const Snapshot& snapshot,
                       const RegisterTable& table) {
    ReplacedFile file;
    return file.Open(path) && file.Write(snapshot.Text(table)) && file.Commit();
}

}  // namespace quenlor
