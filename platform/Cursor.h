#pragma once

namespace quenlor {

// The screen's mouse pointer: the hourglass while the thread is blocked.
class Cursor {
  public:
    virtual ~Cursor() = default;
    virtual void setBusy(bool busy) = 0;
};

}  // namespace quenlor
