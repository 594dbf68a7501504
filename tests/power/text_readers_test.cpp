#include "power/battery_text_readers.h"

#include "battery_watts.h"
#include "support/battery_printers.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

QString fixture(const char *name)
{
    QFile file(TestPaths::fixtures() + QStringLiteral("/text/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing fixture " << name;
    return QString::fromUtf8(file.readAll());
}

TEST(TextReaders, MissingOrEmptyOutputAndOutputWithoutTheBatteryKnowNothing)
{
    const BatSourceReading pmset{.name = QStringLiteral("pmset")};
    const BatSourceReading ioreg{.name = QStringLiteral("ioreg")};
    for (const std::optional<QString> &output : {std::optional<QString>(), std::optional(QString())}) {
        EXPECT_EQ(parsePmset(output), pmset) << (output ? "empty" : "missing");
        EXPECT_EQ(parseIoreg(output), ioreg) << (output ? "empty" : "missing");
    }
    EXPECT_EQ(parseIoreg(QStringLiteral("+-o Root  <class IORegistryEntry>\n")), ioreg);
}

TEST(PmsetReader, RecordedOutputs)
{
    struct Case { const char *file; BatSourceReading expected; };
    const Case cases[] = {
        {"pmset-discharging.txt", {.present = true, .level = 76, .charging = false, .onAC = false, .minutes = 252}},
        {"pmset-charging.txt", {.present = true, .level = 54, .charging = true, .onAC = true, .minutes = 98}},
        // 0:00 remaining is no estimate.
        {"pmset-charged.txt", {.present = true, .level = 100, .charging = false, .onAC = true}},
        {"pmset-not-charging.txt", {.present = true, .level = 80, .charging = false, .onAC = true}},
        {"pmset-no-estimate.txt", {.present = true, .level = 93, .charging = false, .onAC = false}},
        {"pmset-desktop.txt", {.present = false, .onAC = true}},
    };
    for (Case c : cases) {
        c.expected.name = QStringLiteral("pmset");
        EXPECT_EQ(parsePmset(fixture(c.file)), c.expected) << c.file;
    }
}

TEST(PmsetReader, TextRules)
{
    struct Case { const char *what; const char *text; BatSourceReading expected; };
    const Case cases[] = {
        {"no power source named: presence unknown", "battery at 50%", {.level = 50}},
        {"AC power with a percentage", "Now drawing from 'AC Power'\n 80%", {.present = true, .level = 80, .onAC = true}},
        {"percentage above 100", "InternalBattery 120%", {.present = true}},
        {"finishing charge", "AC Power InternalBattery 97%; finishing charge; 0:05 remaining",
         {.present = true, .level = 97, .charging = false, .onAC = true, .minutes = 5}},
        {"attached counts as AC", "InternalBattery 50%; discharging; AC attached",
         {.present = true, .level = 50, .charging = false, .onAC = true}},
        {"remaining is matched without regard to case", "InternalBattery 50%; discharging; 12:30 REMAINING",
         {.present = true, .level = 50, .charging = false, .onAC = false, .minutes = 750}},
        {"clock without remaining", "InternalBattery 50%; discharging; 2:10", {.present = true, .level = 50, .charging = false, .onAC = false}},
    };
    for (Case c : cases) {
        c.expected.name = QStringLiteral("pmset");
        EXPECT_EQ(parsePmset(QString::fromUtf8(c.text)), c.expected) << c.what;
    }
}

TEST(IoregReader, RecordedOutputs)
{
    struct Case { const char *file; BatSourceReading expected; };
    const Case cases[] = {
        // The amperage is printed as a 64-bit pattern.
        {"ioreg-discharging.txt",
         {.present = true, .level = 76, .charging = false, .onAC = false, .chargeW = watts(1000, 11856), .minutes = 301,
          .cycles = 312, .health = 100, .rawMax = 4938, .design = 4950, .rawCurrent = 3753, .amperageMA = -1000,
          .voltageMV = 11856}},
        {"ioreg-charging.txt",
         {.present = true, .level = 54, .charging = true, .onAC = true, .chargeW = watts(1893, 12603), .minutes = 98,
          .cycles = 87, .health = 94, .rawMax = 5296, .design = 5650, .rawCurrent = 2861, .amperageMA = 1893,
          .voltageMV = 12603}},
    };
    for (Case c : cases) {
        c.expected.name = QStringLiteral("ioreg");
        EXPECT_EQ(parseIoreg(fixture(c.file)), c.expected) << c.file;
    }
}

TEST(IoregReader, ThirtyTwoBitPatternAndDigitBooleans)
{
    const BatSourceReading reading = parseIoreg(fixture("ioreg-32bit-amperage.txt"));
    EXPECT_EQ(reading.amperageMA, -1000);
    EXPECT_EQ(reading.level, 61);
    EXPECT_EQ(reading.charging, false);
    EXPECT_EQ(reading.onAC, false);
    EXPECT_EQ(reading.voltageMV, 11620);
    EXPECT_EQ(reading.minutes, 212); // average 65535 is no estimate
}

TEST(IoregReader, AmperageRepair)
{
    struct Case { const char *what; const char *text; std::optional<int> amperage; };
    const Case cases[] = {
        {"plain negative", "\"CurrentCapacity\" = 50\n\"InstantAmperage\" = -1200", -1200},
        {"average when instant is missing", "\"CurrentCapacity\" = 50\n\"Amperage\" = -900", -900},
        {"average printed as a 64-bit pattern", "\"CurrentCapacity\" = 50\n\"Amperage\" = 18446744073709550616", -1000},
        {"64-bit pattern with implausible low bits", "\"CurrentCapacity\" = 50\n\"Amperage\" = 18446744069415632896", std::nullopt},
        {"within 30 A is kept", "\"CurrentCapacity\" = 50\n\"InstantAmperage\" = 29000", 29000},
        {"between 30 A and the 32-bit bound is kept", "\"CurrentCapacity\" = 50\n\"InstantAmperage\" = 40000", 40000},
        {"beyond 64 bits is no number", "\"CurrentCapacity\" = 50\n\"InstantAmperage\" = 99999999999999999999999", std::nullopt},
        {"the 32-bit minimum is no amperage", "\"CurrentCapacity\" = 50\n\"Amperage\" = -2147483648", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseIoreg(QString::fromUtf8(c.text)).amperageMA, c.amperage) << c.what;
}

TEST(IoregReader, LevelAndMinutesRules)
{
    struct Case { const char *what; const char *text; std::optional<int> level; std::optional<int> minutes; };
    const Case cases[] = {
        {"raw capacities win", "\"AppleRawCurrentCapacity\" = 1000\n\"AppleRawMaxCapacity\" = 4000\n\"CurrentCapacity\" = 90",
         25, std::nullopt},
        {"max capacity stands in for the raw one", "\"AppleRawCurrentCapacity\" = 2000\n\"MaxCapacity\" = 4000", 50, std::nullopt},
        {"percentage", "\"CurrentCapacity\" = 90\n\"MaxCapacity\" = 0", 90, std::nullopt},
        {"percentage above 100", "\"CurrentCapacity\" = 3000", std::nullopt, std::nullopt},
        {"charging prefers time to full",
         "\"CurrentCapacity\" = 50\n\"IsCharging\" = Yes\n\"AvgTimeToEmpty\" = 300\n\"AvgTimeToFull\" = 60", 50, 60},
        {"charging without time to full falls to remaining",
         "\"CurrentCapacity\" = 50\n\"IsCharging\" = Yes\n\"AvgTimeToEmpty\" = 300\n\"TimeRemaining\" = 70", 50, 70},
        {"discharging", "\"CurrentCapacity\" = 50\n\"IsCharging\" = No\n\"AvgTimeToEmpty\" = 300\n\"AvgTimeToFull\" = 60", 50,
         300},
    };
    for (const Case &c : cases) {
        const BatSourceReading reading = parseIoreg(QString::fromUtf8(c.text));
        EXPECT_EQ(reading.level, c.level) << c.what;
        EXPECT_EQ(reading.minutes, c.minutes) << c.what;
    }
}

} // namespace
