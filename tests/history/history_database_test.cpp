#include "history/history_database.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

constexpr qint64 kHour = 3600;
constexpr qint64 kHourStart = 1'700'002'800; // a whole UTC hour
constexpr double kNow = kHourStart + 1800;

struct TempHistory
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("history.sqlite"));

    std::unique_ptr<HistoryDatabase> open(HistoryDatabase::Access access = HistoryDatabase::Access::readWrite)
    {
        return std::make_unique<HistoryDatabase>(path, access, [] { return kNow; });
    }
    QStringList asideFiles() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("history.sqlite.damaged-*")}, QDir::Files);
    }
};

HistoryBatch appsOfOneHour(qint64 hour, int count, double firstWattHours = 1)
{
    HistoryBatch batch;
    for (int i = 0; i < count; ++i)
        batch.apps << AppHourEnergy{hour, QStringLiteral("app%1").arg(i, 2, 10, QLatin1Char('0')),
                                    firstWattHours / (i + 1), 10};
    return batch;
}

} // namespace

TEST(HistoryDatabase, AddsBatchesUpAndRanksTheApps)
{
    TempHistory history;
    auto database = history.open();
    ASSERT_TRUE(database->isOpen());
    HistoryBatch batch;
    batch.apps = {{kHourStart, QStringLiteral("firefox"), 0.5, 30}, {kHourStart, QStringLiteral("make"), 2, 90}};
    BatteryDay day;
    day.day = QDate(2023, 11, 14);
    day.drawnWattHours = 5;
    day.minTemperatureC = 30;
    batch.days = {day};
    ASSERT_EQ(database->write(batch, kHourStart), HistoryDatabase::WriteResult::written);
    day.minTemperatureC = 28;
    day.fullChargeMah = 4500;
    day.designMah = 5000;
    day.cycles = 100;
    batch.days = {day};
    ASSERT_EQ(database->write(batch, kHourStart), HistoryDatabase::WriteResult::written);

    const AppEnergyReport report = database->apps(kHourStart, QDate(2023, 11, 14));
    EXPECT_EQ(report.apps, (QList<AppEnergyTotal>{{QStringLiteral("make"), 4, 180},
                                                  {QStringLiteral("firefox"), 1, 60}}));
    EXPECT_DOUBLE_EQ(report.batteryWattHours, 10);
    EXPECT_TRUE(database->apps(kHourStart + kHour, QDate(2023, 11, 15)).apps.isEmpty());
    EXPECT_EQ(database->health(), (QList<HealthPoint>{{QDate(2023, 11, 14), 90, 100}}));
}

TEST(HistoryDatabase, FoldsAppsBeyondTheTopFifteenOfAFinishedHourIntoOther)
{
    TempHistory history;
    auto database = history.open();
    ASSERT_EQ(database->write(appsOfOneHour(kHourStart, 20), kHourStart), HistoryDatabase::WriteResult::written);
    // The running hour keeps every app.
    EXPECT_EQ(database->apps(kHourStart, QDate()).apps.size(), 16);
    ASSERT_EQ(database->write({}, kHourStart + kHour), HistoryDatabase::WriteResult::written);
    // Once it is over, the apps ranked 16–20 are one "Other" row.
    const AppEnergyReport report = database->apps(kHourStart, QDate());
    ASSERT_EQ(report.apps.size(), 16);
    EXPECT_EQ(report.apps[14].app, QStringLiteral("app14"));
    EXPECT_EQ(report.apps.last().app, kOtherApps);
    EXPECT_NEAR(report.apps.last().wattHours, 1.0 / 16 + 1.0 / 17 + 1.0 / 18 + 1.0 / 19 + 1.0 / 20, 1e-9);
    EXPECT_DOUBLE_EQ(report.apps.last().cpuSeconds, 50);
    // Folding again changes nothing.
    ASSERT_EQ(database->write({}, kHourStart + 2 * kHour), HistoryDatabase::WriteResult::written);
    EXPECT_EQ(database->apps(kHourStart, QDate()).apps, report.apps);
}

TEST(HistoryDatabase, TrimsAppHoursToTheRetentionAndDaysToFiveYears)
{
    TempHistory history;
    auto database = history.open();
    const qint64 day = 86400;
    HistoryBatch batch;
    batch.apps = {{kHourStart - 8 * day, QStringLiteral("old"), 1, 1}, {kHourStart - 6 * day, QStringLiteral("kept"), 1, 1}};
    const QDate today = QDateTime::fromSecsSinceEpoch(qint64(kNow)).date();
    for (const QDate date : {today.addDays(-6 * 365), today.addDays(-4 * 365)}) {
        BatteryDay row;
        row.day = date;
        row.fullChargeMah = 90;
        row.designMah = 100;
        batch.days << row;
    }
    ASSERT_EQ(database->write(batch, kHourStart), HistoryDatabase::WriteResult::written);
    database->trim(kNow, 7);
    const AppEnergyReport report = database->apps(0, QDate(1970, 1, 1));
    ASSERT_EQ(report.apps.size(), 1);
    EXPECT_EQ(report.apps[0].app, QStringLiteral("kept"));
    ASSERT_EQ(database->health().size(), 1);
    EXPECT_EQ(database->health()[0].day, today.addDays(-4 * 365));
}

TEST(HistoryDatabase, MovesADamagedFileAsideAndStartsAfresh)
{
    for (const bool truncated : {false, true}) {
        TempHistory history;
        if (truncated) {
            {
                auto database = history.open();
                ASSERT_EQ(database->write(appsOfOneHour(kHourStart, 300), kHourStart),
                          HistoryDatabase::WriteResult::written);
            }
            QFile file(history.path);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_GT(file.size(), 8192);
            file.resize(file.size() / 2 + 100);
        } else {
            writeFile(history.path, QByteArray(64 * 1024, '\x5a'));
        }
        auto database = history.open();
        ASSERT_TRUE(database->isOpen()) << "truncated " << truncated;
        EXPECT_EQ(history.asideFiles().size(), 1) << "truncated " << truncated;
        ASSERT_EQ(database->write(appsOfOneHour(kHourStart, 2), kHourStart), HistoryDatabase::WriteResult::written);
        EXPECT_EQ(database->apps(kHourStart, QDate()).apps.size(), 2);
    }
}

// Only damage condemns a file: one that another program holds locked is
// healthy, and moving it aside would throw its history away.
TEST(HistoryDatabase, ALockedFileIsLeftAsItIsAndOpensOnceFree)
{
    TempHistory history;
    ASSERT_EQ(history.open()->write(appsOfOneHour(kHourStart, 2), kHourStart), HistoryDatabase::WriteResult::written);
    {
        QSqlDatabase locker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        locker.setDatabaseName(history.path);
        ASSERT_TRUE(locker.open());
        QSqlQuery lock(locker);
        ASSERT_TRUE(lock.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")));
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        EXPECT_FALSE(history.open()->isOpen());
        EXPECT_TRUE(history.asideFiles().isEmpty());
        lock.exec(QStringLiteral("COMMIT"));
        lock.finish();
        locker.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    auto database = history.open();
    ASSERT_TRUE(database->isOpen());
    EXPECT_EQ(database->apps(kHourStart, QDate()).apps.size(), 2);
}

TEST(HistoryDatabase, ReadOnlyAccessNeverCreatesOrMovesAFile)
{
    TempHistory history;
    EXPECT_FALSE(history.open(HistoryDatabase::Access::readOnly)->isOpen());
    writeFile(history.path, QByteArray(4096, '\x01'));
    EXPECT_FALSE(history.open(HistoryDatabase::Access::readOnly)->isOpen());
    EXPECT_TRUE(history.asideFiles().isEmpty());
    EXPECT_EQ(readFile(history.path), QByteArray(4096, '\x01'));
}

// Child mode of KilledWriterLosesAtMostTheBatchInFlight: writes one hour of
// 300 apps per transaction and names each committed hour on standard output.
TEST(HistoryDatabaseWriterChild, WritesHoursUntilKilled)
{
    const QString path = qEnvironmentVariable("PENDRA_HISTORY_CHILD_FILE");
    if (path.isEmpty())
        GTEST_SKIP() << "runs only as the child of KilledWriterLosesAtMostTheBatchInFlight";
    HistoryDatabase database(path, HistoryDatabase::Access::readWrite, [] { return kNow; });
    for (int i = 0; i < 100000; ++i) {
        // Hour 0 as the current hour: nothing is folded, every batch stays whole.
        if (database.write(appsOfOneHour(kHourStart + i * kHour, 300), 0) != HistoryDatabase::WriteResult::written)
            return;
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
}

TEST(HistoryDatabaseCrashSafety, KilledWriterLosesAtMostTheBatchInFlight)
{
    TempHistory history;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PENDRA_HISTORY_CHILD_FILE"), history.path);
    for (const int commits : {3, 12, 25}) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QStringLiteral("/proc/self/exe"),
                    {QStringLiteral("--gtest_filter=HistoryDatabaseWriterChild.WritesHoursUntilKilled")});
        int lastCommitted = -1;
        QByteArray output;
        while (lastCommitted < commits && child.waitForReadyRead(20000)) {
            output += child.readAllStandardOutput();
            const QList<QByteArray> lines = output.trimmed().split('\n');
            lastCommitted = lines.last().toInt();
        }
        child.kill(); // SIGKILL, in the middle of a later batch
        ASSERT_TRUE(child.waitForFinished(10000));
        ASSERT_GE(lastCommitted, commits);

        auto database = history.open();
        ASSERT_TRUE(database->isOpen());
        EXPECT_TRUE(history.asideFiles().isEmpty());
        // app00 gets 1 Wh per hour written, and the rest of the 300 their
        // share: only whole hours, and none lost but the one in flight.
        const AppEnergyReport all = database->apps(0, QDate());
        ASSERT_EQ(all.apps.size(), 16);
        const double hours = all.apps.first().wattHours;
        EXPECT_NEAR(hours, std::round(hours), 1e-6);
        EXPECT_GE(hours, lastCommitted + 1);
        EXPECT_LE(hours, lastCommitted + 2);
        double restOfAnHour = 0;
        for (int i = 15; i < 300; ++i)
            restOfAnHour += 1.0 / (i + 1);
        EXPECT_NEAR(all.apps.last().wattHours, hours * restOfAnHour, 1e-6);
        database.reset();
        QFile::remove(history.path);
        QFile::remove(history.path + QStringLiteral("-wal"));
        QFile::remove(history.path + QStringLiteral("-shm"));
    }
}
