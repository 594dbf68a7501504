#include "app/ui/menu_panel_rules.h"
#include "app/ui/pendra_status_copy.h"
#include "platform/platform_texts.h"
#include "support/qt_printers.h"
#include "app/test_processes.h"

#include <gtest/gtest.h>

using namespace MenuPanelRules;

namespace {

QList<double> ramp(int count)
{
    QList<double> values;
    for (int i = 0; i < count; ++i)
        values.append(i);
    return values;
}

} // namespace

TEST(MenuPanelRules, WattsPublishOnlyWhenTheRoundedReadingMovesAtLeastFiveHundredths)
{
    const struct Case
    {
        double shown, reading;
        std::optional<double> published;
    } cases[] = {
        {7.43, 7.44, std::nullopt}, // rounds to 7.4, 0.03 away
        {7.43, 7.47, 7.47}, // rounds to 7.5, 0.07 away: the unrounded reading
        {7.4, 7.45, 7.45}, // rounds to 7.5 (half away), 0.1 away
        {7.4, 7.349, 7.349}, // rounds to 7.3, 0.1 away
        {0, 0.04, std::nullopt},
        {0, 0.05, 0.05}, // rounds to 0.1
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.shown << " → " << c.reading);
        EXPECT_EQ(roundedWattsUpdate(c.shown, c.reading), c.published);
    }
}

TEST(MenuPanelRules, DomainWattsMoveFromFiveHundredthsUp)
{
    EXPECT_FALSE(domainWattsMoved(1.0, 1.04));
    EXPECT_TRUE(domainWattsMoved(1.0, 1.06));
    EXPECT_TRUE(domainWattsMoved(1.0, 0.9));
    EXPECT_FALSE(domainWattsMoved(0, 0));
}

TEST(MenuPanelRules, SparkIsThinnedToEveryStepthPointFromFortyUp)
{
    const struct Case
    {
        int count;
        int step;
    } cases[] = {{0, 1}, {1, 1}, {39, 1}, {40, 1}, {60, 1}, {79, 1}, {80, 2}, {100, 2}, {120, 3}, {700, 17}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.count);
        const QList<double> thinned = thinSpark(ramp(c.count));
        QList<double> expected;
        for (int i = 0; i < c.count; i += c.step)
            expected.append(i);
        EXPECT_EQ(thinned, expected);
    }
}

TEST(MenuPanelRules, SparkPointsWithinFifteenHundredthsCountAsUnchanged)
{
    EXPECT_TRUE(sameSpark({1, 2, 3}, {1.15, 1.85, 3}));
    EXPECT_FALSE(sameSpark({1, 2, 3}, {1.16, 2, 3}));
    EXPECT_FALSE(sameSpark({1, 2, 3}, {1, 2}));
    EXPECT_TRUE(sameSpark({}, {}));
}

TEST(MenuPanelRules, SparkLabelNamesTheHistorySpan)
{
    const struct Case
    {
        qsizetype samples;
        const char *label;
    } cases[] = {
        {0, ""}, // counts as one sample, 6 s
        {9, ""}, // 54 s
        {10, " · last 1 min"}, // 60 s
        {19, " · last 1 min"}, // 114 s
        {20, " · last 2 min"},
        {499, " · last 49 min"}, // 2994 s
        {500, " · last hour"}, // 3000 s
    };
    // "Mac power draw" on a Mac, "Power draw" elsewhere.
    const QString powerDraw = PlatformTexts::onThisMachine(PendraStatusCopy::kMacPowerDraw);
    for (const Case &c : cases)
        EXPECT_EQ(sparkLabel(c.samples), powerDraw + QString::fromUtf8(c.label)) << c.samples;
}

TEST(MenuPanelRules, TimeDetailAndPowerSourceFollowTheBatteryState)
{
    const QString time = QStringLiteral("2h 5m left");
    const QString status = QStringLiteral("Plugged in");
    const struct Case
    {
        bool present, charging, onAC;
        int level;
        const char *detail;
        const char *source;
    } cases[] = {
        {false, false, true, 0, "AC power", "Power Adapter"},
        {true, true, true, 50, "2h 5m left", "Power Adapter"},
        {true, false, true, 100, "Fully Charged", "Power Adapter"},
        {true, false, true, 99, "Plugged in", "Power Adapter"},
        {true, false, false, 40, "2h 5m left", "Battery"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.detail);
        EXPECT_EQ(timeDetail(c.present, c.charging, c.onAC, c.level, time, status), QString::fromUtf8(c.detail));
        EXPECT_EQ(powerSourceWord(c.present, c.charging, c.onAC), QString::fromUtf8(c.source));
    }
}

TEST(MenuPanelRules, TopAppsAreCutToFive)
{
    QList<ProcEnergy> six;
    for (int i = 1; i <= 6; ++i)
        six.append(process(i, 7 - i));
    const QList<ProcEnergy> cut = topApps(six);
    ASSERT_EQ(cut.size(), 5);
    EXPECT_EQ(cut.last().id, 5);
    EXPECT_EQ(topApps(six.first(5)), six.first(5));
    EXPECT_TRUE(topApps({}).isEmpty());
}

TEST(MenuPanelRules, TopAppsChangeOnIdentityCountOrMoreThanTwelveHundredthsOfAWatt)
{
    const QList<ProcEnergy> shown{process(1, 2.0), process(2, 1.0)};
    EXPECT_TRUE(sameTopApps(shown, {process(1, 2.11), process(2, 0.89, 99)}));
    EXPECT_FALSE(sameTopApps(shown, {process(1, 2.13), process(2, 1.0)}));
    EXPECT_FALSE(sameTopApps(shown, {process(2, 1.0), process(1, 2.0)}));
    EXPECT_FALSE(sameTopApps(shown, {process(1, 2.0)}));
}
