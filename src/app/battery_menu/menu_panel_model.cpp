#include "app/battery_menu/menu_panel_model.h"

#include "app/ui/menu_panel_rules.h"
#include "energy/process_energy_store.h"
#include "platform/power_mode.h"
#include "power/power_store.h"

namespace {

// Assigns and reports whether the value changed.
template <typename T>
bool assign(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace


MenuPanelModel::MenuPanelModel(const PowerStore &store, TopReader readTop, LowPowerReader readLowPower,
                               QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_readTop(std::move(readTop))
    , m_readLowPower(std::move(readLowPower))
    , m_timer(this)
{
    m_timer.setObjectName(QStringLiteral("pendrapro.menuPanel.refresh"));
    // Coarse timers may fire up to 5 % late, well inside the 0.12 s slack
    // this refresh allows; they let the system batch wake-ups.
    m_timer.setTimerType(Qt::CoarseTimer);
    m_timer.setInterval(kRefreshInterval);
    connect(&m_timer, &QTimer::timeout, this, &MenuPanelModel::refresh);
}

void MenuPanelModel::startTracking()
{
    if (m_tracking)
        return;
    m_tracking = true;
    emit trackingChanged();
    refresh();
    m_timer.start();
}

void MenuPanelModel::stopTracking()
{
    m_timer.stop();
    if (!m_tracking)
        return;
    m_tracking = false;
    emit trackingChanged();
}

void MenuPanelModel::refresh()
{
    const bool present = m_store.batteryPresent();
    const bool charging = m_store.isCharging();
    const bool onAC = m_store.isOnAC();
    const int level = m_store.levelPercent();

    if (assign(m_levelPercent, level))
        emit levelPercentChanged();
    if (assign(m_isCharging, charging))
        emit isChargingChanged();
    if (assign(m_isOnAC, onAC))
        emit isOnACChanged();
    if (assign(m_batteryPresent, present))
        emit batteryPresentChanged();
    if (assign(m_hasPowerDistribution, m_store.hasPowerDistribution()))
        emit hasPowerDistributionChanged();
    if (assign(m_lowPower, m_readLowPower()))
        emit lowPowerChanged();
    if (assign(m_statusText, m_store.statusText()))
        emit statusTextChanged();
    const QString detail = MenuPanelRules::timeDetail(present, charging, onAC, level, m_store.timeText(),
                                                      m_store.statusText());
    if (assign(m_timeDetail, detail))
        emit timeDetailChanged();
    if (assign(m_powerSource, MenuPanelRules::powerSourceWord(present, charging, onAC)))
        emit powerSourceChanged();
    if (assign(m_cycleCount, m_store.cycleCount()))
        emit cycleCountChanged();
    if (assign(m_healthPercent, m_store.healthPercent()))
        emit healthPercentChanged();
    if (assign(m_batteryPacks, m_store.batteryPacks()))
        emit batteryPacksChanged();

    refreshWatts();
    refreshSpark();
    refreshTopApps();
}

void MenuPanelModel::refreshWatts()
{
    if (const auto watts = MenuPanelRules::roundedWattsUpdate(m_packageWatts, m_store.packageWatts())) {
        m_packageWatts = *watts;
        emit packageWattsChanged();
    }
    if (const auto watts = MenuPanelRules::roundedWattsUpdate(m_chargeWatts, m_store.chargeWatts())) {
        m_chargeWatts = *watts;
        emit chargeWattsChanged();
    }

    bool domainsMoved = false;
    const auto follow = [&domainsMoved](double &shown, double reading) {
        if (MenuPanelRules::domainWattsMoved(shown, reading)) {
            shown = reading;
            domainsMoved = true;
        }
    };
    follow(m_cpuDomainWatts, m_store.cpuDomainWatts());
    follow(m_gpuDomainWatts, m_store.gpuDomainWatts());
    follow(m_aneDomainWatts, m_store.aneDomainWatts());
    follow(m_dramDomainWatts, m_store.dramDomainWatts());
    follow(m_otherDomainWatts, m_store.otherDomainWatts());
    if (domainsMoved)
        emit domainWattsChanged();
}

void MenuPanelModel::refreshSpark()
{
    const QList<double> &history = m_store.wattHistorySpark();
    if (!history.isEmpty()) {
        QList<double> thinned = MenuPanelRules::thinSpark(history);
        if (!MenuPanelRules::sameSpark(m_spark, thinned)) {
            m_spark = std::move(thinned);
            emit sparkChanged();
        }
    }
    if (assign(m_sparkLabel, MenuPanelRules::sparkLabel(m_store.wattHistory().size())))
        emit sparkLabelChanged();
}

void MenuPanelModel::refreshTopApps()
{
    QList<ProcEnergy> apps = MenuPanelRules::topApps(m_readTop());
    if (MenuPanelRules::sameTopApps(m_topApps, apps))
        return;
    m_topApps = std::move(apps);
    emit topAppsChanged();
}
