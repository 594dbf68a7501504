#include "energy/drain_log.h"
#include "energy/iso_time.h"
#include "fakes/fake_clock.h"
#include "platform/defaults.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <thread>

namespace {

constexpr double kNow = 1740820502; // 2025-03-01T09:15:02Z
constexpr double kDay = 86400;
const QString kRetentionKey = QStringLiteral("pendrapro.retentionDays");

QByteArray eventLine(double time, const char *name)
{
    return QStringLiteral(R"({"kind":"event","name":"%1","t":"%2"})").arg(QLatin1String(name), formatIsoUtc(time)).toUtf8()
        + '\n';
}

QList<QJsonObject> records(const QByteArray &text)
{
    QList<QJsonObject> result;
    for (const QByteArray &line : text.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        result.append(document.object());
    }
    return result;
}

class DrainLogTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    FakeClock clock{kNow};
    // The next random draw; 0 makes the append trim.
    std::atomic<int> nextDraw{1};
    std::atomic<int> drawBound{0};
    std::unique_ptr<DrainLog> log;

    QString path() const { return dir.filePath(QStringLiteral("support/Pendra/drain.jsonl")); }

    void openLog()
    {
        log = std::make_unique<DrainLog>(path(), defaults, clock, [this](int bound) {
            drawBound = bound;
            return nextDraw.load();
        });
    }

    void SetUp() override { openLog(); }

    std::string contents()
    {
        return rawContents().toStdString();
    }

    QByteArray rawContents()
    {
        log->waitForWrites();
        return readFile(path());
    }
};

} // namespace

TEST_F(DrainLogTest, StoredRetentionReadsBackWithinOneToThirtyDays)
{
    struct Case { std::optional<double> stored; int expected; };
    const Case cases[] = {
        {std::nullopt, 14}, {0, 14}, {-3, 14}, {2.5, 14}, {1, 1}, {7, 7}, {30, 30}, {45, 30},
    };
    for (const Case &c : cases) {
        if (c.stored)
            defaults.setDouble(kRetentionKey, *c.stored);
        else
            defaults.remove(kRetentionKey);
        openLog();
        EXPECT_EQ(log->retentionDays(), c.expected) << c.stored.value_or(-999);
    }
}

TEST_F(DrainLogTest, SettingRetentionClampsStoresAndPublishes)
{
    QSignalSpy changed(log.get(), &DrainLog::retentionDaysChanged);
    struct Case { int set; int stored; };
    const Case cases[] = {{0, 1}, {45, 30}, {7, 7}, {-2, 1}};
    for (const Case &c : cases) {
        log->setRetentionDays(c.set);
        EXPECT_EQ(log->retentionDays(), c.stored);
        EXPECT_EQ(defaults.intValue(kRetentionKey), c.stored);
    }
    EXPECT_EQ(changed.size(), 4);
    log->setRetentionDays(1);
    EXPECT_EQ(changed.size(), 4) << "no change, no signal";
}

TEST_F(DrainLogTest, PowerRecordsCarryTheLastNotedTopProcessUntilItIsForgotten)
{
    log->logPower(80, 7.5, 3.25, false);
    log->noteTop(QStringLiteral("alpha"), 30.5, 120);
    log->logPower(79, 8, 3.5, false);
    log->forgetTop();
    log->logPower(78, 8, 3.5, false);
    const QList<QJsonObject> lines = records(rawContents());
    ASSERT_EQ(lines.size(), 4) << "forgetting writes nothing";
    EXPECT_EQ(lines[0].value("top").toString(), QString());
    EXPECT_EQ(lines[0].value("topScore").toDouble(), 0);
    EXPECT_EQ(lines[1].value("name").toString(), QStringLiteral("alpha"));
    EXPECT_EQ(lines[2].value("top").toString(), QStringLiteral("alpha"));
    EXPECT_EQ(lines[2].value("topScore").toDouble(), 30.5);
    EXPECT_EQ(lines[3].value("top").toString(), QString());
    EXPECT_EQ(lines[3].value("topScore").toDouble(), 0);
}

TEST_F(DrainLogTest, FirstAppendCreatesFolderAndFileAndAfterClearingHistoryTheNextStartsAnew)
{
    log->logEvent(DrainEvent::DisplaySleep);
    EXPECT_EQ(contents(), (eventLine(kNow, "display_sleep")).toStdString());
    log->clearHistory();
    EXPECT_EQ(contents(), "<missing>");
    log->logEvent(DrainEvent::DisplayWake);
    EXPECT_EQ(contents(), (eventLine(kNow, "display_wake")).toStdString());
}

TEST_F(DrainLogTest, OneAppendInThirtyTrimsToTheRetention)
{
    writeFile(path(), eventLine(kNow - 15 * kDay, "display_sleep") + eventLine(kNow - 13 * kDay, "display_wake"));
    log->logEvent(DrainEvent::SystemSleep);
    EXPECT_EQ(rawContents().count('\n'), 3) << "no trim on a non-zero draw";
    EXPECT_EQ(drawBound.load(), 30);

    nextDraw = 0;
    log->logEvent(DrainEvent::SystemWake);
    EXPECT_EQ(contents(), (eventLine(kNow - 13 * kDay, "display_wake") + eventLine(kNow, "system_sleep")
                              + eventLine(kNow, "system_wake")).toStdString());
}

TEST_F(DrainLogTest, ShorteningRetentionFromThirtyToOneDayTrimsAtOnce)
{
    log->setRetentionDays(30);
    writeFile(path(), eventLine(kNow - 29 * kDay, "a") + eventLine(kNow - kDay - 1, "b") + eventLine(kNow - kDay, "c")
              + eventLine(kNow - 60, "d"));
    log->setRetentionDays(1);
    EXPECT_EQ(contents(), (eventLine(kNow - kDay, "c") + eventLine(kNow - 60, "d")).toStdString());
}

TEST_F(DrainLogTest, AppendAfterACutOffLineStartsOnAFreshLine)
{
    writeFile(path(), eventLine(kNow - 60, "whole") + R"({"t":"2025-03-01T09:14:03Z","kind":"pow)");
    log->logEvent(DrainEvent::DisplayWake);
    EXPECT_EQ(contents(), (eventLine(kNow - 60, "whole") + R"({"t":"2025-03-01T09:14:03Z","kind":"pow)" "\n"
                              + eventLine(kNow, "display_wake")).toStdString());
}

TEST_F(DrainLogTest, AppendsFromTwoThreadsNeverInterleave)
{
    constexpr int kEach = 1500;
    std::thread power([&] {
        for (int i = 0; i < kEach; ++i)
            log->logPower(i % 101, 10.5, 2.25, false);
    });
    std::thread procs([&] {
        for (int i = 0; i < kEach; ++i)
            log->noteTop(QStringLiteral("process with a fairly long name %1").arg(i), i * 0.5, 99.5);
    });
    power.join();
    procs.join();
    const QList<QJsonObject> lines = records(rawContents());
    ASSERT_EQ(lines.size(), 2 * kEach);
    int powerLines = 0;
    for (const QJsonObject &line : lines)
        powerLines += line.value("kind").toString() == QLatin1String("power") ? 1 : 0;
    EXPECT_EQ(powerLines, kEach);
    EXPECT_EQ(log->lastTopName(), QStringLiteral("process with a fairly long name %1").arg(kEach - 1));
}

TEST_F(DrainLogTest, AppendsRacingTrimsAreNeverLost)
{
    writeFile(path(), eventLine(kNow - 20 * kDay, "expired") + eventLine(kNow - 60, "kept"));
    std::atomic<int> draws{0};
    log = std::make_unique<DrainLog>(path(), defaults, clock, [&](int) { return draws++ % 3; });
    constexpr int kEach = 300;
    std::thread writer([&] {
        for (int i = 0; i < kEach; ++i)
            log->logEvent(DrainEvent::DisplayWake);
    });
    for (int i = 0; i < kEach; ++i) {
        log->logPower(50, 1, 1, false);
        if (i % 50 == 0)
            log->setRetentionDays(7 + i % 2);
    }
    writer.join();
    const QList<QJsonObject> lines = records(rawContents());
    ASSERT_EQ(lines.size(), 1 + 2 * kEach) << "every record kept, the expired one trimmed";
    EXPECT_EQ(lines.first().value("name").toString(), QStringLiteral("kept"));
}

TEST_F(DrainLogTest, WhyDrainWithoutAFileSaysThereIsNoHistory)
{
    const WhyDrain answer = log->whyDrainAnalysis()();
    EXPECT_EQ(answer.summary, QStringLiteral("Not enough local history yet — leave Pendra running while on battery."));
    EXPECT_EQ(answer.windowLabel, QStringLiteral("last hour"));
    EXPECT_EQ(answer.dropPercent, 0);
    EXPECT_TRUE(answer.culprits.isEmpty());
}

TEST_F(DrainLogTest, ARecordAfterAByteOrderMarkIsReadAndKeptByTrims)
{
    // What an editor saves when the user has tidied the log by hand.
    const QByteArray marked = "\xEF\xBB\xBF" + powerRecordLine(kNow - 600, 90, 8, 6, false, {}, 0);
    writeFile(path(), marked);
    log->logPower(84, 8, 6, false);
    log->waitForWrites();
    EXPECT_EQ(log->whyDrainAnalysis()().dropPercent, 6);

    log->setRetentionDays(14);
    EXPECT_EQ(contents(), (marked + powerRecordLine(kNow, 84, 8, 6, false, {}, 0)).toStdString());
}

TEST_F(DrainLogTest, AnAnalysisStartedBeforeTheLogIsDestroyedStillRuns)
{
    log->logPower(90, 8, 6, false);
    clock.advance(600);
    log->logPower(87, 8, 6, false);
    const std::function<WhyDrain()> pending = log->whyDrainAnalysis();
    log.reset(); // the app quitting while a surface's analysis waits in the thread pool
    EXPECT_EQ(pending().dropPercent, 3);
}

// Child mode of TrimSurvivesBeingKilledAtAnyMoment: trims the file the parent
// names, announcing the start on standard output.
TEST(DrainLogTrimChild, TrimsTheFileTheParentNames)
{
    const QString file = qEnvironmentVariable("PENDRA_TRIM_CHILD_FILE");
    if (file.isEmpty())
        GTEST_SKIP() << "runs only as the child of TrimSurvivesBeingKilledAtAnyMoment";
    QTemporaryDir settings;
    Defaults defaults(settings.filePath(QStringLiteral("defaults.json")));
    FakeClock clock(kNow);
    DrainLog log(file, defaults, clock, [](int) { return 1; });
    std::fputs("trimming\n", stdout);
    std::fflush(stdout);
    log.setRetentionDays(1);
    log.waitForWrites();
}

namespace {

struct TrimChild
{
    QProcess process;

    explicit TrimChild(const QString &file)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PENDRA_TRIM_CHILD_FILE"), file);
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(QStringLiteral("/proc/self/exe"),
                      {QStringLiteral("--gtest_filter=DrainLogTrimChild.TrimsTheFileTheParentNames")});
    }

    bool waitUntilTrimming()
    {
        QElapsedTimer waited;
        waited.start();
        while (!process.readAllStandardOutput().contains("trimming")) {
            if (waited.elapsed() > 20000 || !process.waitForReadyRead(20000))
                return false;
        }
        return true;
    }
};

} // namespace

TEST(DrainLogCrashSafety, TrimSurvivesBeingKilledAtAnyMoment)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("drain.jsonl"));
    // Half the lines are two days old, so a one-day retention rewrites the file.
    QByteArray old;
    QByteArray trimmed;
    const QByteArray padding(200, 'x');
    for (int i = 0; i < 150000; ++i) {
        const bool recent = i % 2 == 1;
        const QByteArray line = eventLine(kNow - (recent ? 3600 : 2 * kDay) + i * 0.001, padding.constData());
        old += line;
        if (recent)
            trimmed += line;
    }
    auto restoreOld = [&] {
        QFile::remove(file);
        writeFile(file, old);
    };

    // An uninterrupted run gives the expected result.
    restoreOld();
    TrimChild full(file);
    ASSERT_TRUE(full.waitUntilTrimming());
    ASSERT_TRUE(full.process.waitForFinished(60000));
    ASSERT_EQ(readFile(file), trimmed);

    // The moment the folder changes (a temporary file appears, or the log
    // itself is rewritten) the write phase has begun: kill at growing delays
    // from there, through the write, the flush and the rename.
    auto folderState = [&] {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).join(QLatin1Char('|'))
            + QString::number(QFileInfo(file).size());
    };
    int interruptedOld = 0;
    for (const int delayMs : {0, 1, 2, 4, 8, 16, 32, 64, 128}) {
        restoreOld();
        const QString before = folderState();
        TrimChild child(file);
        ASSERT_TRUE(child.waitUntilTrimming());
        QElapsedTimer waited;
        waited.start();
        while (folderState() == before && child.process.state() == QProcess::Running && waited.elapsed() < 30000)
            QThread::usleep(200);
        QThread::msleep(static_cast<unsigned long>(delayMs));
        child.process.kill();
        ASSERT_TRUE(child.process.waitForFinished(10000));
        const QByteArray after = readFile(file);
        EXPECT_TRUE(after == old || after == trimmed)
            << "killed " << delayMs << " ms into the write: " << after.size() << " bytes";
        interruptedOld += after == old ? 1 : 0;
    }
    RecordProperty("kills_before_replace", interruptedOld);
}
