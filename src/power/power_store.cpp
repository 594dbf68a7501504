#include "power/power_store.h"

#include "platform/clock.h"
#include "platform/format.h"
#include "platform/main_thread.h"
#include "platform/power_mode.h"
#include "power/drain_sinks.h"
#include "power/snapshot_source.h"

#include <QPointer>

#include <algorithm>
#include <chrono>
#include <cmath>

using namespace PowerStoreRules;
using namespace std::chrono_literals;

namespace {

// The command-line tools are slow, and the core layout rarely changes.
constexpr double kShellCrossCheckEvery = 45.0;
constexpr double kCoreSharesEvery = 30.0;
constexpr double kSparkEvery = 12.0;
constexpr int kSparkAlwaysBelow = 8;
constexpr double kDrainLogEvery = 30.0;
constexpr double kStatusThrottle = 5.0;
constexpr double kTimeTextThrottle = 20.0;
// The gauge needs a while after a wake before its estimates mean anything.
constexpr double kHoldAfterWake = 45.0;
constexpr double kHoldBeforeSleep = 2.0;
constexpr auto kWakePollSoon = 5s;
constexpr auto kWakePollLater = 15s;
constexpr double kIntervalSlack = 0.4;
// Below these the battery is idle: nothing worth smoothing or showing.
constexpr int kMinUsableMilliamps = 25;
constexpr double kIdleBatteryWatts = 0.05;
constexpr double kMinCurrentBasedWatts = 0.08;
constexpr double kMinShownChargeWatts = 0.2;
constexpr double kChargeWattsStep = 0.35;
constexpr double kPackageWattsStep = 0.05;
constexpr double kShareStep = 0.02;

const QString kDash = QStringLiteral("—");
const QString kOnACPower = QStringLiteral("On AC power");

template <typename T>
bool assign(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

PowerStore::PowerStore(const Clock &clock, SnapshotSource &snapshots, IOReportPowerReader *socReader,
                       const SystemInfo &systemInfo, const PowerModeMonitor &powerMode, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_snapshots(snapshots)
    , m_powerMode(powerMode)
    , m_readings(socReader, systemInfo)
    , m_wakePollSoon(this)
    , m_wakePollLater(this)
{
    m_wakePollSoon.setObjectName(QStringLiteral("pendrapro.power.wakePollSoon"));
    m_wakePollLater.setObjectName(QStringLiteral("pendrapro.power.wakePollLater"));
    for (auto [timer, delay] : {std::pair{&m_wakePollSoon, kWakePollSoon}, std::pair{&m_wakePollLater, kWakePollLater}}) {
        timer->setSingleShot(true);
        timer->setInterval(delay);
        connect(timer, &QTimer::timeout, this, &PowerStore::poll);
    }
}

PowerStore::~PowerStore() = default;

// ---- Getters -------------------------------------------------------------

bool PowerStore::batteryPresent() const { return m_batteryPresent; }
int PowerStore::levelPercent() const { return m_levelPercent; }
bool PowerStore::isCharging() const { return m_isCharging; }
bool PowerStore::isOnAC() const { return m_isOnAC; }
double PowerStore::chargeWatts() const { return m_chargeWatts; }
double PowerStore::packageWatts() const { return m_packageWatts; }
QString PowerStore::packageSource() const { return m_packageSource; }
double PowerStore::cpuDomainWatts() const { return m_domainWatts.cpuWatts; }
double PowerStore::gpuDomainWatts() const { return m_domainWatts.gpuWatts; }
double PowerStore::aneDomainWatts() const { return m_domainWatts.aneWatts; }
double PowerStore::dramDomainWatts() const { return m_domainWatts.dramWatts; }
double PowerStore::otherDomainWatts() const { return m_domainWatts.otherWatts; }
bool PowerStore::hasPowerDistribution() const { return m_hasPowerDistribution; }
QString PowerStore::batterySourcesUsed() const { return m_batterySourcesUsed; }
QString PowerStore::timeEstimateSource() const { return m_timeEstimateSource; }
double PowerStore::pCoreShare() const { return m_coreShares.performance; }
double PowerStore::eCoreShare() const { return m_coreShares.efficiency; }
std::optional<int> PowerStore::cycleCount() const { return m_cycleCount; }
std::optional<int> PowerStore::healthPercent() const { return m_healthPercent; }
std::optional<int> PowerStore::capacityRaw() const { return m_capacityRaw; }
std::optional<int> PowerStore::designCapacity() const { return m_designCapacity; }
const QList<BatteryPack> &PowerStore::batteryPacks() const { return m_batteryPacks; }
QString PowerStore::timeText() const { return m_timeText; }
QString PowerStore::statusText() const { return m_statusText; }
std::optional<int> PowerStore::remainingMinutes() const { return m_remainingMinutes; }
bool PowerStore::minutesIsLiveEstimate() const { return m_minutesIsLiveEstimate; }
const QList<double> &PowerStore::wattHistory() const { return m_wattHistory; }
const QList<double> &PowerStore::wattHistorySpark() const { return m_wattHistorySpark; }
bool PowerStore::fastMode() const { return m_fastMode; }
bool PowerStore::pollInFlight() const { return m_pollInFlight.load(); }

void PowerStore::setPowerLogSink(PowerLogSink *sink) { m_powerLogSink = sink; }
void PowerStore::setDrainObserver(DrainObserver *observer) { m_drainObserver = observer; }

// ---- Timer ---------------------------------------------------------------

double PowerStore::currentInterval() const
{
    return pollInterval({m_fastMode, m_batteryPresent, m_isOnAC, m_isCharging, m_levelPercent,
                         m_powerMode.isLowPowerModeEnabled()});
}

double PowerStore::timerInterval() const { return m_timerInterval; }

// The timer runs on the work queue: a tick there does the reads at once and
// wakes the main thread only with the result, where a main-thread timer would
// wake it twice per poll. A tick that finds a poll in flight is dropped.
void PowerStore::restartTimer(double interval)
{
    m_timerInterval = interval;
    const auto period = std::chrono::milliseconds(std::llround(interval * 1000.0));
    const auto tolerance = std::min<std::chrono::milliseconds>(period / 4, 1500ms);
    m_workQ.repeat(period, tolerance, [this, self = QPointer<PowerStore>(this), fast = m_fastMode] {
        if (!m_pollInFlight.exchange(true))
            readAndHandBack(self, fast);
    });
}

void PowerStore::start()
{
    restartTimer(currentInterval());
    poll();
}

void PowerStore::setFastMode(bool fast)
{
    if (!assign(m_fastMode, fast))
        return;
    restartTimer(currentInterval());
}

// ---- Poll cycle ----------------------------------------------------------

void PowerStore::poll()
{
    if (m_pollInFlight.exchange(true))
        return;
    m_workQ.post([this, self = QPointer<PowerStore>(this), fast = m_fastMode] { readAndHandBack(self, fast); });
}

void PowerStore::readAndHandBack(const QPointer<PowerStore> &self, bool fast)
{
    const double now = m_clock.now();
    const bool crossCheck = m_lastShellCrossCheck == 0 || now - m_lastShellCrossCheck >= kShellCrossCheckEvery;
    const bool sharesDue = fast || now - m_lastCoreShareRead >= kCoreSharesEvery;
    const BatSnap snapshot = m_snapshots.readSnapshot(crossCheck);
    const PackageReading package = m_readings.readPackagePower();
    // Shares not read this poll are not published, so none are taken.
    const CoreShares shares = sharesDue ? m_readings.readCoreShares() : CoreShares{};
    const double done = m_clock.now();
    if (crossCheck)
        m_lastShellCrossCheck = done;
    if (sharesDue)
        m_lastCoreShareRead = done;

    // One hop back per poll: every event posted to the main thread wakes it.
    postToMain(self, [=](PowerStore *store) {
        store->publish(snapshot, package, sharesDue, shares);
        store->m_pollInFlight = false;
    });
}

void PowerStore::publish(const BatSnap &snapshot, const PackageReading &package, bool sharesRead,
                         const CoreShares &shares)
{
    const double now = m_clock.now();
    applyBattery(snapshot);
    publishPackage(package);
    publishDomains(package);
    if (sharesRead)
        publishShares(shares);
    recordHistory(now);

    if (now - m_lastDrainLog >= kDrainLogEvery) {
        m_lastDrainLog = now;
        if (m_powerLogSink)
            m_powerLogSink->logPower(m_levelPercent, m_packageWatts, m_chargeWatts, m_isCharging);
    }
    if (m_drainObserver)
        m_drainObserver->observe(m_levelPercent, m_batteryPresent && !m_isOnAC && !m_isCharging);

    const double interval = currentInterval();
    if (std::abs(interval - timerInterval()) > kIntervalSlack)
        restartTimer(interval);
    emit published();
}

void PowerStore::publishPackage(const PackageReading &package)
{
    if (package.watts <= 0)
        return;
    const double smoothed = smoothPackageWatts(m_packageEma, package.watts);
    m_packageEma = smoothed;
    const double rounded = roundHalfAway(smoothed * 10.0) / 10.0;
    if (std::abs(rounded - m_packageWatts) >= kPackageWattsStep || package.source != m_packageSource)
        setPackage(smoothed, package.source);
}

void PowerStore::publishDomains(const PackageReading &package)
{
    if (!package.sample) {
        // The domain fields keep their last values; only the flag says they are stale.
        if (package.source == QLatin1String("estimate"))
            setHasPowerDistribution(false);
        return;
    }
    const SocPowerSample &fresh = *package.sample;
    const SocPowerSample next{
        smoothDomainWatts(m_domainWatts.cpuWatts, fresh.cpuWatts),
        smoothDomainWatts(m_domainWatts.gpuWatts, fresh.gpuWatts),
        smoothDomainWatts(m_domainWatts.aneWatts, fresh.aneWatts),
        smoothDomainWatts(m_domainWatts.dramWatts, fresh.dramWatts),
        smoothDomainWatts(m_domainWatts.otherWatts, fresh.otherWatts),
    };
    if (assign(m_domainWatts, next))
        emit domainWattsChanged();
    setHasPowerDistribution(fresh.cpuWatts > 0 || fresh.gpuWatts > 0 || fresh.aneWatts > 0
                            || fresh.dramWatts > 0 || fresh.otherWatts > 0);
}

void PowerStore::publishShares(const CoreShares &shares)
{
    bool changed = false;
    if (std::abs(shares.performance - m_coreShares.performance) > kShareStep) {
        m_coreShares.performance = shares.performance;
        changed = true;
    }
    if (std::abs(shares.efficiency - m_coreShares.efficiency) > kShareStep) {
        m_coreShares.efficiency = shares.efficiency;
        changed = true;
    }
    if (changed)
        emit coreSharesChanged();
}

void PowerStore::recordHistory(double now)
{
    m_wattRing.push(m_packageWatts);
    if (!m_fastMode && now - m_lastPublishedSpark < kSparkEvery && m_wattRing.filled() >= kSparkAlwaysBelow)
        return;
    m_lastPublishedSpark = now;
    QList<double> history = m_wattRing.history();
    QList<double> spark = sparkSamples(history);
    if (history == m_wattHistory && spark == m_wattHistorySpark)
        return;
    m_wattHistory = std::move(history);
    m_wattHistorySpark = std::move(spark);
    emit wattHistoryChanged();
}

// ---- Battery state -------------------------------------------------------

void PowerStore::applyBattery(const BatSnap &snapshot)
{
    const double now = m_clock.now();
    setBatteryPresent(snapshot.present);

    const QString modeKey = powerModeKey(snapshot.charging, snapshot.onAC, snapshot.present);
    if (modeKey != m_lastPowerModeKey) {
        m_lastPowerModeKey = modeKey;
        resetModeState();
    }
    if (packsChanged(snapshot)) {
        // The level jumps to another battery's: take it at once, and keep
        // the drain history from reading the jump as energy used.
        resetModeState();
        if (m_powerLogSink)
            m_powerLogSink->logPackChange();
        if (m_drainObserver)
            m_drainObserver->packsChanged();
    }

    setLevelPercent(m_level.apply(snapshot.level));
    setIsCharging(snapshot.charging);
    setIsOnAC(snapshot.onAC);
    setBatterySourcesUsed(snapshot.sourcesLabel.isEmpty() ? kDash : snapshot.sourcesLabel);

    const bool heldOnAC = snapshot.onAC && !snapshot.charging;
    if (snapshot.amperageMA && std::abs(*snapshot.amperageMA) >= kMinUsableMilliamps)
        m_amperage.add(*snapshot.amperageMA);
    else if (heldOnAC)
        m_amperage.clear();

    const double batteryWatts = smoothBatteryPower(snapshot);
    setBatteryDetails(snapshot);
    updateMinutes(snapshot, now);

    if (!snapshot.present) {
        setStatusText(QStringLiteral("No battery"));
        setTimeText(QStringLiteral("Desktop / AC"));
        setRemainingMinutes(std::nullopt);
        setMinutesIsLiveEstimate(false);
        resetTimeState();
        m_amperage.clear();
        m_stickyChargeW = 0;
        return;
    }

    const double displayWatts = applyDisplayPower(batteryWatts);
    const QString status = PowerStoreRules::statusText(snapshot.charging, snapshot.onAC, m_level.shown(), displayWatts);
    if (heldOnAC) {
        setRemainingMinutes(std::nullopt);
        setMinutesIsLiveEstimate(false);
        resetTimeState();
        m_amperage.clear();
        m_stickyChargeW = 0;
    }

    QString time;
    if (heldOnAC)
        time = kOnACPower;
    else if (now >= m_minutesHoldUntil && m_remainingMinutes.value_or(0) > 0)
        time = PowerStoreRules::timeText(snapshot.charging, *m_remainingMinutes);
    else
        time = m_lastPublishedTimeText.isEmpty() ? QStringLiteral("Calculating…") : m_lastPublishedTimeText;

    publishTimeText(time, now);
    publishStatusText(status, now);
}

void PowerStore::resetModeState()
{
    resetTimeState();
    // Minutes of the old mode (to full) mean nothing in the new one (to empty).
    setRemainingMinutes(std::nullopt);
    m_amperage.clear();
    m_level.reset();
    m_stickyChargeW = 0;
    m_lastPublishedStatus.clear();
}

bool PowerStore::packsChanged(const BatSnap &snapshot)
{
    // Counted, not named: sources name the packs differently, and a pack
    // swapped for another keeps its bay's name anyway.
    const qsizetype count = std::max<qsizetype>(snapshot.packs.size(), 1);
    const bool changed = m_lastPackCount && *m_lastPackCount != count;
    m_lastPackCount = count;
    return changed;
}

void PowerStore::resetTimeState()
{
    m_minutes.reset();
    m_lastTimePublishAt = 0;
    m_lastPublishedTimeText.clear();
    m_lastDisplayedMinutes = -1;
}

double PowerStore::smoothBatteryPower(const BatSnap &snapshot)
{
    double watts = snapshot.chargeW;
    // The smoothed current is steadier than the gauge's own power figure.
    if (m_amperage.value() && snapshot.voltageMV && *snapshot.voltageMV > 0) {
        const double fromCurrent = std::abs(*m_amperage.value()) / 1000.0 * *snapshot.voltageMV / 1000.0;
        if (fromCurrent > kMinCurrentBasedWatts)
            watts = fromCurrent;
    }
    if (watts <= kIdleBatteryWatts) {
        m_chargeEma.reset();
        return 0;
    }
    if (m_chargeEma)
        watts = watts * 0.08 + *m_chargeEma * 0.92;
    m_chargeEma = watts;
    return watts;
}

double PowerStore::applyDisplayPower(double watts)
{
    if (watts <= kIdleBatteryWatts) {
        // Fades out instead of dropping to zero on one idle reading.
        m_stickyChargeW *= 0.7;
        if (m_stickyChargeW < 0.15)
            m_stickyChargeW = 0;
    } else {
        m_stickyChargeW = m_stickyChargeW <= 0.01 ? watts : watts * 0.12 + m_stickyChargeW * 0.88;
    }
    const double shown = m_stickyChargeW > kMinShownChargeWatts ? m_stickyChargeW : 0;
    if (std::abs(shown - m_chargeWatts) >= kChargeWattsStep || (shown == 0 && m_chargeWatts != 0))
        setChargeWatts(shown);
    return shown;
}

void PowerStore::updateMinutes(const BatSnap &snapshot, double now)
{
    const bool holding = now < m_minutesHoldUntil;
    if (holding || (snapshot.onAC && !snapshot.charging)) {
        setTimeEstimateSource(holding || !m_remainingMinutes ? kDash : QStringLiteral("System"));
        return;
    }

    std::optional<int> candidate;
    if (snapshot.minutes && !snapshot.minutesIsLiveEstimate
        && isPlausibleMinutes(*snapshot.minutes, snapshot.onAC, snapshot.charging))
        candidate = snapshot.minutes;
    else if (m_remainingMinutes && isPlausibleMinutes(*m_remainingMinutes, snapshot.onAC, snapshot.charging))
        candidate = m_remainingMinutes;
    if (!candidate) {
        setTimeEstimateSource(kDash);
        return;
    }

    setRemainingMinutes(m_minutes.add(*candidate, m_remainingMinutes.value_or(-1)));
    setTimeEstimateSource(QStringLiteral("System"));
    setMinutesIsLiveEstimate(false);
}

void PowerStore::publishTimeText(const QString &text, double now)
{
    const int minutes = m_remainingMinutes.value_or(-1);
    const bool bucketChanged = timeBucketChanged(m_lastDisplayedMinutes, minutes);
    const bool due = text == kOnACPower || m_lastPublishedTimeText.isEmpty()
        || (text != m_lastPublishedTimeText && bucketChanged && now - m_lastTimePublishAt >= kTimeTextThrottle)
        || (bucketChanged && m_lastDisplayedMinutes == -1);
    if (!due)
        return;
    setTimeText(text);
    m_lastTimePublishAt = now;
    m_lastPublishedTimeText = text;
    m_lastDisplayedMinutes = minutes;
}

void PowerStore::publishStatusText(const QString &text, double now)
{
    if (text == m_statusText)
        return;
    const bool due = m_lastPublishedStatus.isEmpty() || statusKind(m_lastPublishedStatus) != statusKind(text)
        || now - m_lastStatusPublishAt >= kStatusThrottle;
    if (!due)
        return;
    setStatusText(text);
    m_lastStatusPublishAt = now;
    m_lastPublishedStatus = text;
}

// ---- Transitions ---------------------------------------------------------

void PowerStore::noteTransition(bool waking)
{
    const double now = m_clock.now();
    if (!waking) {
        m_minutesHoldUntil = now + kHoldBeforeSleep;
        return;
    }
    m_minutesHoldUntil = now + kHoldAfterWake;
    m_amperage.clear();
    m_minutes.forgetSamples();
    m_level.forgetCandidate();
    m_stickyChargeW = 0;
    m_wakePollSoon.start();
    m_wakePollLater.start();
}

// ---- Setters: emit only on a real change --------------------------------

void PowerStore::setBatteryPresent(bool value)
{
    if (assign(m_batteryPresent, value))
        emit batteryPresentChanged();
}

void PowerStore::setLevelPercent(int value)
{
    if (assign(m_levelPercent, value))
        emit levelPercentChanged();
}

void PowerStore::setIsCharging(bool value)
{
    if (assign(m_isCharging, value))
        emit isChargingChanged();
}

void PowerStore::setIsOnAC(bool value)
{
    if (assign(m_isOnAC, value))
        emit isOnACChanged();
}

void PowerStore::setChargeWatts(double value)
{
    if (assign(m_chargeWatts, value))
        emit chargeWattsChanged();
}

void PowerStore::setPackage(double watts, const QString &source)
{
    if (assign(m_packageWatts, watts))
        emit packageWattsChanged();
    if (assign(m_packageSource, source))
        emit packageSourceChanged();
}

void PowerStore::setHasPowerDistribution(bool value)
{
    if (assign(m_hasPowerDistribution, value))
        emit hasPowerDistributionChanged();
}

void PowerStore::setBatterySourcesUsed(const QString &value)
{
    if (assign(m_batterySourcesUsed, value))
        emit batterySourcesUsedChanged();
}

void PowerStore::setTimeEstimateSource(const QString &value)
{
    if (assign(m_timeEstimateSource, value))
        emit timeEstimateSourceChanged();
}

void PowerStore::setBatteryDetails(const BatSnap &snapshot)
{
    bool changed = assign(m_cycleCount, snapshot.cycles);
    changed |= assign(m_healthPercent, snapshot.health);
    changed |= assign(m_capacityRaw, snapshot.rawMax);
    changed |= assign(m_designCapacity, snapshot.design);
    changed |= assign(m_batteryPacks, snapshot.packs);
    if (changed)
        emit batteryDetailsChanged();
}

void PowerStore::setTimeText(const QString &value)
{
    if (assign(m_timeText, value))
        emit timeTextChanged();
}

void PowerStore::setStatusText(const QString &value)
{
    if (assign(m_statusText, value))
        emit statusTextChanged();
}

void PowerStore::setRemainingMinutes(std::optional<int> value)
{
    if (assign(m_remainingMinutes, value))
        emit remainingMinutesChanged();
}

void PowerStore::setMinutesIsLiveEstimate(bool value)
{
    if (assign(m_minutesIsLiveEstimate, value))
        emit minutesIsLiveEstimateChanged();
}
