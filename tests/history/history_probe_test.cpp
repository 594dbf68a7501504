#include "history/history_database.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

TEST(HistoryProbe, PrintsTheRecordedTablesWithoutTouchingTheFile)
{
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("data/Pendra"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/history.sqlite");
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    {
        HistoryDatabase database(path, HistoryDatabase::Access::readWrite, [now] { return double(now); });
        HistoryBatch batch;
        batch.apps = {{now - now % 3600, QStringLiteral("firefox"), 2.5, 100}};
        BatteryDay day;
        day.day = QDateTime::fromSecsSinceEpoch(now).date();
        day.fullChargeMah = 4600;
        day.designMah = 5000;
        day.cycles = 321;
        batch.days = {day};
        ASSERT_EQ(database.write(batch, 0), HistoryDatabase::WriteResult::written);
    }
    const QDateTime modified = QFileInfo(path).lastModified();

    QProcess probe;
    probe.setProcessEnvironment(TestPaths::appEnvironment(home.path()));
    probe.start(TestPaths::probeBinary(), {QStringLiteral("--history"), QStringLiteral("--json"),
                                           QStringLiteral("--days"), QStringLiteral("7")});
    ASSERT_TRUE(probe.waitForFinished(30000));
    ASSERT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    const QJsonObject report = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
    EXPECT_EQ(report.value(QStringLiteral("apps")).toArray().at(0).toObject().value(QStringLiteral("app")).toString(),
              QStringLiteral("firefox"));
    const QJsonObject health = report.value(QStringLiteral("health")).toArray().at(0).toObject();
    EXPECT_DOUBLE_EQ(health.value(QStringLiteral("healthPercent")).toDouble(), 92);
    EXPECT_EQ(health.value(QStringLiteral("cycles")).toInt(), 321);
    EXPECT_EQ(QFileInfo(path).lastModified(), modified);

    probe.start(TestPaths::probeBinary(), {QStringLiteral("--history"), QStringLiteral("--days"), QStringLiteral("0")});
    ASSERT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.exitCode(), 2);
}
