#pragma once

#include "power/drain_sinks.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class Clock;
class Defaults;
class Notifications;

// One battery level as the monitor saw it.
struct LevelSample
{
    double time = 0; // seconds since the epoch
    int level = 0; // percent

    bool operator==(const LevelSample &) const = default;
};

// The level to measure the drop from: the oldest sample at least 0.85 of the
// window old, else the oldest sample. `trail` is in observation order and not
// empty.
int baselineLevel(const QList<LevelSample> &trail, double now, double windowSeconds);

// The notification text for a drop of `dropPercent` points within
// `windowMinutes`, naming the leading process when there is one.
QString drainAlertBody(int dropPercent, int windowMinutes, const std::optional<QString> &leadingProcess);

// Warns when the battery, while discharging, loses at least `dropPercent`
// points within `windowMinutes`. Alerts are at least 30 minutes apart, across
// restarts. Main thread only.
class DrainAlertMonitor : public DrainObserver
{
public:
    // Name of the process leading the energy list; absent when it is empty.
    using LeadingProcess = std::function<std::optional<QString>()>;

    static constexpr int kDefaultDropPercent = 5;
    static constexpr int kMinDropPercent = 2;
    static constexpr int kMaxDropPercent = 30;
    static constexpr int kDefaultWindowMinutes = 15;
    static constexpr int kMinWindowMinutes = 5;
    static constexpr int kMaxWindowMinutes = 60;
    static constexpr double kCooldownSeconds = 1800;


    DrainAlertMonitor(Defaults &defaults, const Clock &clock, Notifications &notifications,
                      LeadingProcess leadingProcess);

    void observe(int levelPercent, bool discharging) override;
    // Forgets the levels seen so far: a drop across a pack change is no drain.
    void packsChanged() override;

    bool enabled() const;
    // Switching on asks the desktop for permission to show alerts.
    void setEnabled(bool enabled);
    int dropPercent() const; // 2…30
    void setDropPercent(int percent);
    int windowMinutes() const; // 5…60
    void setWindowMinutes(int minutes);

    const QList<LevelSample> &levelTrail() const { return m_levelTrail; }

private:
    void trimTrail(double now);
    bool coolingDown(double now) const;
    void alert(int drop, double now);

    Defaults &m_defaults;
    const Clock &m_clock;
    Notifications &m_notifications;
    LeadingProcess m_leadingProcess;
    QList<LevelSample> m_levelTrail;
};
