#include "energy/drain_alert_monitor.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_notification_server.h"
#include "fakes/recording_notifications.h"
#include "platform/defaults.h"
#include "platform/linux/freedesktop_notifications.h"
#include "platform/notifications.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDateTime>
#include <QTemporaryDir>

namespace {

constexpr double kMinute = 60;
const QString kEnabledKey = QStringLiteral("pendrapro.drainAlerts.enabled");
const QString kDropKey = QStringLiteral("pendrapro.drainAlerts.dropPercent");
const QString kWindowKey = QStringLiteral("pendrapro.drainAlerts.windowMinutes");
const QString kLastFireKey = QStringLiteral("pendrapro.drainAlerts.lastFire");

class DrainAlertTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    FakeClock clock{1'750'000'000};
    RecordingNotifications notifications;
    std::optional<QString> leader;
    DrainAlertMonitor monitor{defaults, clock, notifications, [this] { return leader; }};

    void SetUp() override { monitor.setEnabled(true); }

    // Levels observed at the given minutes from now, moving the clock.
    void observeAt(double minutes, int level, bool discharging = true)
    {
        clock.setWallClock(start + minutes * kMinute);
        monitor.observe(level, discharging);
    }

    const double start = 1'750'000'000;
};

} // namespace

TEST(BaselineLevel, FirstEntryInTrailOrderAtLeastEightyFivePercentOfTheWindowOldElseTheFirst)
{
    // Not in time order; 85 % of 900 s is 765 s.
    const QList<LevelSample> trail{{500, 70}, {200, 80}, {0, 90}};
    EXPECT_EQ(baselineLevel(trail, 965, 900), 80);
    EXPECT_EQ(baselineLevel(trail, 964, 900), 90);
    EXPECT_EQ(baselineLevel(trail, 600, 900), 70);
}

// The texts with and without a leader are checked on the posted alerts.
TEST(DrainAlertBody, ALeadersNameIsTakenAsItIs)
{
    EXPECT_EQ(drainAlertBody(5, 30, QStringLiteral("%1 %2")), QStringLiteral("Battery dropped 5% in ~30 min. Top energy: %1 %2."));
}

TEST_F(DrainAlertTest, AlertsWhenTheDropReachesTheThresholdWithinTheWindow)
{
    leader = QStringLiteral("alpha");
    observeAt(0, 80);
    observeAt(14, 75);
    ASSERT_EQ(notifications.posted.size(), 1);
    const LocalNotification &posted = notifications.posted.first();
    EXPECT_EQ(posted.title, QStringLiteral("Pendra · drain alert"));
    EXPECT_EQ(posted.body, QStringLiteral("Battery dropped 5% in ~15 min. Top energy: alpha."));
    EXPECT_EQ(posted.identifier, QStringLiteral("pendrapro.drain.%1").arg(static_cast<qint64>(start + 14 * kMinute)));
    EXPECT_TRUE(posted.defaultSound);
    EXPECT_EQ(defaults.dateValue(kLastFireKey)->toSecsSinceEpoch(), static_cast<qint64>(start + 14 * kMinute));
}

TEST_F(DrainAlertTest, NoAlertBelowTheThresholdOnACOrWhenDisabledButTheTrailStillRecords)
{
    observeAt(0, 80);
    observeAt(14, 76);
    observeAt(14.2, 70, false); // on AC or charging
    monitor.setEnabled(false);
    observeAt(14.5, 70);
    EXPECT_TRUE(notifications.posted.isEmpty());
    EXPECT_EQ(monitor.levelTrail().size(), 4);
}

TEST_F(DrainAlertTest, CooldownOfThirtyMinutesSurvivesARestart)
{
    observeAt(0, 80);
    observeAt(14, 75);
    ASSERT_EQ(notifications.posted.size(), 1);

    // A new monitor (a restart) with the same settings, draining fast.
    DrainAlertMonitor restarted(defaults, clock, notifications, [] { return std::nullopt; });
    for (int minute = 16; minute <= 34; ++minute) {
        clock.setWallClock(start + minute * kMinute);
        restarted.observe(90 - minute, true);
    }
    // At 34 min, 20 after the alert, the drop is there but the cooldown holds.
    EXPECT_EQ(notifications.posted.size(), 1);
    clock.setWallClock(start + 45 * kMinute);
    restarted.observe(40, true);
    // 31 min after the alert it fires again.
    ASSERT_EQ(notifications.posted.size(), 2);
    EXPECT_EQ(notifications.posted.last().identifier,
              QStringLiteral("pendrapro.drain.%1").arg(static_cast<qint64>(start + 45 * kMinute)));
}

TEST_F(DrainAlertTest, SlowDrainSpreadBeyondTheWindowNeverFires)
{
    int level = 90;
    for (double minute = 0; minute <= 120; minute += 5) // 1 point per 5 min: 4 per trail
        observeAt(minute, level--);
    EXPECT_TRUE(notifications.posted.isEmpty());
    EXPECT_LE(monitor.levelTrail().first().time, clock.now());
    EXPECT_GE(monitor.levelTrail().first().time, clock.now() - 20 * kMinute) << "entries beyond window + 5 min dropped";
}

TEST_F(DrainAlertTest, SettingsReadAndWriteClamped)
{
    struct Case { const QString *key; std::optional<double> stored; int read; };
    const Case cases[] = {
        {&kDropKey, std::nullopt, 5}, {&kDropKey, 1, 2}, {&kDropKey, 99, 30}, {&kDropKey, 7.5, 5}, {&kDropKey, 8, 8},
        {&kWindowKey, std::nullopt, 15}, {&kWindowKey, 2, 5}, {&kWindowKey, 120, 60}, {&kWindowKey, 2.5, 15},
    };
    for (const Case &c : cases) {
        if (c.stored)
            defaults.setDouble(*c.key, *c.stored);
        else
            defaults.remove(*c.key);
        const int read = c.key == &kDropKey ? monitor.dropPercent() : monitor.windowMinutes();
        EXPECT_EQ(read, c.read) << c.key->toStdString() << " " << c.stored.value_or(-1);
    }
    monitor.setDropPercent(1);
    EXPECT_EQ(defaults.intValue(kDropKey), 2);
    monitor.setWindowMinutes(90);
    EXPECT_EQ(defaults.intValue(kWindowKey), 60);
}

TEST_F(DrainAlertTest, ThresholdAndWindowChangesApplyAtTheNextObservation)
{
    monitor.setDropPercent(3);
    monitor.setWindowMinutes(5);
    observeAt(0, 80);
    observeAt(4.5, 77);
    ASSERT_EQ(notifications.posted.size(), 1);
    EXPECT_EQ(notifications.posted.first().body, QStringLiteral("Battery dropped 3% in ~5 min while on battery."));
}

TEST_F(DrainAlertTest, SwitchingOnAsksForPermissionEachTime)
{
    EXPECT_EQ(notifications.permissionRequests, 1);
    monitor.setEnabled(false);
    EXPECT_EQ(notifications.permissionRequests, 1);
    EXPECT_EQ(defaults.boolValue(kEnabledKey), false);
    monitor.setEnabled(true);
    EXPECT_EQ(notifications.permissionRequests, 2);
}

TEST(FreedesktopNotifications, PostReachesTheNotificationServerOnTheSessionBus)
{
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "needs a session bus (run under dbus-run-session)";
    FakeNotificationServer server;
    ASSERT_TRUE(server.isRegistered());
    FreedesktopNotifications notifications(QDBusConnection::sessionBus());

    notifications.requestPermission();
    EXPECT_TRUE(spinUntil([&] { return server.capabilityRequests == 1; }));

    notifications.post({QStringLiteral("pendrapro.drain.7"), QStringLiteral("title"), QStringLiteral("body"), true});
    ASSERT_TRUE(spinUntil([&] { return !server.notifications.isEmpty(); }));
    const FakeNotificationServer::Received &received = server.notifications.first();
    EXPECT_EQ(received.summary, QStringLiteral("title"));
    EXPECT_EQ(received.body, QStringLiteral("body"));
    EXPECT_EQ(received.appName, QStringLiteral("Pendra Pro"));
    EXPECT_EQ(received.appIcon, QStringLiteral("com.marblewickhq.pendrapro"));
    EXPECT_EQ(received.hints.value(QStringLiteral("desktop-entry")).toString(),
              QStringLiteral("com.marblewickhq.pendrapro"));
    EXPECT_EQ(received.replacesId, 0u);
    EXPECT_EQ(received.expireTimeout, -1);
    EXPECT_EQ(received.hints.value(QStringLiteral("sound-name")).toString(), QStringLiteral("message-new-instant"));
    EXPECT_EQ(received.hints.value(QStringLiteral("x-pendrapro-identifier")).toString(),
              QStringLiteral("pendrapro.drain.7"));
}

// A server that never answers stands in for a missing one (which the bus
// would try to start) without launching anything.
TEST(FreedesktopNotifications, PostingToAServerThatNeverAnswersDoesNotWaitForIt)
{
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "needs a session bus (run under dbus-run-session)";
    FakeNotificationServer server;
    ASSERT_TRUE(server.isRegistered());
    server.answering = false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    FreedesktopNotifications notifications(bus);

    notifications.requestPermission();
    notifications.post({QStringLiteral("pendrapro.drain.1"), QStringLiteral("t"), QStringLiteral("b"), true});
    // A blocking call could only have come back without an answer, which
    // leaves its error on the connection.
    EXPECT_FALSE(bus.lastError().isValid()) << bus.lastError().message().toStdString();
    EXPECT_TRUE(spinUntil([&] { return server.capabilityRequests == 1 && server.notifications.size() == 1; }));
}
