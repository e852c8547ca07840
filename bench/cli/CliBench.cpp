// quenlor-cli's stream and log on the simulator against the rate its 0.1 ms
// pauses allow, and one read from process start to exit.
//
// Each round runs the pauses alone (as many as the command makes, each a
// deadline wait on the monotonic clock as the tool's are) and then the command
// as a process, so both see the same machine; `ratio` is the pauses' time over
// the command's, summed over the rounds (1.0: the command costs nothing but its
// pauses, start-up and file included).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "regmap/RegisterGroups.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Runs quenlor-cli with `args`, its output to /dev/null, in the temporary folder.
double RunCli(const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(QUENLOR_CLI)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, QUENLOR_CLI, &actions, nullptr, argv.data(), environ) == 0)
        waitpid(pid, &status, 0);
    const auto end = Clock::now();
    posix_spawn_file_actions_destroy(&actions);
    return status == 0 ? Seconds(end - start) : -1.0;
}

double Pauses(long count) {
    const auto start = Clock::now();
    for (long i = 0; i < count; ++i) {
        const auto end = Clock::now() + std::chrono::microseconds(100);
        while (Clock::now() < end) {
        }
    }
    return Seconds(Clock::now() - start);
}

std::string Registers(int count) {
    return count == 8 ? quenlor::OutputRegisterNames(",") : "XACCL_OUT";
}

void Report(benchmark::State& state, double pauses, double cli, long samples) {
    if (cli <= 0) {
        state.SkipWithError("quenlor-cli failed");
        return;
    }
    state.counters["ratio"] = pauses / cli;
    state.counters["samples_per_s"] = double(samples) * double(state.iterations()) / cli;
    state.counters["ceiling_per_s"] = double(samples) * double(state.iterations()) / pauses;
}

// A stream sample is its registers' reads and one DIAG_STAT poll; the sensor
// samples fast enough that one poll finds data ready.
void BM_Stream(benchmark::State& state) {
    const int registers = int(state.range(0));
    const long samples = 1000000 / (100 * (registers + 1));  // about a second of pauses
    double pauses = 0, cli = 0;
    for (auto _ : state) {
        pauses += Pauses(samples * (registers + 1));
        const double t = RunCli({"--simulate", "--sim-rate", "1000000", "stream", "--samples",
                                 std::to_string(samples), "--registers", Registers(registers)});
        cli = t < 0 || cli < 0 ? -1 : cli + t;
    }
    Report(state, pauses, cli, samples);
}

// A log sample is its registers' reads; one file, no delay.
void BM_Log(benchmark::State& state) {
    const int registers = int(state.range(0));
    const long samples = 1000000 / (100 * registers);
    const auto folder = std::filesystem::temp_directory_path();
    double pauses = 0, cli = 0;
    for (auto _ : state) {
        pauses += Pauses(samples * registers);
        const double t =
            RunCli({"--simulate", "log", "--samples", std::to_string(samples), "--registers",
                    Registers(registers), "--name", "quenlor_cli_bench", "--dir", folder.string()});
        cli = t < 0 || cli < 0 ? -1 : cli + t;
    }
    std::filesystem::remove(folder / "quenlor_cli_bench_1.csv");
    Report(state, pauses, cli, samples);
}

// One register read, from the process's start to its exit, against 50 ms.
void BM_ReadProcess(benchmark::State& state) {
    double total = 0;
    for (auto _ : state) {
        const double t = RunCli({"--simulate", "read", "XACCL_OUT"});
        if (t < 0) {
            state.SkipWithError("quenlor-cli failed");
            return;
        }
        total += t;
    }
    state.counters["ratio_to_50ms"] = total / double(state.iterations()) / 0.050;
}

BENCHMARK(BM_Stream)->Arg(1)->Arg(8)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Log)->Arg(1)->Arg(8)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadProcess)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
