#pragma once

#include "platform/ThreadPriority.h"

namespace quenlor {

// On Windows: an above-normal thread priority, which any user may set; the
// real-time classes are left alone, as they can starve the desktop.
class Win32ThreadPriority : public ThreadPriority {
  public:
    std::string raiseCurrentThread() override;
};

}  // namespace quenlor
