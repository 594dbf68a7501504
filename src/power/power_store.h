#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class PowerLogSink;
class DrainObserver;

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
    // Real backends, created on first use and kept for the process.
    static PowerStore &shared();

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

    // Not owned; may be null. Set once at launch.
    void setPowerLogSink(PowerLogSink *sink);
    void setDrainObserver(DrainObserver *observer);

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
    void batteryDetailsChanged(); // cycleCount, healthPercent, capacityRaw, designCapacity
    void timeTextChanged();
    void statusTextChanged();
    void remainingMinutesChanged();
    void minutesIsLiveEstimateChanged();
    void wattHistoryChanged(); // wattHistory and wattHistorySpark
};
