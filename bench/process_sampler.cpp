// One sampler pass over the real process table with 1,000 extra processes,
// beside `ps -e -o pid,cputime` over the same table.
#include "energy/energy_attribution.h"
#include "platform/linux/proc_process_table.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kExtraProcesses = 1000;

std::vector<pid_t> g_children;

void spawnIdleChildren()
{
    for (int i = 0; i < kExtraProcesses; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::pause();
            ::_exit(0);
        }
        if (pid > 0)
            g_children.push_back(pid);
    }
}

void reapChildren()
{
    for (const pid_t pid : g_children)
        ::kill(pid, SIGKILL);
    for (const pid_t pid : g_children)
        ::waitpid(pid, nullptr, 0);
    g_children.clear();
}

double monotonicSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double threadCpuSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// CPU seconds (user + system) that one run of ps takes.
double psCpuSeconds()
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, STDOUT_FILENO);
        ::execlp("ps", "ps", "-e", "-o", "pid,cputime", static_cast<char *>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double medianPsCpuSeconds()
{
    std::vector<double> runs;
    for (int i = 0; i < 9; ++i)
        runs.push_back(psCpuSeconds());
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

void BM_SamplerPass(benchmark::State &state)
{
    const ProcProcessTable table;
    EnergyAttribution attribution(table, static_cast<int>(::getpid()), monotonicSeconds());
    attribution.runPass(monotonicSeconds(), true, 10.0);
    double passCpu = 0;
    for (auto _ : state) {
        const double before = threadCpuSeconds();
        benchmark::DoNotOptimize(attribution.runPass(monotonicSeconds(), state.range(0) != 0, 10.0));
        passCpu += threadCpuSeconds() - before;
    }
    const double passMs = passCpu * 1000 / static_cast<double>(state.iterations());
    const double psMs = medianPsCpuSeconds() * 1000;
    state.counters["processes"] = static_cast<double>(table.processIds().value_or(std::vector<int>()).size());
    state.counters["pass_cpu_ms"] = passMs;
    state.counters["ps_cpu_ms"] = psMs;
    state.counters["pass_to_ps"] = passMs / psMs;
}
BENCHMARK(BM_SamplerPass)
    ->ArgName("fast")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    spawnIdleChildren();
    std::fprintf(stderr, "spawned %zu idle processes\n", g_children.size());
    benchmark::RunSpecifiedBenchmarks();
    reapChildren();
    benchmark::Shutdown();
    return 0;
}
