#pragma once

#include "platform/serial_queue.h"
#include "power/bat_snap.h"
#include "power/power_store_readings.h"
#include "power/power_store_rules.h"
#include "power/power_store_smoothers.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <optional>

class Clock;
class DrainObserver;
class IOReportPowerReader;
class PowerLogSink;
class PowerModeMonitor;
class SnapshotSource;
class SystemInfo;

// The one live power state of the process. Every published field is written on
// the main thread, and only when its value really changes.
//
// PUBLIC API CONTRACT (other subsystems are written against it): the getters,
// the change signals, shared(), start(), setFastMode(), noteTransition(),
// poll(), setPowerLogSink(), setDrainObserver(). The implementation adds the
// constructor with injectable dependencies and its private state.
class PowerStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool batteryPresent READ batteryPresent NOTIFY batteryPresentChanged)
    Q_PROPERTY(int levelPercent READ levelPercent NOTIFY levelPercentChanged)
    Q_PROPERTY(bool isCharging READ isCharging NOTIFY isChargingChanged)
    Q_PROPERTY(bool isOnAC READ isOnAC NOTIFY isOnACChanged)
    Q_PROPERTY(double chargeWatts READ chargeWatts NOTIFY chargeWattsChanged)
    Q_PROPERTY(double packageWatts READ packageWatts NOTIFY packageWattsChanged)
    Q_PROPERTY(QString packageSource READ packageSource NOTIFY packageSourceChanged)
    Q_PROPERTY(bool hasPowerDistribution READ hasPowerDistribution NOTIFY hasPowerDistributionChanged)
    Q_PROPERTY(QString batterySourcesUsed READ batterySourcesUsed NOTIFY batterySourcesUsedChanged)
    Q_PROPERTY(QString timeEstimateSource READ timeEstimateSource NOTIFY timeEstimateSourceChanged)
    Q_PROPERTY(QString timeText READ timeText NOTIFY timeTextChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusTextChanged)

public:

    // Every dependency must outlive the store; `socReader` may be null on a
    // machine without energy counters.
    PowerStore(const Clock &clock, SnapshotSource &snapshots, IOReportPowerReader *socReader,
               const SystemInfo &systemInfo, const PowerModeMonitor &powerMode,
               QObject *parent = nullptr);
    ~PowerStore() override;

    bool batteryPresent() const;
    int levelPercent() const; // after hysteresis, 0–100
    bool isCharging() const;
    bool isOnAC() const;
    double chargeWatts() const; // W, smoothed battery power, never negative
    double packageWatts() const; // W, smoothed whole-chip power
    QString packageSource() const; // "sensor", "sensor (N domains)" or "estimate"
    double cpuDomainWatts() const;
    double gpuDomainWatts() const;
    double aneDomainWatts() const;
    double dramDomainWatts() const;
    double otherDomainWatts() const;
    bool hasPowerDistribution() const;
    QString batterySourcesUsed() const; // "—" when no source contributed
    QString timeEstimateSource() const; // "System" or "—"
    double pCoreShare() const;
    double eCoreShare() const;
    std::optional<int> cycleCount() const;
    std::optional<int> healthPercent() const;
    std::optional<int> capacityRaw() const; // mAh
    std::optional<int> designCapacity() const; // mAh
    // Each pack of a battery made of several; empty with a single pack.
    const QList<BatteryPack> &batteryPacks() const;
    QString timeText() const;
    QString statusText() const;
    std::optional<int> remainingMinutes() const;
    bool minutesIsLiveEstimate() const;
    const QList<double> &wattHistory() const; // at most 700, oldest first
    const QList<double> &wattHistorySpark() const; // at most 60

    // Restarts the poll timer with the current interval and polls at once.
    void start();
    // Short polls while a window is open.
    void setFastMode(bool fast);
    bool fastMode() const;
    // Sleep (false) and wake (true) of the system or the display.
    void noteTransition(bool waking);
    // One poll cycle; a call while one is in flight is dropped.
    void poll();
    // A poll cycle has started and not yet come back to the main thread.
    bool pollInFlight() const;

    // Not owned; may be null. Set once at launch.
    void setPowerLogSink(PowerLogSink *sink);
    void setDrainObserver(DrainObserver *observer);

    // Seconds between polls for the published state and the power mode.
    double currentInterval() const;
    // Seconds between polls of the running timer; 0 while it is stopped.
    double timerInterval() const;

    // The main-thread half of a poll: smooths, applies hysteresis and
    // publishes. Public so that tests can put the store in any state.
    void publish(const BatSnap &snapshot, const PackageReading &package, bool sharesRead,
                 const CoreShares &shares);
    // The battery half of `publish`.
    void applyBattery(const BatSnap &snapshot);

signals:
    void batteryPresentChanged();
    void levelPercentChanged();
    void isChargingChanged();
    void isOnACChanged();
    void chargeWattsChanged();
    void packageWattsChanged();
    void packageSourceChanged();
    void domainWattsChanged();
    void hasPowerDistributionChanged();
    void batterySourcesUsedChanged();
    void timeEstimateSourceChanged();
    void coreSharesChanged();
    void batteryDetailsChanged(); // cycleCount, healthPercent, capacityRaw, designCapacity, batteryPacks
    void timeTextChanged();
    void statusTextChanged();
    void remainingMinutesChanged();
    void minutesIsLiveEstimateChanged();
    void wattHistoryChanged(); // wattHistory and wattHistorySpark
    // After every poll's publish, whether or not a field changed: for rules
    // that read the published state on the store's cadence.
    void published();

private:
    void restartTimer(double interval);
    // The queue half of a poll; `pollInFlight` is already set.
    void readAndHandBack(const QPointer<PowerStore> &self, bool fast);
    void resetModeState();
    // Whether the number of packs differs from the last poll's.
    bool packsChanged(const BatSnap &snapshot);
    void resetTimeState();
    void updateMinutes(const BatSnap &snapshot, double now);
    double smoothBatteryPower(const BatSnap &snapshot);
    // Updates the slow display power, publishes `chargeWatts` from it and
    // returns it (W, 0 when too small to show).
    double applyDisplayPower(double watts);
    void publishTimeText(const QString &text, double now);
    void publishStatusText(const QString &text, double now);
    void publishPackage(const PackageReading &package);
    void publishDomains(const PackageReading &package);
    void publishShares(const CoreShares &shares);
    void recordHistory(double now);

    void setBatteryPresent(bool value);
    void setLevelPercent(int value);
    void setIsCharging(bool value);
    void setIsOnAC(bool value);
    void setChargeWatts(double value);
    void setPackage(double watts, const QString &source);
    void setHasPowerDistribution(bool value);
    void setBatterySourcesUsed(const QString &value);
    void setTimeEstimateSource(const QString &value);
    void setBatteryDetails(const BatSnap &snapshot);
    void setTimeText(const QString &value);
    void setStatusText(const QString &value);
    void setRemainingMinutes(std::optional<int> value);
    void setMinutesIsLiveEstimate(bool value);

    const Clock &m_clock;
    SnapshotSource &m_snapshots;
    const PowerModeMonitor &m_powerMode;
    PowerStoreReadings m_readings;
    PowerLogSink *m_powerLogSink = nullptr;
    DrainObserver *m_drainObserver = nullptr;

    // Published fields.
    bool m_batteryPresent = false;
    int m_levelPercent = 0;
    bool m_isCharging = false;
    bool m_isOnAC = false;
    double m_chargeWatts = 0;
    double m_packageWatts = 0;
    QString m_packageSource = QStringLiteral("estimate");
    SocPowerSample m_domainWatts;
    bool m_hasPowerDistribution = false;
    QString m_batterySourcesUsed = QStringLiteral("—");
    QString m_timeEstimateSource = QStringLiteral("—");
    CoreShares m_coreShares;
    std::optional<int> m_cycleCount;
    std::optional<int> m_healthPercent;
    std::optional<int> m_capacityRaw;
    std::optional<int> m_designCapacity;
    QList<BatteryPack> m_batteryPacks;
    QString m_timeText = QStringLiteral("—");
    QString m_statusText = QStringLiteral("—");
    std::optional<int> m_remainingMinutes;
    bool m_minutesIsLiveEstimate = false;
    QList<double> m_wattHistory;
    QList<double> m_wattHistorySpark;

    // Poll machinery.
    double m_timerInterval = 0;
    QTimer m_wakePollSoon;
    QTimer m_wakePollLater;
    bool m_fastMode = false;
    // Set by whoever starts a poll (a main-thread call or the queue's timer),
    // cleared on the main thread once the poll is published.
    std::atomic<bool> m_pollInFlight{false};
    double m_lastDrainLog = 0;
    double m_lastPublishedSpark = 0;
    // Work queue only: when the reads that are not made every poll were made.
    double m_lastShellCrossCheck = 0;
    double m_lastCoreShareRead = 0;

    // Smoothing and hysteresis.
    WattRing m_wattRing;
    std::optional<double> m_packageEma;
    std::optional<double> m_chargeEma;
    AmperageSmoother m_amperage;
    LevelHysteresis m_level;
    MinutesSmoother m_minutes;
    double m_minutesHoldUntil = 0;
    double m_lastTimePublishAt = 0;
    QString m_lastPublishedTimeText;
    QString m_lastPowerModeKey;
    std::optional<qsizetype> m_lastPackCount; // absent before the first poll
    int m_lastDisplayedMinutes = -1;
    double m_lastStatusPublishAt = 0;
    QString m_lastPublishedStatus;
    double m_stickyChargeW = 0;

    // Last member: destroyed first, so queued work finishes while the
    // readings it uses still exist.
    SerialQueue m_workQ{"pendrapro.power"};
};
