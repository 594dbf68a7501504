#include "app/tray/tray_icon_settings.h"

#include "app/core/notification_center.h"
#include "app/tray/tray_host_rules.h"
#include "platform/defaults.h"

QString rawValue(TrayIconStyle style)
{
    switch (style) {
    case TrayIconStyle::light:
        return QStringLiteral("light");
    case TrayIconStyle::dark:
        return QStringLiteral("dark");
    case TrayIconStyle::automatic:
        break;
    }
    return QStringLiteral("automatic");
}

QString displayLabel(TrayIconStyle style)
{
    switch (style) {
    case TrayIconStyle::light:
        return QStringLiteral("Light");
    case TrayIconStyle::dark:
        return QStringLiteral("Dark");
    case TrayIconStyle::automatic:
        break;
    }
    return QStringLiteral("Automatic");
}

PanelTone panelTone(TrayIconStyle style, const PanelClues &clues)
{
    switch (style) {
    case TrayIconStyle::light:
        return PanelTone::dark;
    case TrayIconStyle::dark:
        return PanelTone::light;
    case TrayIconStyle::automatic:
        break;
    }
    if (clues.hostAlwaysDark)
        return PanelTone::dark;
    if (clues.measuredDark)
        return *clues.measuredDark ? PanelTone::dark : PanelTone::light;
    if (clues.scheme != ColorScheme::noPreference)
        return clues.scheme == ColorScheme::preferDark ? PanelTone::dark : PanelTone::light;
    return clues.paletteWindow.lightnessF() < 0.5 ? PanelTone::dark : PanelTone::light;
}

namespace TrayIconSettings {

TrayIconStyle style(const Defaults &defaults)
{
    const QString stored = defaults.stringValue(kStyleKey).value_or(QString());
    if (stored == QStringLiteral("light"))
        return TrayIconStyle::light;
    if (stored == QStringLiteral("dark"))
        return TrayIconStyle::dark;
    return TrayIconStyle::automatic;
}

void setStyle(Defaults &defaults, NotificationCenter &center, TrayIconStyle style)
{
    defaults.setString(kStyleKey, rawValue(style));
    center.post(AppNotification::menuBarDisplayChanged);
}

bool showsPercent(const Defaults &defaults, bool hostDrawsLabel)
{
    return defaults.boolValue(kShowsPercentKey).value_or(!hostDrawsLabel);
}

void setShowsPercent(Defaults &defaults, NotificationCenter &center, bool shows)
{
    defaults.setBool(kShowsPercentKey, shows);
    center.post(AppNotification::menuBarDisplayChanged);
}

} // namespace TrayIconSettings

TrayIconLook trayIconLook(const TrayHostBehaviour &host, const Defaults &defaults, PanelClues clues)
{
    clues.hostAlwaysDark = host.panelAlwaysDark;
    return {!host.drawsLabel, panelTone(TrayIconSettings::style(defaults), clues),
            TrayIconSettings::showsPercent(defaults, host.drawsLabel)};
}
