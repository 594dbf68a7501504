#pragma once

#include <QString>

class Defaults;
class NotificationCenter;

// What the status item's title shows beside the level.
enum class MenuBarDisplayMode { percent, watts };
// Row metrics of the battery menu.
enum class MenuChromeStyle { newer, original };

namespace BatteryMenuChrome {
enum class BatteryTint { discharging, charging, lowPower, critical };
}

// Stored strings and user-facing labels.
QString rawValue(MenuBarDisplayMode mode);
QString displayLabel(MenuBarDisplayMode mode); // "% + Time", "% + Watts"
QString rawValue(MenuChromeStyle style);
QString displayLabel(MenuChromeStyle style); // "Newer", "Original"
inline constexpr MenuChromeStyle kAllMenuChromeStyles[] = {MenuChromeStyle::newer, MenuChromeStyle::original};
// The case name that enters the status item's change key.
QString caseName(BatteryMenuChrome::BatteryTint tint);

// The three settings that shape the status item. Getters supply the default
// and repair bad stored values; setters store and then post
// pendrapro.menuBarDisplayChanged so that the status item redraws at once.
namespace MenuBarSettings {

inline const QString kDisplayModeKey = QStringLiteral("pendrapro.menuBarDisplayMode");
inline const QString kCriticalPercentKey = QStringLiteral("pendrapro.criticalBatteryPercent");
inline const QString kChromeStyleKey = QStringLiteral("pendrapro.menuChromeStyle");

inline constexpr int kDefaultCriticalPercent = 20;
inline constexpr int kMinCriticalPercent = 5;
inline constexpr int kMaxCriticalPercent = 50;

// "watts" only when stored exactly; anything else is percent.
MenuBarDisplayMode displayMode(const Defaults &defaults);
void setDisplayMode(Defaults &defaults, NotificationCenter &center, MenuBarDisplayMode mode);

// Absent or not an integer gives 20; otherwise clamped to 5…50.
int criticalBatteryPercent(const Defaults &defaults);
void setCriticalBatteryPercent(Defaults &defaults, NotificationCenter &center, int percent);

// Only "original" reads as original.
MenuChromeStyle menuChromeStyle(const Defaults &defaults);
void setMenuChromeStyle(Defaults &defaults, NotificationCenter &center, MenuChromeStyle style);

} // namespace MenuBarSettings
