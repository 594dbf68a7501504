#include "app/core/menu_bar_settings.h"
#include "app/core/notification_center.h"
#include "platform/defaults.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

using namespace MenuBarSettings;

namespace {

struct SettingsFixture : ::testing::Test
{
    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    NotificationCenter center;
    QSignalSpy posted{&center, &NotificationCenter::posted};
};

} // namespace

TEST_F(SettingsFixture, DisplayModeIsWattsOnlyForTheExactStringItStores)
{
    EXPECT_EQ(displayMode(defaults), MenuBarDisplayMode::percent);
    const struct
    {
        QString stored;
        MenuBarDisplayMode mode;
    } cases[] = {
        {QStringLiteral("watts"), MenuBarDisplayMode::watts},
        {QStringLiteral("Watts"), MenuBarDisplayMode::percent},
        {QStringLiteral("percent"), MenuBarDisplayMode::percent},
        {QStringLiteral(""), MenuBarDisplayMode::percent},
    };
    for (const auto &c : cases) {
        defaults.setString(kDisplayModeKey, c.stored);
        EXPECT_EQ(displayMode(defaults), c.mode) << c.stored.toStdString();
    }
    defaults.setInt(kDisplayModeKey, 1);
    EXPECT_EQ(displayMode(defaults), MenuBarDisplayMode::percent);

    setDisplayMode(defaults, center, MenuBarDisplayMode::watts);
    EXPECT_EQ(defaults.stringValue(kDisplayModeKey), QStringLiteral("watts"));
    ASSERT_EQ(posted.count(), 1);
    EXPECT_EQ(posted.at(0).at(0).toString(), AppNotification::menuBarDisplayChanged);
    EXPECT_EQ(displayLabel(MenuBarDisplayMode::watts), QStringLiteral("% + Watts"));
    EXPECT_EQ(displayLabel(MenuBarDisplayMode::percent), QStringLiteral("% + Time"));
}

TEST_F(SettingsFixture, CriticalThresholdDefaultsAndClamps)
{
    EXPECT_EQ(criticalBatteryPercent(defaults), 20);
    defaults.setString(kCriticalPercentKey, QStringLiteral("30"));
    EXPECT_EQ(criticalBatteryPercent(defaults), 20);
    defaults.setDouble(kCriticalPercentKey, 12.5);
    EXPECT_EQ(criticalBatteryPercent(defaults), 20);
    defaults.setInt(kCriticalPercentKey, 2);
    EXPECT_EQ(criticalBatteryPercent(defaults), 5);
    defaults.setInt(kCriticalPercentKey, 99);
    EXPECT_EQ(criticalBatteryPercent(defaults), 50);
    defaults.setInt(kCriticalPercentKey, 35);
    EXPECT_EQ(criticalBatteryPercent(defaults), 35);

    setCriticalBatteryPercent(defaults, center, 3);
    EXPECT_EQ(defaults.intValue(kCriticalPercentKey), 5);
    setCriticalBatteryPercent(defaults, center, 80);
    EXPECT_EQ(defaults.intValue(kCriticalPercentKey), 50);
    EXPECT_EQ(posted.count(), 2);
}

TEST_F(SettingsFixture, ChromeStyleIsOriginalOnlyWhenStoredSo)
{
    EXPECT_EQ(menuChromeStyle(defaults), MenuChromeStyle::newer);
    defaults.setString(kChromeStyleKey, QStringLiteral("classic"));
    EXPECT_EQ(menuChromeStyle(defaults), MenuChromeStyle::newer);
    setMenuChromeStyle(defaults, center, MenuChromeStyle::original);
    EXPECT_EQ(defaults.stringValue(kChromeStyleKey), QStringLiteral("original"));
    EXPECT_EQ(menuChromeStyle(defaults), MenuChromeStyle::original);
    EXPECT_EQ(posted.count(), 1);
    EXPECT_EQ(displayLabel(kAllMenuChromeStyles[0]), QStringLiteral("Newer"));
    EXPECT_EQ(displayLabel(kAllMenuChromeStyles[1]), QStringLiteral("Original"));
}

TEST(NotificationCenterTest, ObserverStopsWithItsContext)
{
    NotificationCenter center;
    int calls = 0;
    auto context = std::make_unique<QObject>();
    center.observe(AppNotification::openDashboard, context.get(), [&] { ++calls; });
    center.post(AppNotification::openDashboard);
    center.post(AppNotification::openPreferences);
    EXPECT_EQ(calls, 1);
    context.reset();
    center.post(AppNotification::openDashboard);
    EXPECT_EQ(calls, 1);
}
