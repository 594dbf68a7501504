#include "energy/drain_records.h"
#include "energy/iso_time.h"
#include "energy/record_scanner.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include <random>

namespace {

constexpr double kMarchFirst = 1740820502; // 2025-03-01T09:15:02Z

} // namespace

TEST(DrainRecords, PowerAndProcLinesHaveExactlyTheirEightAndFiveKeys)
{
    EXPECT_EQ(powerRecordLine(kMarchFirst + 0.9, 80, 7.25, 4.5, false, QString(), 0),
              QByteArray(R"({"chargeW":4.5,"charging":false,"kind":"power","level":80,"packageW":7.25,)"
                         R"("t":"2025-03-01T09:15:02Z","top":"","topScore":0})"
                         "\n"));
    EXPECT_EQ(powerRecordLine(kMarchFirst, 41, 12.5, 0, true, QStringLiteral("Web Content"), 31.5),
              QByteArray(R"({"chargeW":0,"charging":true,"kind":"power","level":41,"packageW":12.5,)"
                         R"("t":"2025-03-01T09:15:02Z","top":"Web Content","topScore":31.5})"
                         "\n"));
    EXPECT_EQ(procRecordLine(kMarchFirst, QStringLiteral("cc1plus \"x\""), 24.75, 95.5),
              QByteArray(R"({"cpu":95.5,"kind":"proc","name":"cc1plus \"x\"","score":24.75,)"
                         R"("t":"2025-03-01T09:15:02Z"})"
                         "\n"));
}

TEST(DrainRecords, EventLinesUseTheFourStoredNames)
{
    struct Case { DrainEvent event; const char *name; };
    const Case cases[] = {
        {DrainEvent::DisplaySleep, "display_sleep"},
        {DrainEvent::DisplayWake, "display_wake"},
        {DrainEvent::SystemSleep, "system_sleep"},
        {DrainEvent::SystemWake, "system_wake"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(eventRecordLine(kMarchFirst, drainEventName(c.event)),
                  R"({"kind":"event","name":")" + QByteArray(c.name) + R"(","t":"2025-03-01T09:15:02Z"})" "\n");
}

TEST(IsoTime, FormatsUtcWithoutFractions)
{
    EXPECT_EQ(formatIsoUtc(kMarchFirst), QStringLiteral("2025-03-01T09:15:02Z"));
    EXPECT_EQ(formatIsoUtc(kMarchFirst + 0.999), QStringLiteral("2025-03-01T09:15:02Z"));
    EXPECT_EQ(formatIsoUtc(0), QStringLiteral("1970-01-01T00:00:00Z"));
}

TEST(IsoTime, ParsesWhatQtParsesAndRejectsNonDates)
{
    struct Case { const char *text; std::optional<double> seconds; };
    const Case cases[] = {
        {"2025-03-01T09:15:02Z", kMarchFirst},
        {"2024-02-29T23:59:59Z", 1709251199},
        {"1970-01-01T00:00:00Z", 0},
        {"2025-03-01T10:15:02+01:00", kMarchFirst}, // offsets go through Qt
        {"2025-03-01T09:15:02.500Z", kMarchFirst + 0.5},
        {"2025-02-29T09:15:02Z", std::nullopt}, // not a leap year
        {"2025-13-01T09:15:02Z", std::nullopt},
        {"2025-03-01T24:15:02Z", std::nullopt},
        {"yesterday", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseIsoDate(c.text), c.seconds) << c.text;
}

TEST(IsoTime, HandParsedStampsAgreeWithQtAcrossYears)
{
    for (qint64 seconds = -86400LL * 800; seconds < 86400LL * 365 * 90; seconds += 86400 * 7 + 3601) {
        const QString text = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate);
        ASSERT_EQ(parseIsoDate(text.toStdString()), static_cast<double>(seconds)) << text.toStdString();
    }
}

TEST(RecordScanner, FindsTheTopLevelTimeOfValidObjectsOnly)
{
    using V = RecordScan::Verdict;
    struct Case { const char *line; V verdict; std::optional<std::string_view> time; };
    const Case cases[] = {
        {R"({"t":"2025-03-01T09:15:02Z","kind":"proc"})", V::Object, "2025-03-01T09:15:02Z"},
        {R"( { "kind" : "x" , "t" : "a" } )", V::Object, "a"},
        {R"({"kind":"power","level":80})", V::Object, std::nullopt},
        {R"({"t":5})", V::Object, std::nullopt},
        {R"({"x":{"t":"nested"},"a":[1,-2.5e3,true,false,null,"s\"\u00e9"]})", V::Object, std::nullopt},
        {R"({})", V::Object, std::nullopt},
        {R"({"t":"2025-03-01T09:15:02Z","kind":"pow)", V::NotAnObject, std::nullopt}, // cut off mid-write
        {R"([1,2])", V::NotAnObject, std::nullopt},
        {R"("t")", V::NotAnObject, std::nullopt},
        {"not json", V::NotAnObject, std::nullopt},
        {R"({"t":"a",})", V::NotAnObject, std::nullopt},
        {R"({"n":01})", V::Unsure, std::nullopt},
        {R"({"n":1.})", V::Unsure, std::nullopt},
        {R"({"n":-})", V::Unsure, std::nullopt},
        {R"({"s":"tab	inside"})", V::Unsure, std::nullopt}, // Qt reads these leniently
        {R"({"s":"\x"})", V::Unsure, std::nullopt},
        {R"({"s":"\)", V::NotAnObject, std::nullopt},
        {R"({"t":"a"} x)", V::NotAnObject, std::nullopt},
        {R"({"t":"2025\u002d03"})", V::Unsure, std::nullopt},
        {R"({"\u0074":"a"})", V::Unsure, std::nullopt},
        {R"({"t":"a","t":"b"})", V::Unsure, std::nullopt},
    };
    for (const Case &c : cases) {
        const RecordScan scan = scanRecord(c.line);
        EXPECT_EQ(scan.verdict, c.verdict) << c.line;
        EXPECT_EQ(scan.time, c.time) << c.line;
    }
}

// The scan decides which lines a trim keeps: it must never call a line that
// Qt reads as an object anything else (that would lose a record), and what it
// calls an object must read the same in Qt.
TEST(RecordScanner, AgreesWithQtOnMutatedRecords)
{
    const QByteArray seeds[] = {
        powerRecordLine(kMarchFirst, 80, 7.25, 4.5, false, QStringLiteral("Web Content"), 31.5).trimmed(),
        procRecordLine(kMarchFirst, QStringLiteral("caf\u00e9 \"q\" \\"), -1e-3, 0).trimmed(),
        QByteArray(R"({"t":"2025-03-01T09:15:02Z","a":[{"b":null},true,false,-0.5E+2],"c":"\u00e9\n"})"),
    };
    const char alphabet[] = "{}[]\":,\\tfnrue0123456789.-+Eaz \x01\xc3";
    std::mt19937 random(20250301);
    int objects = 0;
    for (int round = 0; round < 100000; ++round) {
        QByteArray line = seeds[round % 3];
        const int edits = 1 + static_cast<int>(random() % 3);
        for (int e = 0; e < edits && !line.isEmpty(); ++e) {
            const auto at = static_cast<qsizetype>(random() % static_cast<unsigned>(line.size()));
            const char c = alphabet[random() % (sizeof alphabet - 1)];
            switch (random() % 3) {
            case 0: line.remove(at, 1); break;
            case 1: line.insert(at, c); break;
            default: line[at] = c; break;
            }
        }
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        const bool qtObject = error.error == QJsonParseError::NoError && document.isObject();
        const std::string text = line.toStdString();
        const RecordScan scan = scanRecord(text);
        if (qtObject) {
            ASSERT_NE(scan.verdict, RecordScan::Verdict::NotAnObject) << line.toHex().toStdString();
        }
        if (scan.verdict == RecordScan::Verdict::Object) {
            ++objects;
            ASSERT_TRUE(qtObject) << line.toStdString();
            const QJsonValue time = document.object().value(QStringLiteral("t"));
            ASSERT_EQ(scan.time.has_value(), time.isString()) << line.toStdString();
            if (scan.time) {
                ASSERT_EQ(QString::fromUtf8(scan.time->data(), static_cast<qsizetype>(scan.time->size())), time.toString());
            }
        }
    }
    EXPECT_GT(objects, 1000) << "the mutations must leave many valid objects to compare";
}

TEST(RecordTime, FallsBackToTheFullParserWhereTheScanIsUnsure)
{
    EXPECT_EQ(recordTime(R"({"t":"2025-03-01T09:15:02\u005a"})"), kMarchFirst);
    EXPECT_EQ(recordTime(R"({"\u0074":"2025-03-01T09:15:02Z"})"), kMarchFirst);
    EXPECT_EQ(recordTime(R"({"t":"2025-03-01T09:15:02Z","kind":"power"})"), kMarchFirst);
    EXPECT_EQ(recordTime(R"({"t":"not a date"})"), std::nullopt);
    EXPECT_EQ(recordTime(R"({"kind":"power"})"), std::nullopt);
    EXPECT_EQ(recordTime("garbage"), std::nullopt);
}

TEST(KeepRecordsSince, KeepsDatedRecordsFromTheCutoffAndDropsEverythingElse)
{
    QByteArray text = R"({"t":"2025-03-01T09:15:01Z","kind":"event","name":"old"}

{"t":"2025-03-01T09:15:02Z","kind":"event","name":"at cutoff"}
{"kind":"event","name":"no time"}
{"t":"soon","kind":"event","name":"bad date"}
junk
{"t":"2025-03-01T10:00:00Z","kind":"event","name":"new"}
{"t":"2025-03-01T10:00:01Z","kind":"ev)";
    EXPECT_TRUE(keepRecordsSince(text, kMarchFirst));
    EXPECT_EQ(text.toStdString(), R"({"t":"2025-03-01T09:15:02Z","kind":"event","name":"at cutoff"}
{"t":"2025-03-01T10:00:00Z","kind":"event","name":"new"}
)");
}

TEST(KeepRecordsSince, ReportsWhetherAnythingChanged)
{
    struct Case { QByteArray text; bool changed; const char *after; };
    const Case cases[] = {
        {R"({"t":"2025-03-01T09:15:02Z"})" "\n", false, R"({"t":"2025-03-01T09:15:02Z"})" "\n"},
        {R"({"t":"2025-03-01T09:15:02Z"})", true, R"({"t":"2025-03-01T09:15:02Z"})" "\n"}, // final feed added
        {"\n" R"({"t":"2025-03-01T09:15:02Z"})", true, R"({"t":"2025-03-01T09:15:02Z"})" "\n"},
        {"", false, ""},
        {R"({"t":"2025-03-01T09:15:01Z"})" "\n", true, ""}, // all old: no stray line feed
    };
    for (Case c : cases) {
        EXPECT_EQ(keepRecordsSince(c.text, kMarchFirst), c.changed) << c.after;
        EXPECT_EQ(c.text.toStdString(), c.after);
    }
}
