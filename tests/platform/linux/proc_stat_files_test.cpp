#include "platform/linux/proc_process_table.h"

#include <gtest/gtest.h>

#include <QDir>

#include <csignal>
#include <ctime>

#include <sys/wait.h>
#include <unistd.h>

namespace {

int openDescriptors()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

double processCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace

// On the real procfs each process's stat file stays open between passes.
TEST(ProcStatFiles, AKeptFileFollowsItsProcessAndClosesWhenItEnds)
{
    const ProcProcessTable table;
    const int before = openDescriptors();

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::pause();
        ::_exit(0);
    }
    ASSERT_TRUE(table.cpuSeconds(child));
    const std::optional<double> mine = table.cpuSeconds(::getpid());
    ASSERT_TRUE(mine);
    // Burn a few clock ticks: the same descriptor must show them.
    const double burnUntil = processCpuSeconds() + 0.05;
    volatile unsigned long spin = 0;
    while (processCpuSeconds() < burnUntil)
        spin = spin + 1;
    EXPECT_GT(*table.cpuSeconds(::getpid()), *mine);

    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    EXPECT_EQ(table.cpuSeconds(child), std::nullopt);

    ASSERT_TRUE(table.processIds());
    table.cpuSeconds(::getpid());
    // Only this process's own file is still open once a listing has passed.
    EXPECT_EQ(openDescriptors(), before + 1);
}
