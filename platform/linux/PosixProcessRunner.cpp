#include "platform/linux/PosixProcessRunner.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace quenlor {

std::uint32_t PosixProcessRunner::runAndWait(const std::string& commandLine) {
    constexpr std::uint32_t kCannotStart = 127;
    std::string shell = "/bin/sh";
    std::string flag = "-c";
    std::string command = commandLine;
    char* argv[] = {shell.data(), flag.data(), command.data(), nullptr};

    pid_t pid = 0;
    // The child inherits the standard handles, as the Windows process start does.
    if (posix_spawn(&pid, shell.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return kCannotStart;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return kCannotStart;
    }
    if (WIFEXITED(status))
        return static_cast<std::uint32_t>(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return 128u + static_cast<std::uint32_t>(WTERMSIG(status));
    return kCannotStart;
}

}  // namespace quenlor
