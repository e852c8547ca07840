#include "platform/win32/Win32ThreadPriority.h"

#include <windows.h>

namespace quenlor {

std::string Win32ThreadPriority::raiseCurrentThread() {
    if (SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL))
        return "above normal";
    return "normal (refused)";
}

}  // namespace quenlor
