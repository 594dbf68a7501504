#include "app/tray/glyph_icon_cache.h"

#include "app/tray/status_icon_pixmaps.h"

QString GlyphIconCache::keyFor(const MenuBarBatteryIcon::Inputs &inputs)
{
    return MenuBarBatteryIcon::glyphName(inputs) + QLatin1Char('|') + caseName(MenuBarBatteryIcon::tint(inputs));
}

QList<StatusIconPixmap> GlyphIconCache::icon(const MenuBarBatteryIcon::Inputs &inputs)
{
    const QString key = keyFor(inputs);
    const auto found = m_icons.constFind(key);
    if (found != m_icons.constEnd())
        return *found;
    QList<StatusIconPixmap> icon;
    icon.reserve(std::size(kIconSizes));
    for (const int size : kIconSizes)
        icon.append(toStatusIconPixmap(MenuBarBatteryIcon::glyphIcon(inputs, size)));
    m_icons.insert(key, icon);
    return icon;
}
