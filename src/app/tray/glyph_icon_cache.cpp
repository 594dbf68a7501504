#include "app/tray/glyph_icon_cache.h"

#include "app/tray/status_icon_pixmaps.h"
#include "app/tray/tray_icon_badge.h"

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

QString GlyphIconCache::badgeKeyFor(const MenuBarBatteryIcon::Inputs &inputs, PanelTone tone, bool showsPercent)
{
    const QString digits = showsPercent && inputs.present ? QString::number(inputs.level) : QString();
    return keyFor(inputs) + QLatin1Char('|') + (tone == PanelTone::dark ? QStringLiteral("dark") : QStringLiteral("light"))
           + QLatin1Char('|') + digits;
}

QList<StatusIconPixmap> GlyphIconCache::badge(const MenuBarBatteryIcon::Inputs &inputs, PanelTone tone,
                                              bool showsPercent)
{
    const QString key = badgeKeyFor(inputs, tone, showsPercent);
    const auto found = m_badges.constFind(key);
    if (found != m_badges.constEnd())
        return *found;
    // A level drifts one step at a time; old levels are rarely shown again.
    if (m_badges.size() >= kMaxBadges)
        m_badges.clear();
    QList<StatusIconPixmap> icon;
    icon.reserve(std::size(kBadgeSizes));
    for (const int size : kBadgeSizes)
        icon.append(toStatusIconPixmap(TrayIconBadge::render(inputs, size, tone, showsPercent)));
    m_badges.insert(key, icon);
    return icon;
}
