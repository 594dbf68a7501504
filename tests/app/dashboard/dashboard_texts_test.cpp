#include "app/dashboard/dashboard_texts.h"
#include "app/dashboard/power_distribution_view.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace DashboardTexts;

TEST(DashboardTexts, StatusChip)
{
    const struct
    {
        bool present, charging, onAC;
        int level, drop;
        const char *text;
        ChipKind kind;
    } table[] = {
        {false, false, true, 0, 9, "Desktop", ChipKind::neutral},
        {true, true, true, 40, 9, "Charging", ChipKind::charging},
        {true, false, false, 60, 5, "Draining fast", ChipKind::drainingFast},
        {true, false, false, 60, 4, "On battery", ChipKind::neutral},
        {true, false, true, 100, 9, "Full", ChipKind::neutral},
        {true, false, true, 99, 0, "Plugged in", ChipKind::neutral},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(statusChip(row.present, row.charging, row.onAC, row.level, row.drop),
                  (Chip{QString::fromUtf8(row.text), row.kind}));
    }
}

TEST(DashboardTexts, TimeHeadline)
{
    const QString calculating = QStringLiteral("Calculating…");
    const QString left = QStringLiteral("2h 05m left");
    const QString full = QStringLiteral("Fully charged");
    const struct
    {
        bool present, charging, onAC;
        QString timeText;
        std::optional<int> minutes;
        QString expected;
    } table[] = {
        {false, false, true, left, 125, QStringLiteral("Running on power adapter")},
        {true, false, false, calculating, 125, QStringLiteral("Estimating time left…")},
        {true, false, false, left, std::nullopt, QStringLiteral("Estimating time left…")},
        {true, true, true, calculating, std::nullopt, QStringLiteral("Estimating time left…")},
        {true, false, true, full, std::nullopt, full}, // on AC, not charging: the text as it is
        {true, false, false, left, 125, left},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.expected.toStdString());
        EXPECT_EQ(timeHeadline(row.present, row.charging, row.onAC, row.timeText, row.minutes), row.expected);
    }
}

TEST(DashboardTexts, LinesAndSummaries)
{
    EXPECT_EQ(packageLine(7.45, QStringLiteral("Battery")), QStringLiteral("Package 7.5 W · Battery"));
    EXPECT_EQ(percentText(false, 0), QStringLiteral("AC"));
    ProcEnergy process;
    process.name = QStringLiteral("firefox");
    process.estimatedWatts = 3.4;
    process.powerShare = 0.466;
    EXPECT_EQ(shareText(process), QStringLiteral("47%"));
    EXPECT_EQ(appsSummary({process}), QStringLiteral("firefox · 3.4 W"));
    EXPECT_EQ(appsSummary({}), QStringLiteral("Nothing heavy running right now"));

    WhyDrain why;
    why.windowLabel = QStringLiteral("last hour");
    EXPECT_EQ(whySummary(why), QStringLiteral("steady"));
    why.dropPercent = 6;
    EXPECT_EQ(whySummary(why), QStringLiteral("6% · last hour"));
    why.summary = QStringLiteral("NOT ENOUGH local history yet");
    EXPECT_TRUE(lacksHistory(why));
    why.culprits = QList<DrainCulprit>(7, DrainCulprit{});
    EXPECT_EQ(listedCulprits(why).size(), 5);
}

TEST(PowerDistribution, TotalRule)
{
    const struct
    {
        PowerDistribution distribution;
        double total;
    } table[] = {
        {{1, 1, 0, 0.5, 0, 9.0}, 9.0}, // the package when above 0.05 W
        {{1, 1, 0, 0.5, 0, 2.0}, 2.0}, // even below the sum of the parts
        {{1, 1, 0, 0.5, 0.2, 0.05}, 2.7}, // otherwise the larger of package and parts
        {{0, 0, 0, 0, 0, 0}, 0.01}, // never 0
    };
    for (const auto &row : table)
        EXPECT_DOUBLE_EQ(row.distribution.total(), row.total);
}

TEST(PowerDistribution, BarsInOrderWithOtherOnlyAboveNoise)
{
    PowerDistribution quiet{0, 0, 0, 0, 0.05, 0};
    QStringList labels;
    for (const PowerDistributionBar &bar : quiet.bars()) {
        labels << bar.label;
        EXPECT_EQ(bar.fraction(), 0.0) << "every bar empty";
    }
    EXPECT_EQ(labels, (QStringList{"CPU", "GPU", "ANE", "Memory"}));

    const PowerDistribution busy{4, 1, 0, 1, 0.5, 8};
    const QList<PowerDistributionBar> bars = busy.bars();
    ASSERT_EQ(bars.size(), 5);
    EXPECT_EQ(bars.last().label, QStringLiteral("Other"));
    EXPECT_DOUBLE_EQ(bars.first().fraction(), 0.5);
    EXPECT_EQ(bars.first().tint, QColor::fromRgbF(0.35f, 0.75f, 1.0f));
}
