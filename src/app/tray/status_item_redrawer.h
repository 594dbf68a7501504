#pragma once

#include "app/tray/glyph_icon_cache.h"
#include "app/tray/menu_bar_battery_icon.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class Clock;
class StatusItem;

// Keeps the status item's icon, label, tooltip and accessible name current.
// Redraws only when the change key (inputs and look) moved, and then hands
// the item only what it shows that changed; frequent inputs go through a
// throttle of one redraw per 0.2 s. Where the host draws no label, the icon
// is the badge with the level.
class StatusItemRedrawer : public QObject
{
    Q_OBJECT

public:
    using InputsProvider = std::function<MenuBarBatteryIcon::Inputs()>;
    // The host's and panel's look; by default the glyph with a label beside it.
    using LookProvider = std::function<TrayIconLook()>;
    // Runs `work` on the main thread after `delaySeconds`; the default uses a
    // single-shot timer owned by the redrawer, so work never outlives it.
    using Scheduler = std::function<void(double delaySeconds, std::function<void()> work)>;

    static constexpr double kThrottleInterval = 0.2; // s
    static constexpr double kMinimumDelay = 0.02; // s

    StatusItemRedrawer(Clock &clock, InputsProvider inputs, QObject *parent = nullptr);

    void setScheduler(Scheduler scheduler) { m_schedule = std::move(scheduler); }
    // Takes effect at the next redraw; follow a change with forceRedraw().
    void setLookProvider(LookProvider look) { m_look = std::move(look); }

    // A new (or no) status item: forgets what was shown and redraws, so the
    // new item always receives its icon, label and tooltip.
    void setStatusItem(StatusItem *item);

    // Redraws when the change key differs from the last drawn one.
    void redraw();
    // Stamps the draw time, drops any pending request and redraws.
    void redrawImmediately();
    // For frequent inputs: at most one redraw per 0.2 s, never scheduled
    // sooner than 0.02 s ahead, at most one pending.
    void requestThrottledRedraw();
    // Settings changed: the next redraw cannot be skipped.
    void forceRedraw();
    // Low Power Mode toggled: as forceRedraw, and stamps the draw time.
    void forceRedrawImmediately();

    const QString &lastStatusKey() const { return m_lastStatusKey; }
    const QString &lastTooltipKey() const { return m_lastTooltipKey; }
    double lastStatusDrawAt() const { return m_lastStatusDrawAt; }
    bool statusDrawPending() const { return m_statusDrawPending; }
    const GlyphIconCache &icons() const { return m_icons; }

signals:
    // The change key moved and the item was brought up to date.
    void redrawn();

private:
    void applyIcon(const MenuBarBatteryIcon::Inputs &inputs, const TrayIconLook &look);
    void applyLabel(const QString &label);
    void applyTooltip(const MenuBarBatteryIcon::Inputs &inputs, const QString &statusKey);

    Clock &m_clock;
    InputsProvider m_inputs;
    LookProvider m_look;
    Scheduler m_schedule;
    QPointer<StatusItem> m_item;

    QString m_lastStatusKey;
    double m_lastStatusDrawAt = 0; // absolute time, s
    bool m_statusDrawPending = false;
    QString m_lastTooltipKey;
    GlyphIconCache m_icons;
    // What the item shows now; empty when it has not been given one yet.
    QString m_shownIconKey;
    std::optional<QString> m_shownLabel;
};
