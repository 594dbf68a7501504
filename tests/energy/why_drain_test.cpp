#include "energy/iso_time.h"
#include "energy/why_drain.h"
#include "support/qt_printers.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

constexpr double kNow = 1740820502; // 2025-03-01T09:15:02Z

QByteArray at(double secondsAgo, const QString &body)
{
    return QStringLiteral(R"({"t":"%1",%2})").arg(formatIsoUtc(kNow - secondsAgo), body).toUtf8() + '\n';
}

QByteArray power(double secondsAgo, int level, const QString &top = {}, double topScore = 0)
{
    return at(secondsAgo, QStringLiteral(R"("kind":"power","level":%1,"packageW":5,"chargeW":4,"charging":false,"top":"%2","topScore":%3)")
                              .arg(level)
                              .arg(top)
                              .arg(topScore));
}

QByteArray proc(double secondsAgo, const QString &name, double score)
{
    return at(secondsAgo, QStringLiteral(R"("kind":"proc","name":"%1","score":%2,"cpu":50)").arg(name).arg(score));
}

QByteArray event(double secondsAgo, const QString &name)
{
    return at(secondsAgo, QStringLiteral(R"("kind":"event","name":"%1")").arg(name));
}

QStringList names(const WhyDrain &answer)
{
    QStringList result;
    for (const DrainCulprit &culprit : answer.culprits)
        result << culprit.name;
    return result;
}

} // namespace

TEST(WhyDrain, DropIsFirstMinusLastLevelInTimeOrderAndNeverNegative)
{
    struct Case { QByteArray log; int drop; };
    const Case cases[] = {
        {QByteArray(), 0},
        {power(3000, 80) + power(60, 83), 0}, // charging
        {power(3000, 90) + power(60, 84), 6},
        {power(60, 84) + power(3000, 90), 6}, // lines out of order
        {power(60, 84), 0},
        {power(3000, 90) + at(1000, R"("kind":"power","level":85.5)") + power(60, 88), 2},
        {power(3660, 99) + power(3540, 90) + power(60, 84), 6}, // 61 min ago is outside, 59 inside
        {power(3000, 90) + power(2000, 2147483647) + power(60, -1) + power(60, 84), 6}, // implausible levels are skipped
    };
    for (const Case &c : cases)
        EXPECT_EQ(analyseDrainLog(c.log, kNow).dropPercent, c.drop) << c.log.toStdString();
}

TEST(WhyDrain, CulpritsRankNamesBySummedScore)
{
    const QByteArray log = power(3000, 90) + proc(2000, "alpha", 30) + proc(1000, "beta", 10) + power(60, 84);
    const WhyDrain answer = analyseDrainLog(log, kNow);
    EXPECT_EQ(answer.dropPercent, 6);
    ASSERT_EQ(answer.culprits.size(), 2);
    EXPECT_EQ(answer.culprits[0], (DrainCulprit{"alpha", 0.75, "75% of attributed energy samples"}));
    EXPECT_EQ(answer.culprits[1], (DrainCulprit{"beta", 0.25, "25% of attributed energy samples"}));
}

TEST(WhyDrain, PowerAndProcScoresOfOneNameAddUpAndEmptyTopsAddNothing)
{
    const QByteArray log = power(3000, 90, "alpha", 5) + proc(2000, "alpha", 5) + proc(1900, "beta", 15)
        + power(1000, 88, "", 500) + proc(900, "", 2);
    const WhyDrain answer = analyseDrainLog(log, kNow);
    EXPECT_EQ(names(answer), (QStringList{"beta", "alpha", ""}));
    EXPECT_DOUBLE_EQ(answer.culprits[1].share, 10.0 / 27.0);
}

TEST(WhyDrain, OnlyTheThreeStrongestOfTheLastHourAppear)
{
    const QByteArray log = proc(100, "a", 1) + proc(100, "b", 4) + proc(100, "c", 3) + proc(100, "d", 2);
    EXPECT_EQ(names(analyseDrainLog(log, kNow)), (QStringList{"b", "c", "d"}));
    EXPECT_EQ(names(analyseDrainLog(proc(3660, "old", 50) + proc(3540, "recent", 5), kNow)), QStringList{"recent"});
}

TEST(WhyDrain, ZeroScoresGiveZeroShares)
{
    const WhyDrain answer = analyseDrainLog(proc(100, "a", 0) + proc(100, "b", 0), kNow);
    ASSERT_EQ(answer.culprits.size(), 2);
    for (const DrainCulprit &culprit : answer.culprits) {
        EXPECT_EQ(culprit.share, 0);
        EXPECT_EQ(culprit.note, QStringLiteral("0% of attributed energy samples"));
    }
}

TEST(WhyDrain, SummaryForEachDropAndCulpritCase)
{
    struct Case { int drop; std::optional<QString> culprit; const char *summary; };
    const Case cases[] = {
        {0, std::nullopt, "Battery held steady over the last hour (or you were charging)."},
        {0, "alpha", "Battery held steady. Highest energy activity still logged for reference."},
        {7, std::nullopt, "Battery dropped ~7% in the last hour, but no dominant process was logged yet."},
        {7, "alpha", "alpha was responsible for the largest share of energy use while battery dropped ~7% in the last hour."},
        {3, "50%2 %1", "50%2 %1 was responsible for the largest share of energy use while battery dropped ~3% in the last hour."},
    };
    for (const Case &c : cases)
        EXPECT_EQ(whyDrainSummary(c.drop, c.culprit, {}), QString::fromUtf8(c.summary));
}

TEST(WhyDrain, EventNotesFollowTheSummary)
{
    struct Case { QByteArray log; const char *summary; };
    const Case cases[] = {
        {event(100, "display_wake"), "Battery held steady over the last hour (or you were charging)."},
        {event(100, "display_wake") + event(50, "display_wake"),
         "Battery held steady over the last hour (or you were charging). Display woke 2× in this window."},
        {event(300, "display_wake") + event(200, "display_wake") + event(100, "display_wake") + event(90, "display_sleep")
             + event(80, "system_sleep") + event(70, "system_wake"),
         "Battery held steady over the last hour (or you were charging). Display woke 3× in this window. Display slept 1×. System sleep recorded."},
        {event(70, "system_wake"), "Battery held steady over the last hour (or you were charging)."},
    };
    for (const Case &c : cases)
        EXPECT_EQ(analyseDrainLog(c.log, kNow).summary, QString::fromUtf8(c.summary));
}

TEST(WhyDrain, HandEditedLogWithJunkLinesCountsOnlyWellFormedFieldGroups)
{
    QFile fixture(TestPaths::fixtures() + QStringLiteral("/energy/hand_edited_drain.jsonl"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    // The fixture's records lie between 09:00:00Z and 09:59:00Z on 2025-03-01.
    const double tenOClock = 1740823200; // 2025-03-01T10:00:00Z
    const WhyDrain answer = analyseDrainLog(fixture.readAll(), tenOClock);
    EXPECT_EQ(answer.dropPercent, 7);
    EXPECT_EQ(names(answer), (QStringList{"firefox", "cc1plus"}));
    EXPECT_EQ(answer.culprits[0].note, QStringLiteral("60% of attributed energy samples"));
    EXPECT_EQ(answer.summary,
              QStringLiteral("firefox was responsible for the largest share of energy use while battery dropped ~7% in the last hour. "
                             "Display woke 2× in this window. System sleep recorded."));
}
