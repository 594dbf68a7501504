#pragma once

#include "platform/color_scheme.h"

#include <QColor>
#include <QString>

#include <optional>

class Defaults;
class NotificationCenter;
struct TrayHostBehaviour;

// The colour of the tray icon's glyph and digits: light for dark panels,
// dark for light panels, or following the desktop.
enum class TrayIconStyle { automatic, light, dark };

QString rawValue(TrayIconStyle style); // "automatic", "light", "dark"
QString displayLabel(TrayIconStyle style); // "Automatic", "Light", "Dark"
inline constexpr TrayIconStyle kAllTrayIconStyles[] = {TrayIconStyle::automatic, TrayIconStyle::light,
                                                       TrayIconStyle::dark};

// The tone of the panel behind the icon.
enum class PanelTone { light, dark };

// What is known about the panel behind the icon, surest first.
struct PanelClues
{
    bool hostAlwaysDark = false;
    // The panel's own colours as the display shows them (a tinted XEmbed
    // tray, a themed panel); empty where they cannot be read.
    std::optional<bool> measuredDark;
    ColorScheme scheme = ColorScheme::noPreference;
    // The application palette's window colour, which the desktop's Qt theme sets.
    QColor paletteWindow;
};

// Automatic takes the surest clue: a host whose panel is always dark, the
// panel's measured colours, the desktop's colour scheme, then the palette.
PanelTone panelTone(TrayIconStyle style, const PanelClues &clues);

// Settings of the square tray icon. Setters store and then post
// pendrapro.menuBarDisplayChanged so that the status item redraws at once.
namespace TrayIconSettings {

inline const QString kStyleKey = QStringLiteral("pendrapro.trayIconStyle");
inline const QString kShowsPercentKey = QStringLiteral("pendrapro.trayIconShowsPercent");

// Anything but "light" or "dark" is automatic.
TrayIconStyle style(const Defaults &defaults);
void setStyle(Defaults &defaults, NotificationCenter &center, TrayIconStyle style);

// "Show percentage in tray icon": unless stored, on where the host draws no
// label beside the icon.
bool showsPercent(const Defaults &defaults, bool hostDrawsLabel);
void setShowsPercent(Defaults &defaults, NotificationCenter &center, bool shows);

} // namespace TrayIconSettings

// How the status item draws itself for one host and panel.
struct TrayIconLook
{
    // The square icon carries the level (the host draws no label beside it).
    bool badge = false;
    PanelTone tone = PanelTone::dark;
    bool showsPercent = false;

    bool operator==(const TrayIconLook &) const = default;
};

// The look on `host` with the stored settings and what is known of its panel.
TrayIconLook trayIconLook(const TrayHostBehaviour &host, const Defaults &defaults, PanelClues clues);
