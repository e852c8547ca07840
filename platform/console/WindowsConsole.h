#pragma once

namespace quenlor {

// Whether the standard streams reach the user.
struct ConsoleStreams {
    bool output = false;
    bool error = false;
};

// A windowed program gets no console of its own, so what it writes to the
// standard streams is lost even when it is started from a console window.
// Streams the program was started with (redirected to a file or a pipe) are
// kept; the others are opened on the console of the process that started it,
// if it has one. Returns which streams now reach the user.
ConsoleStreams AttachParentConsole();

}  // namespace quenlor
