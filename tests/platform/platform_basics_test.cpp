#include "platform/defaults.h"
#include "platform/format.h"
#include "platform/platform_texts.h"
#include "platform/serial_queue.h"
#include "platform/tool_runner.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

TEST(FormatPrintf, MatchesPrintfRoundingNotQtRounding)
{
    struct Case { double value; const char *format; const char *expected; };
    const Case cases[] = {
        {12.25, "%.1f", "12.2"}, // binary 12.25 is exact; printf rounds half to even
        {12.35, "%.1f", "12.3"}, // 12.35 is stored slightly below
        {0.05, "%.1f", "0.1"},
        {2.5, "%.0f", "2"},
        {99.6, "%.0f", "100"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(formatPrintf(c.format, c.value), QString::fromUtf8(c.expected)) << c.value;
    EXPECT_EQ(formatPrintf("%dh %dm left", 2, 5), QStringLiteral("2h 5m left"));
    EXPECT_EQ(formatPrintf("%02d", 7), QStringLiteral("07"));
}

TEST(FormatPrintf, UsesAPointInEveryLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not generated (scripts/deps does that)";
    char german[16];
    std::snprintf(german, sizeof german, "%.1f", 7.9);
    const QString formatted = formatPrintf("%.1f W", 7.9);
    std::setlocale(LC_NUMERIC, previous.c_str());
    ASSERT_STREQ(german, "7,9") << "the locale is active";
    EXPECT_EQ(formatted, QStringLiteral("7.9 W"));
}

TEST(RoundHalfAway, RoundsHalvesAwayFromZeroAndSaturates)
{
    EXPECT_EQ(roundHalfAwayInt(2.5), 3);
    EXPECT_EQ(roundHalfAwayInt(-2.5), -3);
    EXPECT_EQ(roundHalfAwayInt(79.49), 79);
    EXPECT_EQ(roundHalfAwayInt(1e300), 2147483647);
    EXPECT_EQ(roundHalfAwayInt(-1e300), -2147483647 - 1);
    EXPECT_EQ(roundHalfAwayInt(std::nan("")), 0);
}

TEST(SerialQueue, RunsWorkInOrderOffTheCallingThread)
{
    SerialQueue queue("pendrapro.test");
    std::vector<int> order;
    std::atomic<bool> offThread{true};
    const auto caller = std::this_thread::get_id();
    for (int i = 0; i < 100; ++i)
        queue.post([&, i] {
            order.push_back(i);
            if (std::this_thread::get_id() == caller)
                offThread = false;
        });
    queue.sync([] {});
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[i], i);
    EXPECT_TRUE(offThread);
}

TEST(SerialQueue, SyncFromTheQueueItselfRunsInline)
{
    SerialQueue queue("pendrapro.test");
    bool inner = false;
    queue.sync([&] { queue.sync([&] { inner = queue.isCurrent(); }); });
    EXPECT_TRUE(inner);
}

TEST(SerialQueue, DestructionRunsQueuedWork)
{
    std::atomic<int> ran{0};
    {
        SerialQueue queue("pendrapro.test");
        for (int i = 0; i < 10; ++i)
            queue.post([&] { ++ran; });
    }
    EXPECT_EQ(ran.load(), 10);
}

TEST(SerialQueue, RepeatingWorkRunsUntilReplacedAndNeverAfterTheQueueEnds)
{
    std::atomic<int> first{0};
    std::atomic<int> second{0};
    const auto waitFor = [](const std::atomic<int> &runs, int count) {
        while (runs < count)
            std::this_thread::yield();
    };
    {
        SerialQueue queue("pendrapro.test");
        queue.repeat(1ms, 0ms, [&] { ++first; });
        waitFor(first, 3);

        queue.repeat(1ms, 0ms, [&] { ++second; });
        queue.sync([] {}); // a run of the first that had begun is over
        const int firstRuns = first;
        waitFor(second, 3);
        EXPECT_EQ(first.load(), firstRuns);

        // Due in an hour: ending the queue must neither wait for it nor run it.
        queue.repeat(std::chrono::hours(1), 0ms, [&] { first = -1; });
    }
    EXPECT_GE(first.load(), 3);
}

class DefaultsTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("sub/defaults.json")); }
};

TEST_F(DefaultsTest, ValuesSurviveAReloadWithTheirTypes)
{
    const QDateTime date = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    {
        Defaults defaults(path());
        defaults.setBool(QStringLiteral("b"), true);
        defaults.setInt(QStringLiteral("i"), 42);
        defaults.setDouble(QStringLiteral("d"), 0.25);
        defaults.setString(QStringLiteral("s"), QStringLiteral("text"));
        defaults.setDate(QStringLiteral("t"), date);
        EXPECT_TRUE(defaults.lastWriteSucceeded());
    }
    Defaults reloaded(path());
    EXPECT_EQ(reloaded.boolValue(QStringLiteral("b")), true);
    EXPECT_EQ(reloaded.intValue(QStringLiteral("i")), 42);
    EXPECT_EQ(reloaded.doubleValue(QStringLiteral("d")), 0.25);
    EXPECT_EQ(reloaded.stringValue(QStringLiteral("s")), QStringLiteral("text"));
    EXPECT_EQ(reloaded.dateValue(QStringLiteral("t")), date);
}

TEST_F(DefaultsTest, WrongTypeIsAbsentButStillContained)
{
    Defaults defaults(path());
    defaults.setString(QStringLiteral("k"), QStringLiteral("80"));
    defaults.setDouble(QStringLiteral("half"), 3.5);
    EXPECT_FALSE(defaults.intValue(QStringLiteral("k")).has_value());
    EXPECT_FALSE(defaults.boolValue(QStringLiteral("k")).has_value());
    EXPECT_FALSE(defaults.dateValue(QStringLiteral("k")).has_value());
    EXPECT_TRUE(defaults.contains(QStringLiteral("k")));
    EXPECT_FALSE(defaults.intValue(QStringLiteral("half")).has_value());
    EXPECT_FALSE(defaults.contains(QStringLiteral("missing")));
    defaults.remove(QStringLiteral("k"));
    EXPECT_FALSE(defaults.contains(QStringLiteral("k")));
}

TEST_F(DefaultsTest, CorruptFileIsMovedAsideNotLost)
{
    writeFile(path(), "{\"pendrapro.retentionDays\": 7,");

    Defaults defaults(path());
    EXPECT_FALSE(defaults.contains(QStringLiteral("pendrapro.retentionDays")));
    const QStringList aside = QDir(dir.filePath(QStringLiteral("sub")))
                                  .entryList({QStringLiteral("defaults.json.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("sub/") + aside.first())), "{\"pendrapro.retentionDays\": 7,");
}

TEST(ProcessToolRunner, CollectsLargeOutputAndDiscardsStderr)
{
    ProcessToolRunner runner;
    // 1 MiB is far beyond a pipe buffer: a runner that reads only after exit stalls here.
    const auto out = runner.run(QStringLiteral("/bin/sh"),
                                {QStringLiteral("-c"), QStringLiteral("echo oops >&2; head -c 1048576 /dev/zero | tr '\\0' x")},
                                10s);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->size(), 1048576);
    EXPECT_FALSE(out->contains(QStringLiteral("oops")));
}

TEST(ProcessToolRunner, AbsentOnLaunchFailureTimeoutOrInvalidUtf8)
{
    ProcessToolRunner runner;
    EXPECT_FALSE(runner.run(QStringLiteral("/nonexistent/tool"), {}, 2s).has_value());
    EXPECT_FALSE(runner.run(QStringLiteral("/bin/sleep"), {QStringLiteral("5")}, 200ms).has_value());
    EXPECT_FALSE(runner.run(QStringLiteral("/usr/bin/printf"), {QStringLiteral("\\377\\376")}, 2s).has_value());
    EXPECT_EQ(runner.run(QStringLiteral("/usr/bin/printf"), {QStringLiteral("caf\\303\\251")}, 2s),
              QStringLiteral("café"));
}

TEST(PlatformTexts, EachMacTextSaysTheLinuxTruthAndMacIsKeptOnlyOnAMac)
{
    for (const PlatformTexts::Mapping &row : PlatformTexts::kMappings) {
        const QString product = QString::fromUtf16(row.productText);
        const QString linuxText = QString::fromUtf16(row.linuxText);
        EXPECT_EQ(PlatformTexts::onMachine(product, false), linuxText) << product.toStdString();
        EXPECT_EQ(PlatformTexts::onMachine(product, true), row.keptOnMac ? product : linuxText) << product.toStdString();
        EXPECT_FALSE(linuxText.contains(QStringLiteral("SMC")) || linuxText.contains(QStringLiteral("Mac")));
    }
    EXPECT_EQ(PlatformTexts::onMachine(QStringLiteral("Charging"), false), QStringLiteral("Charging"));
}

TEST(PlatformTexts, AMacIsKnownByItsDmiVendorOrDeviceTree)
{
    const struct Case
    {
        const char *file, *content;
        bool isMac;
    } cases[] = {
        {"sys/class/dmi/id/sys_vendor", "Apple Inc.\n", true},
        {"sys/class/dmi/id/sys_vendor", "LENOVO\n", false},
        {"proc/device-tree/compatible", "apple,j314s\0apple,t6000\0apple,arm-platform", true},
        {"proc/device-tree/compatible", "pine64,pinebook-pro\0rockchip,rk3399", false},
    };
    for (const Case &c : cases) {
        QTemporaryDir root;
        writeFile(root.filePath(QString::fromUtf8(c.file)), c.content);
        EXPECT_EQ(PlatformTexts::detectMac(root.filePath(QStringLiteral("sys")), root.filePath(QStringLiteral("proc"))),
                  c.isMac)
            << c.content;
    }
}
