#pragma once

#include "energy/proc_energy.h"
#include "power/bat_snap.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

class PowerStore;

// The battery menu's own copy of the live power state. While the popover is
// open it copies the power store and the process list every 0.45 s and
// publishes a field only when it really changed (watts beyond small
// tolerances), so that the panel redraws as little as possible. Between
// openings it keeps its last values. Main thread only.
class MenuPanelModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int levelPercent READ levelPercent NOTIFY levelPercentChanged)
    Q_PROPERTY(bool isCharging READ isCharging NOTIFY isChargingChanged)
    Q_PROPERTY(bool isOnAC READ isOnAC NOTIFY isOnACChanged)
    Q_PROPERTY(bool batteryPresent READ batteryPresent NOTIFY batteryPresentChanged)
    Q_PROPERTY(double packageWatts READ packageWatts NOTIFY packageWattsChanged)
    Q_PROPERTY(double chargeWatts READ chargeWatts NOTIFY chargeWattsChanged)
    Q_PROPERTY(bool hasPowerDistribution READ hasPowerDistribution NOTIFY hasPowerDistributionChanged)
    Q_PROPERTY(QString timeDetail READ timeDetail NOTIFY timeDetailChanged)
    Q_PROPERTY(QString powerSource READ powerSource NOTIFY powerSourceChanged)
    Q_PROPERTY(bool lowPower READ lowPower NOTIFY lowPowerChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusTextChanged)
    Q_PROPERTY(QString sparkLabel READ sparkLabel NOTIFY sparkLabelChanged)
    Q_PROPERTY(bool tracking READ tracking NOTIFY trackingChanged)

public:
    using TopReader = std::function<QList<ProcEnergy>()>;
    using LowPowerReader = std::function<bool()>;

    static constexpr auto kRefreshInterval = std::chrono::milliseconds(450);


    // `store` must outlive the model; `readTop` returns the process energy
    // store's ranked list, `readLowPower` the Low Power Mode flag.
    MenuPanelModel(const PowerStore &store, TopReader readTop, LowPowerReader readLowPower,
                   QObject *parent = nullptr);

    int levelPercent() const { return m_levelPercent; }
    bool isCharging() const { return m_isCharging; }
    bool isOnAC() const { return m_isOnAC; }
    bool batteryPresent() const { return m_batteryPresent; }
    double packageWatts() const { return m_packageWatts; } // W
    double chargeWatts() const { return m_chargeWatts; } // W
    double cpuDomainWatts() const { return m_cpuDomainWatts; } // W
    double gpuDomainWatts() const { return m_gpuDomainWatts; } // W
    double aneDomainWatts() const { return m_aneDomainWatts; } // W
    double dramDomainWatts() const { return m_dramDomainWatts; } // W
    double otherDomainWatts() const { return m_otherDomainWatts; } // W
    bool hasPowerDistribution() const { return m_hasPowerDistribution; }
    const QString &timeDetail() const { return m_timeDetail; }
    const QString &powerSource() const { return m_powerSource; }
    bool lowPower() const { return m_lowPower; }
    const QString &statusText() const { return m_statusText; }
    std::optional<int> cycleCount() const { return m_cycleCount; }
    std::optional<int> healthPercent() const { return m_healthPercent; } // %
    // Each pack of a battery made of several; empty with a single pack.
    const QList<BatteryPack> &batteryPacks() const { return m_batteryPacks; }
    const QList<double> &spark() const { return m_spark; } // W, thinned, oldest first
    const QString &sparkLabel() const { return m_sparkLabel; }
    const QList<ProcEnergy> &topApps() const { return m_topApps; } // at most 5
    bool tracking() const { return m_tracking; }

    // Refreshes at once and then every 0.45 s; does nothing while tracking.
    void startTracking();
    void stopTracking();
    // Copies the current values, publishing only what changed.
    void refresh();

signals:
    void levelPercentChanged();
    void isChargingChanged();
    void isOnACChanged();
    void batteryPresentChanged();
    void packageWattsChanged();
    void chargeWattsChanged();
    void domainWattsChanged(); // any of the five domain watts
    void hasPowerDistributionChanged();
    void timeDetailChanged();
    void powerSourceChanged();
    void lowPowerChanged();
    void statusTextChanged();
    void cycleCountChanged();
    void healthPercentChanged();
    void batteryPacksChanged();
    void sparkChanged();
    void sparkLabelChanged();
    void topAppsChanged();
    void trackingChanged();

private:
    void refreshWatts();
    void refreshSpark();
    void refreshTopApps();

    const PowerStore &m_store;
    TopReader m_readTop;
    LowPowerReader m_readLowPower;
    QTimer m_timer;

    int m_levelPercent = 0;
    bool m_isCharging = false;
    bool m_isOnAC = false;
    bool m_batteryPresent = false;
    double m_packageWatts = 0;
    double m_chargeWatts = 0;
    double m_cpuDomainWatts = 0;
    double m_gpuDomainWatts = 0;
    double m_aneDomainWatts = 0;
    double m_dramDomainWatts = 0;
    double m_otherDomainWatts = 0;
    bool m_hasPowerDistribution = false;
    QString m_timeDetail = QStringLiteral("—");
    QString m_powerSource = QStringLiteral("—");
    bool m_lowPower = false;
    QString m_statusText = QStringLiteral("—");
    std::optional<int> m_cycleCount;
    std::optional<int> m_healthPercent;
    QList<BatteryPack> m_batteryPacks;
    QList<double> m_spark;
    QString m_sparkLabel = QStringLiteral("Power");
    QList<ProcEnergy> m_topApps;
    bool m_tracking = false;
};
