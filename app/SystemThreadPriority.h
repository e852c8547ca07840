#pragma once

#ifdef _WIN32
#include "platform/win32/Win32ThreadPriority.h"
#else
#include "platform/linux/LinuxThreadPriority.h"
#endif

namespace quenlor {

// The machine's own way of raising the read loop's thread, simulator or not.
#ifdef _WIN32
using SystemThreadPriority = Win32ThreadPriority;
#else
using SystemThreadPriority = LinuxThreadPriority;
#endif

}  // namespace quenlor
