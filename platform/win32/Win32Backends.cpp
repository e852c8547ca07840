#include "platform/win32/Win32Backends.h"

namespace quenlor {

Win32Backends::Win32Backends(MessageBoxes& messages) : port_(messages), permission_(messages) {}

}  // namespace quenlor
