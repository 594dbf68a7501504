#include "platform/linux/power_profiles_monitor.h"
#include "support/bus_peer.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

// The daemon's object: ActiveProfile, readable through org.freedesktop.DBus.Properties.
class FakeProfilesObject : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UPower.PowerProfiles")
    Q_PROPERTY(QString ActiveProfile READ activeProfile)

public:
    QString activeProfile() const { return profile; }
    QString profile;
};

// The same object under the daemon's older name.
class LegacyProfilesObject : public FakeProfilesObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "net.hadess.PowerProfiles")
};

QList<PowerProfilesMonitor::Daemon> testDaemons()
{
    QList<PowerProfilesMonitor::Daemon> daemons = PowerProfilesMonitor::standardDaemons();
    for (PowerProfilesMonitor::Daemon &daemon : daemons)
        daemon.service = perProcessBusName(daemon.service);
    return daemons;
}

// A power-profiles daemon on its own connection to the private session bus.
template <typename Object>
class FakeProfilesDaemon
{
public:
    FakeProfilesDaemon(const PowerProfilesMonitor::Daemon &names, const QString &profile)
        : m_path(names.path)
        , m_interface(names.interface)
    {
        m_object.profile = profile;
        EXPECT_TRUE(m_peer.bus().registerObject(m_path, &m_object, QDBusConnection::ExportAllProperties));
        EXPECT_TRUE(m_peer.own(names.service));
    }

    void switchTo(const QString &profile)
    {
        m_object.profile = profile;
        QDBusMessage signal = QDBusMessage::createSignal(m_path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                         QStringLiteral("PropertiesChanged"));
        signal << m_interface << QVariantMap{{QStringLiteral("ActiveProfile"), profile}} << QStringList{};
        m_peer.bus().send(signal);
    }

private:
    QString m_path;
    QString m_interface;
    Object m_object;
    BusPeer m_peer{QStringLiteral("fake-power-profiles")};
};

using CurrentDaemon = FakeProfilesDaemon<FakeProfilesObject>;

std::unique_ptr<CurrentDaemon> startDaemon(const QString &profile)
{
    return std::make_unique<CurrentDaemon>(testDaemons().at(0), profile);
}

class PowerModeProfiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    }

    QString platformProfile(const char *text)
    {
        const QString path = m_dir.filePath(QStringLiteral("platform_profile"));
        writeFile(path, text);
        return path;
    }
    QString missingPlatformProfile() const { return m_dir.filePath(QStringLiteral("missing")); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(PowerModeProfiles, WithoutTheDaemonOrABusThePlatformProfileDecides)
{
    struct Case { const char *profile; bool lowPower; };
    const Case cases[] = {{"low-power\n", true}, {"balanced\n", false}, {"quiet\n", false}};
    for (const Case &c : cases) {
        PowerProfilesMonitor monitor(QDBusConnection::sessionBus(), platformProfile(c.profile), testDaemons());
        EXPECT_EQ(monitor.isLowPowerModeEnabled(), c.lowPower) << c.profile;
        spinUntil([] { return false; }, 100); // both daemon names fail to answer
        EXPECT_FALSE(monitor.hasDaemonProfile());
        EXPECT_EQ(monitor.isLowPowerModeEnabled(), c.lowPower) << c.profile;
    }
    PowerProfilesMonitor nothing(QDBusConnection::sessionBus(), missingPlatformProfile(), testDaemons());
    EXPECT_FALSE(nothing.isLowPowerModeEnabled());
    PowerProfilesMonitor withoutBus(QDBusConnection(QStringLiteral("not-connected")), platformProfile("low-power"));
    EXPECT_TRUE(withoutBus.isLowPowerModeEnabled());
}

// The platform profile answers at once (the bus is never waited for); the
// daemon's profile overrides it when it arrives.
TEST_F(PowerModeProfiles, TheDaemonsPowerSaverProfileIsLowPowerModeWhateverThePlatformSays)
{
    struct Case { const char *daemon; const char *platform; bool lowPower; };
    const Case cases[] = {{"power-saver", "balanced", true}, {"performance", "low-power", false}};
    for (const Case &c : cases) {
        auto daemon = startDaemon(QString::fromUtf8(c.daemon));
        PowerProfilesMonitor monitor(QDBusConnection::sessionBus(), platformProfile(c.platform), testDaemons());
        QSignalSpy changed(&monitor, &PowerModeMonitor::lowPowerModeChanged);
        EXPECT_EQ(monitor.isLowPowerModeEnabled(), !c.lowPower) << c.daemon;
        ASSERT_TRUE(spinUntil([&] { return monitor.hasDaemonProfile(); }));
        EXPECT_EQ(monitor.isLowPowerModeEnabled(), c.lowPower) << c.daemon;
        ASSERT_EQ(changed.count(), 1) << c.daemon;
        EXPECT_EQ(changed.at(0).at(0).toBool(), c.lowPower);
    }
}

TEST_F(PowerModeProfiles, FollowsProfileChangesAndSignalsOnlyRealChanges)
{
    auto daemon = startDaemon(QStringLiteral("balanced"));
    PowerProfilesMonitor monitor(QDBusConnection::sessionBus(), missingPlatformProfile(), testDaemons());
    ASSERT_TRUE(spinUntil([&] { return monitor.hasDaemonProfile(); }));
    QSignalSpy changed(&monitor, &PowerModeMonitor::lowPowerModeChanged);

    daemon->switchTo(QStringLiteral("power-saver"));
    ASSERT_TRUE(spinUntil([&] { return monitor.isLowPowerModeEnabled(); }));
    daemon->switchTo(QStringLiteral("power-saver"));
    daemon->switchTo(QStringLiteral("performance"));
    ASSERT_TRUE(spinUntil([&] { return !monitor.isLowPowerModeEnabled(); }));
    spinUntil([] { return false; }, 50);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toBool(), true);
    EXPECT_EQ(changed.at(1).at(0).toBool(), false);
}

TEST_F(PowerModeProfiles, LegacyDaemonNameIsAskedWhenTheCurrentOneIsMissing)
{
    FakeProfilesDaemon<LegacyProfilesObject> daemon(testDaemons().at(1), QStringLiteral("power-saver"));
    PowerProfilesMonitor monitor(QDBusConnection::sessionBus(), missingPlatformProfile(), testDaemons());
    ASSERT_TRUE(spinUntil([&] { return monitor.hasDaemonProfile(); }));
    EXPECT_TRUE(monitor.isLowPowerModeEnabled());
    daemon.switchTo(QStringLiteral("balanced"));
    ASSERT_TRUE(spinUntil([&] { return !monitor.isLowPowerModeEnabled(); }));
}

TEST_F(PowerModeProfiles, ADaemonStartingOrQuittingLaterIsNoticed)
{
    PowerProfilesMonitor monitor(QDBusConnection::sessionBus(), platformProfile("balanced"), testDaemons());
    spinUntil([] { return false; }, 50);
    ASSERT_FALSE(monitor.hasDaemonProfile());

    auto daemon = startDaemon(QStringLiteral("power-saver"));
    ASSERT_TRUE(spinUntil([&] { return monitor.isLowPowerModeEnabled(); }));
    daemon.reset();
    ASSERT_TRUE(spinUntil([&] { return !monitor.hasDaemonProfile(); }));
    EXPECT_FALSE(monitor.isLowPowerModeEnabled());
}

#include "power_mode_profiles_test.moc"
