#pragma once

#include "app/core/menu_bar_settings.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <optional>

// The status item's title, glyph, colour and tooltip. Stateless: everything
// it needs comes in through `Inputs`.
namespace MenuBarBatteryIcon {

struct Inputs
{
    int level = 0; // percent 0–100
    bool charging = false;
    bool onAC = false;
    bool present = false; // a battery exists
    std::optional<int> minutes; // to empty or to full; valid within 1–65534
    MenuBarDisplayMode mode = MenuBarDisplayMode::percent;
    std::optional<double> tempC; // outside temperature, °C
    double watts = 0; // W, package power
    bool lowPowerMode = false;
    int criticalPercent = MenuBarSettings::kDefaultCriticalPercent;
    QString powerTimeText; // the power store's time line, for the tooltip
};

// "42m", "2h 05m", "Full", "AC" or nothing.
std::optional<QString> timeText(std::optional<int> minutes, bool charging, bool onAC, bool present, int level);
// "83% 2h 05m", "100% Full", "64% AC", "83% 7.4W", "12W", "AC", each with
// " · 22°" when a temperature is known.
QString titleText(const Inputs &inputs);

BatteryMenuChrome::BatteryTint tint(const Inputs &inputs);
QColor glyphColor(const Inputs &inputs);
// "powerplug.fill", "battery.<band>" or "battery.<band>.bolt".
QString glyphName(const Inputs &inputs);

// The glyph on a square transparent icon of `sizePx` pixels: what every tray
// host shows (the title goes beside it as a label where the host has room).
// Depends only on the glyph name and the tint.
QImage glyphIcon(const Inputs &inputs, int sizePx);

// Identifies everything the image shows; the status item redraws only when
// it changes. Watts are keyed at 0.1 W.
QString statusKey(const Inputs &inputs);
// The status key without its watts field, so the tooltip ignores watts noise.
QString tooltipKey(const QString &statusKey);

struct Tooltip
{
    QString title; // first line
    QString body; // second line
    QString text() const { return title + QLatin1Char('\n') + body; }
    QString accessibilityLabel;
};
Tooltip tooltip(const Inputs &inputs);

} // namespace MenuBarBatteryIcon
