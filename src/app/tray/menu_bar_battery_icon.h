#pragma once

#include "app/tray/menu_bar_settings.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <optional>

class QFont;

// The status item's title, glyph, colour and image. Stateless: everything it
// needs comes in through `Inputs`.
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

// Image geometry, in points.
inline constexpr double kImageHeight = 20.0;
inline constexpr double kGlyphX = 2.0;
inline constexpr double kGlyphTextGap = 5.0;
inline constexpr double kMinGlyphWidth = 22.0, kMaxGlyphWidth = 34.0;
inline constexpr double kMinGlyphHeight = 13.0, kMaxGlyphHeight = 18.0;
inline constexpr double kLargeFontSize = 12.5, kSmallFontSize = 11.5, kTextOnlyFontSize = 12.0;
inline constexpr double kTextOnlyHeight = 16.0;

// "42m", "2h 05m", "Full", "AC" or nothing.
std::optional<QString> timeText(std::optional<int> minutes, bool charging, bool onAC, bool present, int level);
// "83% 2h 05m", "100% Full", "64% AC", "83% 7.4W", "12W", "AC", each with
// " · 22°" when a temperature is known.
QString titleText(const Inputs &inputs);

BatteryMenuChrome::BatteryTint tint(const Inputs &inputs);
QColor glyphColor(const Inputs &inputs);
// "powerplug.fill", "battery.<band>" or "battery.<band>.bolt".
QString glyphName(const Inputs &inputs);

// 12.5 for titles shorter than 7 characters, else 11.5.
double titleFontSize(const QString &title);
// Semibold, tabular digits, sized in points where one point is one pixel at 1×.
QFont titleFont(double size);

// Glyph and title side by side, 20 points tall; `devicePixelRatio` 2 gives a
// 2× bitmap of the same point size. Falls back to `textOnlyImage` when the
// glyph cannot be drawn.
QImage image(const Inputs &inputs, double devicePixelRatio = 1.0);
QImage textOnlyImage(const QString &title, const QColor &color, double devicePixelRatio = 1.0);
// The glyph alone on a square transparent icon of `sizePx` pixels, for tray
// hosts that give square slots.
QImage glyphIcon(const Inputs &inputs, int sizePx);
// Width of an image in points (independent of its pixel ratio).
double pointWidth(const QImage &image);

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

// Status item length in points for an image of `imageWidth` points (none
// when there is no image).
double statusItemLength(std::optional<double> imageWidth);

} // namespace MenuBarBatteryIcon
