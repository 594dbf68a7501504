#include "app/ui/pendra_status_copy.h"
#include "support/qt_printers.h"
#include "app/test_processes.h"

#include <gtest/gtest.h>

using namespace PendraStatusCopy;

TEST(PendraStatusCopy, PowerSourceLineNamesTheSourceAndPackageWatts)
{
    const struct Case
    {
        bool present, charging, onAC;
        int level;
        double watts;
        const char *line;
    } cases[] = {
        {false, false, true, 0, 31.0, "Desktop · AC only"},
        {true, true, true, 40, 12.25, "Charging · package 12.2 W"}, // printf rounding
        {true, false, false, 40, 7.46, "On Battery · package 7.5 W"},
        {true, false, true, 100, 4.0, "Fully Charged · package 4.0 W"},
        {true, false, true, 99, 4.0, "On Adapter · package 4.0 W"},
        {true, true, true, 100, 0.0, "Charging · package 0.0 W"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(powerSourceLine(c.present, c.charging, c.onAC, c.level, c.watts), QString::fromUtf8(c.line));
}

TEST(PendraStatusCopy, TopAppLineShowsTheLeaderOrNone)
{
    EXPECT_EQ(topAppLine(QList<ProcEnergy>{}), QStringLiteral("None"));
    EXPECT_EQ(topAppLine({process(1, 3.21, 10, QStringLiteral("firefox")), process(2, 0, 10, QStringLiteral("code"))}),
              QStringLiteral("firefox · 3.2 W"));
}

TEST(PendraStatusCopy, TimeSuffixesAreStrippedOnceEachIgnoringCase)
{
    const struct Case
    {
        const char *in, *out;
    } cases[] = {
        {"2h 05m remaining", "2h 05m"},
        {"2h 05m Remaining", "2h 05m"},
        {"1h 20m until full", "1h 20m"},
        {"2h 5m left", "2h 5m"},
        {"45 min LEFT", "45 min"},
        {"2h left left", "2h left"}, // only the first occurrence
        {"45 min to full", "45 min to full"}, // not one of the suffixes
        {"Calculating…", "Calculating…"},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(stripTimeSuffix(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}
