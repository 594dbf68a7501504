#pragma once

#include "app/tray/menu_bar_battery_icon.h"
#include "app/tray/tray_icon_settings.h"

#include <QColor>
#include <QImage>
#include <QRect>

// The square icon for tray hosts that draw no label beside it: the level in
// digits over a small battery glyph, in the panel's foreground colour, with
// the glyph tinted by status (green charging, red critical, yellow low power)
// in shades that stay readable on that panel. Stateless.
namespace TrayIconBadge {

// Glyph and digit colour on a panel of `tone`.
QColor foreground(PanelTone tone);
// The glyph's colour for `tint`: the foreground while discharging, else a
// shade of the status colour dark or light enough for `tone`.
QColor tintColor(BatteryMenuChrome::BatteryTint tint, PanelTone tone);

// Where the digits go on an icon of `sizePx` pixels.
QRect digitArea(int sizePx);

// A `sizePx` square icon, transparent around the drawing. With `showPercent`
// and a battery present, the level sits above the glyph; otherwise the glyph
// fills the icon.
QImage render(const MenuBarBatteryIcon::Inputs &inputs, int sizePx, PanelTone tone, bool showPercent);

} // namespace TrayIconBadge
