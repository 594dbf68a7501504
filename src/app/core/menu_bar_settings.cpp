#include "app/core/menu_bar_settings.h"

#include "app/core/notification_center.h"
#include "platform/defaults.h"

#include <algorithm>

QString rawValue(MenuBarDisplayMode mode)
{
    return mode == MenuBarDisplayMode::watts ? QStringLiteral("watts") : QStringLiteral("percent");
}

QString displayLabel(MenuBarDisplayMode mode)
{
    return mode == MenuBarDisplayMode::watts ? QStringLiteral("% + Watts") : QStringLiteral("% + Time");
}

QString rawValue(MenuChromeStyle style)
{
    return style == MenuChromeStyle::original ? QStringLiteral("original") : QStringLiteral("newer");
}

QString displayLabel(MenuChromeStyle style)
{
    return style == MenuChromeStyle::original ? QStringLiteral("Original") : QStringLiteral("Newer");
}

QString caseName(BatteryMenuChrome::BatteryTint tint)
{
    using BatteryMenuChrome::BatteryTint;
    switch (tint) {
    case BatteryTint::discharging:
        return QStringLiteral("discharging");
    case BatteryTint::charging:
        return QStringLiteral("charging");
    case BatteryTint::lowPower:
        return QStringLiteral("lowPower");
    case BatteryTint::critical:
        return QStringLiteral("critical");
    }
    return QStringLiteral("discharging");
}

namespace MenuBarSettings {

namespace {

int clampCritical(long long percent)
{
    return static_cast<int>(std::clamp<long long>(percent, kMinCriticalPercent, kMaxCriticalPercent));
}

} // namespace

MenuBarDisplayMode displayMode(const Defaults &defaults)
{
    return defaults.stringValue(kDisplayModeKey) == QStringLiteral("watts") ? MenuBarDisplayMode::watts
                                                                             : MenuBarDisplayMode::percent;
}

void setDisplayMode(Defaults &defaults, NotificationCenter &center, MenuBarDisplayMode mode)
{
    defaults.setString(kDisplayModeKey, rawValue(mode));
    center.post(AppNotification::menuBarDisplayChanged);
}

int criticalBatteryPercent(const Defaults &defaults)
{
    const std::optional<long long> stored = defaults.intValue(kCriticalPercentKey);
    return stored ? clampCritical(*stored) : kDefaultCriticalPercent;
}

void setCriticalBatteryPercent(Defaults &defaults, NotificationCenter &center, int percent)
{
    defaults.setInt(kCriticalPercentKey, clampCritical(percent));
    center.post(AppNotification::menuBarDisplayChanged);
}

MenuChromeStyle menuChromeStyle(const Defaults &defaults)
{
    return defaults.stringValue(kChromeStyleKey) == QStringLiteral("original") ? MenuChromeStyle::original
                                                                                : MenuChromeStyle::newer;
}

void setMenuChromeStyle(Defaults &defaults, NotificationCenter &center, MenuChromeStyle style)
{
    defaults.setString(kChromeStyleKey, rawValue(style));
    center.post(AppNotification::menuBarDisplayChanged);
}

} // namespace MenuBarSettings
