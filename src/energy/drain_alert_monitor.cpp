#include "energy/drain_alert_monitor.h"

#include "platform/clock.h"
#include "platform/defaults.h"
#include "platform/notifications.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace {

const QString kEnabledKey = QStringLiteral("pendrapro.drainAlerts.enabled");
const QString kDropPercentKey = QStringLiteral("pendrapro.drainAlerts.dropPercent");
const QString kWindowMinutesKey = QStringLiteral("pendrapro.drainAlerts.windowMinutes");
const QString kLastAlertKey = QStringLiteral("pendrapro.drainAlerts.lastFire");

// A sample this far into the window is old enough to measure the drop from.
constexpr double kBaselineAgeFraction = 0.85;
// The trail keeps a little more than the window so the baseline has a choice.
constexpr double kTrailSlackMinutes = 5;

int clampedSetting(const Defaults &defaults, const QString &key, int fallback, int low, int high)
{
    const auto stored = defaults.intValue(key);
    if (!stored)
        return fallback;
    return static_cast<int>(std::clamp<long long>(*stored, low, high));
}

} // namespace

int baselineLevel(const QList<LevelSample> &trail, double now, double windowSeconds)
{
    for (const LevelSample &sample : trail) {
        if (now - sample.time >= kBaselineAgeFraction * windowSeconds)
            return sample.level;
    }
    return trail.first().level;
}

QString drainAlertBody(int dropPercent, int windowMinutes, const std::optional<QString> &leadingProcess)
{
    if (!leadingProcess)
        return QStringLiteral("Battery dropped %1% in ~%2 min while on battery.").arg(dropPercent).arg(windowMinutes);
    return QStringLiteral("Battery dropped %1% in ~%2 min. Top energy: %3.")
        .arg(QString::number(dropPercent), QString::number(windowMinutes), *leadingProcess);
}

DrainAlertMonitor::DrainAlertMonitor(Defaults &defaults, const Clock &clock, Notifications &notifications,
                                     LeadingProcess leadingProcess)
    : m_defaults(defaults)
    , m_clock(clock)
    , m_notifications(notifications)
    , m_leadingProcess(std::move(leadingProcess))
{
}

void DrainAlertMonitor::observe(int levelPercent, bool discharging)
{
    const double now = m_clock.now();
    m_levelTrail.append({now, levelPercent});
    trimTrail(now);
    if (!enabled() || !discharging)
        return;

    const int drop = baselineLevel(m_levelTrail, now, windowMinutes() * 60.0) - levelPercent;
    if (drop < dropPercent() || coolingDown(now))
        return;
    alert(drop, now);
}

void DrainAlertMonitor::packsChanged()
{
    m_levelTrail.clear();
}

void DrainAlertMonitor::trimTrail(double now)
{
    const double oldest = now - (windowMinutes() + kTrailSlackMinutes) * 60.0;
    m_levelTrail.removeIf([oldest](const LevelSample &sample) { return sample.time < oldest; });
}

bool DrainAlertMonitor::coolingDown(double now) const
{
    const auto lastAlert = m_defaults.dateValue(kLastAlertKey);
    if (!lastAlert)
        return false;
    return now - static_cast<double>(lastAlert->toMSecsSinceEpoch()) / 1000.0 < kCooldownSeconds;
}

void DrainAlertMonitor::alert(int drop, double now)
{
    // Recorded before posting: a failed post must not lead to a burst of retries.
    m_defaults.setDate(kLastAlertKey, QDateTime::fromMSecsSinceEpoch(std::llround(now * 1000), Qt::UTC));
    LocalNotification notification;
    notification.identifier = QStringLiteral("pendrapro.drain.%1").arg(static_cast<qint64>(std::floor(now)));
    notification.title = QStringLiteral("Pendra · drain alert");
    notification.body = drainAlertBody(drop, windowMinutes(), m_leadingProcess());
    notification.defaultSound = true;
    m_notifications.post(notification);
}

bool DrainAlertMonitor::enabled() const
{
    return m_defaults.boolValue(kEnabledKey).value_or(false);
}

void DrainAlertMonitor::setEnabled(bool enabled)
{
    m_defaults.setBool(kEnabledKey, enabled);
    if (enabled)
        m_notifications.requestPermission();
}

int DrainAlertMonitor::dropPercent() const
{
    return clampedSetting(m_defaults, kDropPercentKey, kDefaultDropPercent, kMinDropPercent, kMaxDropPercent);
}

void DrainAlertMonitor::setDropPercent(int percent)
{
    m_defaults.setInt(kDropPercentKey, std::clamp(percent, kMinDropPercent, kMaxDropPercent));
}

int DrainAlertMonitor::windowMinutes() const
{
    return clampedSetting(m_defaults, kWindowMinutesKey, kDefaultWindowMinutes, kMinWindowMinutes,
                          kMaxWindowMinutes);
}

void DrainAlertMonitor::setWindowMinutes(int minutes)
{
    m_defaults.setInt(kWindowMinutesKey, std::clamp(minutes, kMinWindowMinutes, kMaxWindowMinutes));
}
