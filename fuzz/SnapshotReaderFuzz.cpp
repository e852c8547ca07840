// The snapshot reader. Any bytes are read without a fault, a refusal names a
// line the text has, and what is read lists no register twice. And the model:
// a snapshot's own text reads back to its comments and register values.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ModelCheck.h"
#include "ModelTable.h"
#include "snapshot/Snapshot.h"

namespace {

using namespace quenlor;

void CheckAnyBytes(const std::string& text) {
    std::string error;
    const auto s = Snapshot::Parse(text, Table(), error);
    if (!s) {
        const auto lines = std::count(text.begin(), text.end(), '\n') + 1;
        const bool numbered = error.rfind("line ", 0) == 0 && std::atol(error.c_str() + 5) >= 1 &&
                              std::atol(error.c_str() + 5) <= lines;
        Check(numbered || error == "no register lines", "error", error);
        return;
    }
    Check(!s->entries.empty(), "entries", text);
    for (std::size_t i = 0; i < s->entries.size(); ++i) {
        for (std::size_t k = i + 1; k < s->entries.size(); ++k)
            Check(s->entries[i].index != s->entries[k].index, "listed twice", text);
    }
}

// Comments of visible characters (a comment keeps no blanks at its ends), then
// registers in the order the bytes give, each once.
void CheckModel(const std::uint8_t* data, std::size_t size) {
    Snapshot written;
    std::size_t i = 0;
    const std::size_t comments = data[i++] % 4;
    for (std::size_t c = 0; c < comments && i < size; ++c) {
        const std::size_t length = data[i++] % 24;
        std::string comment;
        for (std::size_t k = 0; k < length && i < size; ++k)
            comment += static_cast<char>(0x21 + data[i++] % 0x5E);
        written.comments.push_back(comment);
    }
    bool used[kRegisterTableSize] = {};
    for (; i + 2 < size; i += 3) {
        const auto index = static_cast<std::int16_t>(data[i] % (Table().LastRegIndex + 1));
        if (used[index])
            continue;
        used[index] = true;
        written.entries.push_back(
            {index, static_cast<std::uint16_t>(data[i + 1] | (data[i + 2] << 8))});
    }
    if (written.entries.empty())
        return;
    const std::string text = written.Text(Table());
    std::string error;
    const auto read = Snapshot::Parse(text, Table(), error);
    Check(read.has_value(), "a written snapshot reads", error + "\n" + text);
    Check(read->comments == written.comments, "comments", text);
    Check(read->entries.size() == written.entries.size(), "entries", text);
    for (std::size_t k = 0; k < written.entries.size(); ++k) {
        Check(read->entries[k].index == written.entries[k].index &&
                  read->entries[k].value == written.entries[k].value,
              "entry", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckAnyBytes(std::string(reinterpret_cast<const char*>(data), size));
    if (size >= 4)
        CheckModel(data, size);
    return 0;
}
