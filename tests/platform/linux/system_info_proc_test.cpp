#include "platform/linux/proc_system_info.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

TEST(CpuList, CountsRangesAndSingleCpus)
{
    struct Case { const char *text; std::optional<int> count; };
    const Case cases[] = {
        {"0-7\n", 8},
        {"0-7,16", 9},
        {"0,2,4-5", 4},
        {"3", 1},
        {"", std::nullopt},
        {"\n", std::nullopt},
        {"7-3", std::nullopt},
        {"a-b", std::nullopt},
        {"0-1-2", std::nullopt},
        {"0,,1", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(countCpuList(QString::fromUtf8(c.text)), c.count) << c.text;
}

TEST(LoadAverage, TakesTheFirstField)
{
    struct Case { const char *text; std::optional<double> load; };
    const Case cases[] = {
        {"0.31 0.28 0.14 1/91 4717\n", 0.31},
        {"4.00", 4.0},
        {"", std::nullopt},
        {"nan 1 1 1/1 1", std::nullopt},
        {"-1 0 0 1/1 1", std::nullopt},
        {"garbage", std::nullopt},
        {"0.31x 0.28", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseLoadAverage1(c.text), c.load) << c.text;
}

TEST(ProcSystemInfo, ReadsLoadCpusAndHybridCoreTypes)
{
    QTemporaryDir root;
    writeFile(root.filePath(QStringLiteral("proc/loadavg")), "4.00 3.50 3.00 5/700 12345\n");
    writeFile(root.filePath(QStringLiteral("sys/system/cpu/online")), "0-15\n");
    writeFile(root.filePath(QStringLiteral("sys/cpu_core/cpus")), "0-7\n");
    writeFile(root.filePath(QStringLiteral("sys/cpu_atom/cpus")), "8-15\n");
    const ProcSystemInfo info(root.filePath(QStringLiteral("proc")), root.filePath(QStringLiteral("sys")));
    EXPECT_EQ(info.loadAverage1(), 4.0);
    EXPECT_EQ(info.logicalCpuCount(), 16);
    EXPECT_EQ(info.performanceCpuCount(), 8);
    EXPECT_EQ(info.efficiencyCpuCount(), 8);
}

TEST(ProcSystemInfo, MissingFilesMeanAbsentLoadAndZeroCounts)
{
    QTemporaryDir root;
    const ProcSystemInfo info(root.filePath(QStringLiteral("proc")), root.filePath(QStringLiteral("sys")));
    EXPECT_EQ(info.loadAverage1(), std::nullopt);
    EXPECT_EQ(info.logicalCpuCount(), 0);
    EXPECT_EQ(info.performanceCpuCount(), 0);
    EXPECT_EQ(info.efficiencyCpuCount(), 0);
}

TEST(ProcSystemInfo, ThisMachineHasALoadAndAtLeastOneCpu)
{
    const ProcSystemInfo info;
    EXPECT_TRUE(info.loadAverage1().has_value());
    EXPECT_GE(info.logicalCpuCount(), 1);
}
