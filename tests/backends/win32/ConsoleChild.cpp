// A windowed program like quenlor-eval: attaches its standard streams, writes
// one line to each and tells by its exit code which streams it was told reach
// the user (1 output, 2 error).
#include <iostream>

#include "platform/console/WindowsConsole.h"

int main() {
    const quenlor::ConsoleStreams streams = quenlor::AttachParentConsole();
    std::cout << "to output" << std::endl;
    std::cerr << "to error" << std::endl;
    return (streams.output ? 1 : 0) | (streams.error ? 2 : 0);
}
