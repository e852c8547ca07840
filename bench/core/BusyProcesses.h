#pragma once

#include <benchmark/benchmark.h>

#include <vector>

#if defined(__unix__)
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quenlor {

// Competing load for as long as it lives: one process per core, each spinning
// without pause. Processes, not threads, so the bench itself stays one thread
// and the load competes as another program would.
class BusyProcesses {
  public:
    explicit BusyProcesses(int count) {
#if defined(__unix__)
        for (int i = 0; i < count; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                unsigned long n = 0;
                for (;;)
                    benchmark::DoNotOptimize(++n);
            }
            if (pid > 0)
                pids_.push_back(pid);
        }
#else
        static_cast<void>(count);
#endif
    }
    ~BusyProcesses() {
#if defined(__unix__)
        for (const pid_t pid : pids_)
            kill(pid, SIGKILL);
        for (const pid_t pid : pids_)
            waitpid(pid, nullptr, 0);
#endif
    }
    BusyProcesses(const BusyProcesses&) = delete;
    BusyProcesses& operator=(const BusyProcesses&) = delete;

    int started() const {
        return static_cast<int>(pids_.size());
    }

  private:
#if defined(__unix__)
    std::vector<pid_t> pids_;
#else
    std::vector<int> pids_;
#endif
};

}  // namespace quenlor
