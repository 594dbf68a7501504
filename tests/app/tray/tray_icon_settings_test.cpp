#include "app/tray/tray_icon_settings.h"

#include "app/core/notification_center.h"
#include "platform/defaults.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

struct TrayIconSettingsFixture : ::testing::Test
{
    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    NotificationCenter center;
    QSignalSpy posted{&center, &NotificationCenter::posted};
};

} // namespace

TEST(TrayIconStyle, PanelToneFollowsSettingThenHostThenPanelThenDesktopThenPalette)
{
    const QColor darkWindow(0x2a, 0x2e, 0x32), lightWindow(0xef, 0xf0, 0xf1);
    const std::optional<bool> unknown, darkPanel(true), lightPanel(false);
    const struct
    {
        TrayIconStyle style;
        PanelClues clues;
        PanelTone tone;
    } cases[] = {
        {TrayIconStyle::light, {false, lightPanel, ColorScheme::preferLight, lightWindow}, PanelTone::dark},
        {TrayIconStyle::dark, {true, darkPanel, ColorScheme::preferDark, darkWindow}, PanelTone::light},
        {TrayIconStyle::automatic, {true, lightPanel, ColorScheme::preferLight, lightWindow}, PanelTone::dark},
        // A tinted tray on a light desktop, and a light panel on a dark one.
        {TrayIconStyle::automatic, {false, darkPanel, ColorScheme::preferLight, lightWindow}, PanelTone::dark},
        {TrayIconStyle::automatic, {false, lightPanel, ColorScheme::preferDark, darkWindow}, PanelTone::light},
        {TrayIconStyle::automatic, {false, unknown, ColorScheme::preferDark, lightWindow}, PanelTone::dark},
        {TrayIconStyle::automatic, {false, unknown, ColorScheme::preferLight, darkWindow}, PanelTone::light},
        {TrayIconStyle::automatic, {false, unknown, ColorScheme::noPreference, darkWindow}, PanelTone::dark},
        {TrayIconStyle::automatic, {false, unknown, ColorScheme::noPreference, lightWindow}, PanelTone::light},
    };
    for (const auto &c : cases)
        EXPECT_EQ(panelTone(c.style, c.clues), c.tone) << rawValue(c.style).toStdString();
}

TEST_F(TrayIconSettingsFixture, StyleReadsOnlyKnownValues)
{
    EXPECT_EQ(TrayIconSettings::style(defaults), TrayIconStyle::automatic);
    defaults.setString(TrayIconSettings::kStyleKey, QStringLiteral("Dark"));
    EXPECT_EQ(TrayIconSettings::style(defaults), TrayIconStyle::automatic);
    TrayIconSettings::setStyle(defaults, center, TrayIconStyle::dark);
    EXPECT_EQ(defaults.stringValue(TrayIconSettings::kStyleKey), QStringLiteral("dark"));
    EXPECT_EQ(TrayIconSettings::style(defaults), TrayIconStyle::dark);
    EXPECT_EQ(posted.size(), 1);
}

TEST_F(TrayIconSettingsFixture, PercentShowsByDefaultOnlyWhereNoLabelIsDrawn)
{
    EXPECT_TRUE(TrayIconSettings::showsPercent(defaults, false));
    EXPECT_FALSE(TrayIconSettings::showsPercent(defaults, true));
    TrayIconSettings::setShowsPercent(defaults, center, false);
    EXPECT_FALSE(TrayIconSettings::showsPercent(defaults, false));
    EXPECT_EQ(posted.value(0).value(0).toString(), AppNotification::menuBarDisplayChanged);
}
