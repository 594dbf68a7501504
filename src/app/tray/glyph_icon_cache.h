#pragma once

#include "app/tray/menu_bar_battery_icon.h"
#include "app/tray/tray_icon_settings.h"
#include "platform/status_item.h"

#include <QHash>
#include <QList>
#include <QString>

// The status item's icon bitmaps, drawn once per glyph (level band with bolt,
// or plug) and tint: the glyph's colour follows from the tint, so a level
// that moves within its band, or back to a band seen before, draws nothing.
// At most 11 glyphs × 4 tints are ever kept. Badges (the level in digits over
// the glyph) are kept by digits, glyph, tint and panel tone, a bounded few.
class GlyphIconCache
{
public:
    // Bitmap sizes offered to hosts that pick an icon size themselves.
    static constexpr int kIconSizes[] = {16, 22, 32, 48, 64};

    // Identifies everything the icon shows.
    static QString keyFor(const MenuBarBatteryIcon::Inputs &inputs);

    // The icon at every size in kIconSizes.
    QList<StatusIconPixmap> icon(const MenuBarBatteryIcon::Inputs &inputs);

    // Slot sizes of hosts that draw no label (16 GNOME-like, 22 XFCE/LXQt/
    // Plasma, 24 and 32 on scaled panels).
    static constexpr int kBadgeSizes[] = {16, 22, 24, 32};
    static constexpr qsizetype kMaxBadges = 64;
    static QString badgeKeyFor(const MenuBarBatteryIcon::Inputs &inputs, PanelTone tone, bool showsPercent);
    // The badge at every size in kBadgeSizes.
    QList<StatusIconPixmap> badge(const MenuBarBatteryIcon::Inputs &inputs, PanelTone tone, bool showsPercent);

    qsizetype size() const { return m_icons.size(); }
    qsizetype badgeCount() const { return m_badges.size(); }

private:
    QHash<QString, QList<StatusIconPixmap>> m_icons;
    QHash<QString, QList<StatusIconPixmap>> m_badges;
};
