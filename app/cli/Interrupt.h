#pragma once

namespace quenlor {

// Ctrl-C as a request the long commands read at their yield points, instead
// of the default of ending the process in the middle of a file.
class Interrupt {
  public:
    // Installs the SIGINT handler; call once at start-up.
    static void Catch();
    static bool Requested();
};

}  // namespace quenlor
