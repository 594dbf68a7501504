#include "integration/system_battery_menu_hider.h"
#include "fakes/battery_fakes.h"
#include "platform/defaults.h"
#include "platform/system_backends.h"
#include "platform/system_battery_item.h"
#include "support/qt_printers.h"
#include "settle_queue.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <memory>

using namespace std::chrono_literals;

namespace {

using Hider = SystemBatteryMenuHider;

const QString kRead = QStringLiteral("gsettings get org.gnome.desktop.interface show-battery-percentage");
const QString kWriteHidden = QStringLiteral("gsettings set org.gnome.desktop.interface show-battery-percentage false");
const QString kWriteShown = QStringLiteral("gsettings set org.gnome.desktop.interface show-battery-percentage true");

// GNOME's battery percentage, counting the agent restarts that GNOME itself
// never needs.
class CountingRestarts final : public SystemBatteryItem
{
public:
    explicit CountingRestarts(std::unique_ptr<SystemBatteryItem> item) : m_item(std::move(item)) {}

    SystemBatterySwitch kind() const override { return m_item->kind(); }
    std::optional<int> readBatteryMenuValue() override { return m_item->readBatteryMenuValue(); }
    void hide() override { m_item->hide(); }
    void show(int value) override { m_item->show(value); }
    void putBackHidden() override { m_item->putBackHidden(); }
    void restartAgents() override
    {
        ++restarts;
        m_item->restartAgents();
    }

    std::atomic<int> restarts{0};

private:
    std::unique_ptr<SystemBatteryItem> m_item;
};

class HiderTest : public ::testing::Test
{
protected:
    void settle() { ::settle(queue); }

    QStringList takeRuns()
    {
        const QStringList taken = tools.runs().mid(m_seenRuns);
        m_seenRuns = tools.runs().size();
        return taken;
    }

    QTimer *watchdog() { return hider.findChild<QTimer *>(QStringLiteral("systemBatteryWatchdog")); }

    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    RecordedToolRunner tools;
    CountingRestarts item{makeSystemBatteryItem(tools, {QStringLiteral("ubuntu"), QStringLiteral("GNOME")},
                                                 QDBusConnection::sessionBus(), dir.path())};
    SerialQueue queue{"pendrapro.systemBattery.test"};
    Hider hider{defaults, item, queue};

private:
    qsizetype m_seenRuns = 0;
};

TEST_F(HiderTest, ShownPercentageIsRememberedAndPutBackWhenSwitchedOff)
{
    tools.answer(QStringLiteral("gsettings"), QStringLiteral("true\n"));
    hider.launch();
    settle();

    EXPECT_EQ(takeRuns(), (QStringList{kRead, kWriteHidden}));
    EXPECT_EQ(defaults.intValue(Hider::kSavedValueKey), 18);
    EXPECT_EQ(defaults.boolValue(Hider::kDidHideKey), true);
    EXPECT_EQ(item.restarts, 1);
    EXPECT_TRUE(hider.isWatchdogRunning());

    hider.setEnabled(false);
    settle();
    EXPECT_EQ(takeRuns(), QStringList{kWriteShown});
    EXPECT_EQ(defaults.boolValue(Hider::kDidHideKey), false);
    EXPECT_EQ(defaults.boolValue(Hider::kEnabledKey), false);
    EXPECT_EQ(item.restarts, 2);
    EXPECT_FALSE(hider.isWatchdogRunning());
}

TEST_F(HiderTest, WatchdogRehidesWithoutRestartWhileStillHidden)
{
    tools.answer(QStringLiteral("gsettings"), QStringLiteral("false\n"));
    hider.launch();
    settle();
    takeRuns();
    ASSERT_EQ(item.restarts, 1);
    QTimer *timer = watchdog();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->intervalAsDuration(), 45s);

    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection));
    settle();
    EXPECT_EQ(takeRuns(), (QStringList{kRead, kWriteHidden}));
    EXPECT_EQ(item.restarts, 1);
    EXPECT_EQ(defaults.intValue(Hider::kSavedValueKey), 8); // the user's own, from before the first hide
}

TEST_F(HiderTest, AfterACrashTheHiddenValueFoundIsTheAppsOwn)
{
    defaults.setBool(Hider::kDidHideKey, true);
    defaults.setInt(Hider::kSavedValueKey, 18);
    tools.answer(QStringLiteral("gsettings"), QStringLiteral("false\n"));
    hider.launch();
    settle();
    EXPECT_EQ(defaults.intValue(Hider::kSavedValueKey), 18);

    takeRuns();
    hider.restoreAndWait();
    EXPECT_EQ(takeRuns(), QStringList{kWriteShown});
}

TEST_F(HiderTest, RestoreWithoutAnEarlierHideDoesNothing)
{
    hider.restore();
    settle();
    EXPECT_TRUE(tools.runs().isEmpty());
    EXPECT_EQ(item.restarts, 0);
}

TEST_F(HiderTest, SwitchingOnRestartsOnceEvenWhenAlreadyHidden)
{
    defaults.setBool(Hider::kEnabledKey, false);
    tools.answer(QStringLiteral("gsettings"), QStringLiteral("false\n"));
    hider.setEnabled(true);
    settle();
    EXPECT_EQ(item.restarts, 1);
    EXPECT_TRUE(hider.isWatchdogRunning());
}

TEST_F(HiderTest, LaunchKeepsTheFeatureOffWhenTheUserSwitchedItOff)
{
    defaults.setBool(Hider::kEnabledKey, false);
    hider.launch();
    settle();
    EXPECT_TRUE(tools.runs().isEmpty());
    EXPECT_FALSE(hider.isWatchdogRunning());
    EXPECT_EQ(defaults.boolValue(Hider::kEnabledKey), false);
}

TEST_F(HiderTest, SwitchingOffWhileTheValueIsReadLeavesTheIndicatorAlone)
{
    tools.answer(QStringLiteral("gsettings"), QStringLiteral("true\n"));
    hider.hide(true);
    hider.setEnabled(false);
    settle();
    EXPECT_EQ(takeRuns(), QStringList{kRead});
    EXPECT_FALSE(defaults.contains(Hider::kDidHideKey));
}

TEST(SystemBatteryValues, HiddenIsKeptOnlyWhenTheUserHadItAndNeverWrittenBack)
{
    struct Case { std::optional<int> current; std::optional<long long> remembered; bool appHasHidden; long long kept; };
    const Case remember[] = {
        {3, std::nullopt, false, 3},         {3, 18, true, 3},     {0, std::nullopt, false, 8},
        {8, std::nullopt, false, 8},         {8, 18, false, 8},    {8, 5, true, 5},
        {8, std::nullopt, true, 8},          {0, 18, true, 18},    {std::nullopt, 4, false, 4},
        {std::nullopt, std::nullopt, false, 8},
    };
    for (const Case &c : remember)
        EXPECT_EQ(systemBatteryValueToRemember(c.current, c.remembered, c.appHasHidden), c.kept)
            << c.current.value_or(-1) << " " << c.remembered.value_or(-1) << " " << c.appHasHidden;

    struct Restore { std::optional<long long> remembered; std::optional<int> written; };
    const Restore restore[] = {{3, 3},   {18, 18}, {0, std::nullopt}, {8, std::nullopt}, {std::nullopt, std::nullopt},
                               {1LL << 40, std::nullopt}};
    for (const Restore &c : restore)
        EXPECT_EQ(systemBatteryValueToRestore(c.remembered), c.written) << c.remembered.value_or(-1);
}

// The real gsettings tool and GNOME's installed schema. The keyfile backend
// keeps values between the separate gsettings processes (the memory backend
// forgets them at each exit) and writes only below the test's config folder.
class RealGsettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("GSETTINGS_BACKEND", "keyfile");
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    }
    void TearDown() override
    {
        qputenv("GSETTINGS_BACKEND", m_savedBackend);
        qputenv("XDG_CONFIG_HOME", m_savedConfig);
    }

    QString percentage()
    {
        const auto output = ToolRunner::system().run(
            QStringLiteral("gsettings"),
            {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("show-battery-percentage")},
            5s);
        return output.value_or(QStringLiteral("(unreadable)")).trimmed();
    }

    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    std::unique_ptr<SystemBatteryItem> item{makeSystemBatteryItem(ToolRunner::system(), {QStringLiteral("GNOME")},
                                                                  QDBusConnection::sessionBus(), dir.path())};
    SerialQueue queue{"pendrapro.systemBattery.test"};
    Hider hider{defaults, *item, queue};

private:
    const QByteArray m_savedBackend = qgetenv("GSETTINGS_BACKEND");
    const QByteArray m_savedConfig = qgetenv("XDG_CONFIG_HOME");
};

TEST_F(RealGsettingsTest, HidesAndRestoresGnomesBatteryPercentage)
{
    item->show(18);
    ASSERT_EQ(percentage(), QStringLiteral("true"));

    hider.launch();
    settle(queue);
    EXPECT_EQ(percentage(), QStringLiteral("false"));
    EXPECT_EQ(defaults.intValue(Hider::kSavedValueKey), 18);

    hider.restoreAndWait();
    EXPECT_EQ(percentage(), QStringLiteral("true"));
}

TEST_F(RealGsettingsTest, APercentageNeverSwitchedOnStaysAtItsDefault)
{
    const QString keyfile = dir.filePath(QStringLiteral("glib-2.0/settings/keyfile"));
    ASSERT_EQ(percentage(), QStringLiteral("false"));

    hider.launch();
    settle(queue);
    ASSERT_EQ(percentage(), QStringLiteral("false"));
    ASSERT_TRUE(QFile::exists(keyfile)); // the hide wrote the key

    hider.restoreAndWait();
    EXPECT_EQ(percentage(), QStringLiteral("false"));
    QFile file(keyfile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("show-battery-percentage")); // unset again, not written
}

} // namespace
