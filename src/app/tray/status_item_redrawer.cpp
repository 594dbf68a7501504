#include "app/tray/status_item_redrawer.h"

#include "platform/clock.h"
#include "platform/status_item.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

QString lookKey(const TrayIconLook &look)
{
    if (!look.badge)
        return QStringLiteral("|label");
    return QStringLiteral("|badge|") + (look.tone == PanelTone::dark ? QStringLiteral("dark") : QStringLiteral("light"))
           + (look.showsPercent ? QStringLiteral("|digits") : QStringLiteral("|glyph"));
}

} // namespace

StatusItemRedrawer::StatusItemRedrawer(Clock &clock, InputsProvider inputs, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_inputs(std::move(inputs))
    , m_look([] { return TrayIconLook{}; })
{
    m_schedule = [this](double delaySeconds, std::function<void()> work) {
        QTimer::singleShot(static_cast<int>(std::ceil(delaySeconds * 1000)), this, std::move(work));
    };
}

void StatusItemRedrawer::setStatusItem(StatusItem *item)
{
    m_item = item;
    m_lastStatusKey.clear();
    m_lastTooltipKey.clear();
    m_shownIconKey.clear();
    m_shownLabel.reset();
    redraw();
}

void StatusItemRedrawer::redraw()
{
    if (!m_item)
        return;
    const MenuBarBatteryIcon::Inputs inputs = m_inputs();
    const TrayIconLook look = m_look();
    const QString key = MenuBarBatteryIcon::statusKey(inputs) + lookKey(look);
    if (key == m_lastStatusKey)
        return;
    m_lastStatusKey = key;

    applyIcon(inputs, look);
    applyLabel(MenuBarBatteryIcon::titleText(inputs));
    emit redrawn();

    applyTooltip(inputs, key);
}

// The key moves with watts, minutes and settings that the icon does not
// show; every icon change makes the host repaint, so only a new one is sent.
void StatusItemRedrawer::applyIcon(const MenuBarBatteryIcon::Inputs &inputs, const TrayIconLook &look)
{
    const QString key = look.badge ? GlyphIconCache::badgeKeyFor(inputs, look.tone, look.showsPercent)
                                   : GlyphIconCache::keyFor(inputs);
    if (key == m_shownIconKey)
        return;
    m_shownIconKey = key;
    m_item->setIcon(look.badge ? m_icons.badge(inputs, look.tone, look.showsPercent) : m_icons.icon(inputs));
}

void StatusItemRedrawer::applyLabel(const QString &label)
{
    if (m_shownLabel == label)
        return;
    m_shownLabel = label;
    m_item->setLabel(label);
}

// The tooltip's title carries level, time and watts: where no label is
// drawn it is the only place the time shows.
void StatusItemRedrawer::applyTooltip(const MenuBarBatteryIcon::Inputs &inputs, const QString &statusKey)
{
    const QString key = MenuBarBatteryIcon::tooltipKey(statusKey);
    if (key == m_lastTooltipKey)
        return;
    m_lastTooltipKey = key;
    const MenuBarBatteryIcon::Tooltip tooltip = MenuBarBatteryIcon::tooltip(inputs);
    m_item->setToolTip(tooltip.title, tooltip.body);
    m_item->setAccessibleName(tooltip.accessibilityLabel);
}

void StatusItemRedrawer::redrawImmediately()
{
    m_lastStatusDrawAt = m_clock.now();
    m_statusDrawPending = false;
    redraw();
}

void StatusItemRedrawer::requestThrottledRedraw()
{
    const double elapsed = m_clock.now() - m_lastStatusDrawAt;
    // A wall clock set backwards gives a negative gap; waiting it out could
    // starve the item for hours, so it counts as "long enough".
    if (elapsed >= kThrottleInterval || elapsed < 0) {
        redrawImmediately();
        return;
    }
    if (m_statusDrawPending)
        return; // the pending redraw reads the latest values when it runs
    m_statusDrawPending = true;
    m_schedule(std::max(kThrottleInterval - elapsed, kMinimumDelay), [this] {
        m_statusDrawPending = false;
        m_lastStatusDrawAt = m_clock.now();
        redraw();
    });
}

void StatusItemRedrawer::forceRedraw()
{
    m_lastStatusKey.clear();
    redraw();
}

void StatusItemRedrawer::forceRedrawImmediately()
{
    m_lastStatusKey.clear();
    m_lastStatusDrawAt = m_clock.now();
    redraw();
}
