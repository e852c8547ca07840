#pragma once

#include <vector>

#include "platform/Cursor.h"

namespace quenlor {

class RecordingCursor : public Cursor {
  public:
    std::vector<bool> changes;
    bool busy = false;

    void setBusy(bool b) override {
        busy = b;
        changes.push_back(b);
    }
};

}  // namespace quenlor
