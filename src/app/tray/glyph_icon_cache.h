#pragma once

#include "app/tray/menu_bar_battery_icon.h"
#include "platform/status_item.h"

#include <QHash>
#include <QList>
#include <QString>

// The status item's icon bitmaps, drawn once per glyph (level band with bolt,
// or plug) and tint: the glyph's colour follows from the tint, so a level
// that moves within its band, or back to a band seen before, draws nothing.
// At most 11 glyphs × 4 tints are ever kept.
class GlyphIconCache
{
public:
    // Bitmap sizes offered to hosts that pick an icon size themselves.
    static constexpr int kIconSizes[] = {16, 22, 32, 48, 64};

    // Identifies everything the icon shows.
    static QString keyFor(const MenuBarBatteryIcon::Inputs &inputs);

    // The icon at every size in kIconSizes.
    QList<StatusIconPixmap> icon(const MenuBarBatteryIcon::Inputs &inputs);

    qsizetype size() const { return m_icons.size(); }

private:
    QHash<QString, QList<StatusIconPixmap>> m_icons;
};
