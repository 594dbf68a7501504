#include "charge/charge_limit_controller.h"

#include "charge/charge_inputs.h"
#include "platform/defaults.h"
#include "platform/format.h"
#include "power/power_store.h"

#include <algorithm>

namespace {

const QString kEnabledKey = QStringLiteral("pendrapro.chargeLimit.enabled");
const QString kPercentKey = QStringLiteral("pendrapro.chargeLimit.percent");
const QString kForceFullKey = QStringLiteral("pendrapro.chargeLimit.forceFull");
const QString kDischargeKey = QStringLiteral("pendrapro.chargeLimit.discharge");

constexpr int kMinLimit = 50;
constexpr int kMaxLimit = 100;
constexpr int kDefaultLimit = 80;
const QString kBackendAvailable = QStringLiteral("Battery charge_behaviour");
const QString kBackendUnavailable = QStringLiteral("Unavailable");

int clampedLimit(long long percent)
{
    return int(std::clamp<long long>(percent, kMinLimit, kMaxLimit));
}

QString statusLineOf(ChargeLimitStatus status, int limitPercent)
{
    switch (status) {
    case ChargeLimitStatus::off:
        return QStringLiteral("Automatic");
    case ChargeLimitStatus::onBattery:
        return QStringLiteral("Charger not connected");
    case ChargeLimitStatus::chargingToLimit:
        return QStringLiteral("Charging to %1%").arg(limitPercent);
    case ChargeLimitStatus::holding:
        return QStringLiteral("Inhibiting charging · %1%").arg(limitPercent);
    case ChargeLimitStatus::chargeToFull:
        return QStringLiteral("Charging to 100%");
    case ChargeLimitStatus::discharging:
        return QStringLiteral("Discharging");
    case ChargeLimitStatus::unsupported:
        break;
    }
    return QStringLiteral("Charge control unavailable");
}

} // namespace

QString chargeStatusLine(ChargeLimitStatus status, int limitPercent, bool desktopCanHoldLimit)
{
    const QString line = statusLineOf(status, limitPercent);
    return desktopCanHoldLimit ? line + QStringLiteral(" · the desktop can hold a limit too") : line;
}

ChargeLimitController::ChargeLimitController(const PowerStore &store, ChargeSMC &smc, Defaults &defaults,
                                             ChargeThresholds *thresholds, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_smc(smc)
    , m_defaults(defaults)
    , m_isEnabled(defaults.boolValue(kEnabledKey).value_or(true))
    , m_limitPercent(clampedLimit(defaults.intValue(kPercentKey).value_or(kDefaultLimit)))
    , m_forceFullCharge(defaults.boolValue(kForceFullKey).value_or(false))
    , m_forceDischarge(defaults.boolValue(kDischargeKey).value_or(false))
    , m_detail(QStringLiteral("Manage charging: hold a limit, charge to full, or discharge on AC."))
    , m_backendName(smc.isAvailable() ? kBackendAvailable : kBackendUnavailable)
    , m_modeDescription(QStringLiteral("Automatic"))
    , m_statusLine(chargeStatusLine(m_status, int(m_limitPercent)))
{
    if (thresholds)
        m_firmware.emplace(*thresholds, defaults);
}

void ChargeLimitController::setEnabled(bool enabled)
{
    if (m_isEnabled != enabled) {
        m_isEnabled = enabled;
        emit isEnabledChanged();
    }
    m_defaults.setBool(kEnabledKey, enabled);
    if (!enabled) {
        setForceFullCharge(false);
        setForceDischarge(false);
    }
    tick();
}

void ChargeLimitController::setLimitPercent(double percent)
{
    const int limit = clampedLimit(roundHalfAwayInt(percent));
    if (m_limitPercent != limit) {
        m_limitPercent = limit;
        emit limitPercentChanged();
        refreshStatusLine();
        if (m_firmware)
            m_firmware->limitChanged();
    }
    m_defaults.setInt(kPercentKey, limit);
    tick();
}

void ChargeLimitController::setForceFullCharge(bool on)
{
    if (m_forceFullCharge != on) {
        m_forceFullCharge = on;
        emit forceFullChargeChanged();
    }
    m_defaults.setBool(kForceFullKey, on);
    if (on)
        setForceDischarge(false);
    tick();
}

void ChargeLimitController::setForceDischarge(bool on)
{
    if (m_forceDischarge != on) {
        m_forceDischarge = on;
        emit forceDischargeChanged();
    }
    m_defaults.setBool(kDischargeKey, on);
    if (on)
        setForceFullCharge(false);
    tick();
}

void ChargeLimitController::start()
{
    // Every input of a tick other than the settings is the store's published
    // state, so ticking between its publishes would decide the same again;
    // following them saves a wakeup of its own every 3 s.
    connect(&m_store, &PowerStore::published, this, &ChargeLimitController::tick, Qt::UniqueConnection);
    tick();
}

void ChargeLimitController::tick()
{
    keepFirmwareLimit();
    if (!m_smc.isAvailable()) {
        setStatus(ChargeLimitStatus::unsupported);
        setModeDescription(QStringLiteral("Automatic"));
        setDetail(withFirmwareProblem(
            QStringLiteral("Charge control not available: this battery's driver offers no charge_behaviour.")));
        setBackendName(kBackendUnavailable);
        refreshStatusLine();
        return;
    }
    setBackendName(kBackendAvailable);

    ChargeDecision decision = decideCharge(chargeInputsFrom(m_store), settings(), m_appliedMode);
    if (decision.endsForceFullCharge) {
        // Its handler stores the setting and runs a nested tick first.
        setForceFullCharge(false);
        decision = decideCharge(chargeInputsFrom(m_store), settings(), m_appliedMode);
    }
    follow(decision);
    refreshStatusLine();
}

void ChargeLimitController::stopOverride()
{
    setForceFullCharge(false);
    setForceDischarge(false);
    tick();
}

void ChargeLimitController::turnOff()
{
    setEnabled(false);
    setForceFullCharge(false);
    setForceDischarge(false);
    // Written even when automatic was the last mode applied, in case the
    // charger was changed behind our back. A failed write is not taken as
    // applied, so the next tick tries again.
    m_appliedMode.reset();
    applyMode(ChargeSMCMode::automatic);
    setStatus(ChargeLimitStatus::off);
    setModeDescription(QStringLiteral("Automatic"));
    setDetail(QStringLiteral("Charge management off — the system controls charging."));
}

ChargeSettings ChargeLimitController::settings() const
{
    return {m_isEnabled, int(m_limitPercent), m_forceFullCharge, m_forceDischarge};
}

void ChargeLimitController::follow(const ChargeDecision &decision)
{
    if (decision.mode && !applyMode(*decision.mode) && *decision.mode != ChargeSMCMode::automatic) {
        // The charger is back to automatic and the failure is shown instead
        // of a mode that is not in effect.
        setModeDescription(QStringLiteral("Automatic"));
        return;
    }
    setStatus(decision.status);
    if (decision.modeDescription)
        setModeDescription(*decision.modeDescription);
    setDetail(withFirmwareProblem(decision.detail));
}

void ChargeLimitController::keepFirmwareLimit()
{
    if (!m_firmware)
        return;
    const int limit = int(m_limitPercent);
    if (!m_isEnabled)
        m_firmware->release(limit);
    else if (chargeInputsFrom(m_store).batteryPresent)
        // Charge to full needs the firmware out of the way until it is done.
        m_firmware->hold(m_forceFullCharge ? kMaxLimit : limit);
    refreshLastError();
}

QString ChargeLimitController::withFirmwareProblem(const QString &detail) const
{
    // A refused write shows in lastError only: the controller's own rules
    // still hold the limit, and their detail says how.
    if (m_firmware && m_firmware->yieldsToAnotherTool())
        return *m_firmware->problem();
    return detail;
}

void ChargeLimitController::refreshLastError()
{
    setLastError(m_smcError ? m_smcError : m_firmware ? m_firmware->problem() : std::nullopt);
}

bool ChargeLimitController::applyMode(ChargeSMCMode mode)
{
    if (m_appliedMode == mode)
        return true;
    if (m_smc.apply(mode)) {
        m_appliedMode = mode;
        m_smcError.reset();
        refreshLastError();
        return true;
    }
    m_smcError = m_smc.lastError();
    refreshLastError();
    if (mode == ChargeSMCMode::inhibit || mode == ChargeSMCMode::forceDischarge) {
        setStatus(ChargeLimitStatus::unsupported);
        setDetail(m_lastError.value_or(QStringLiteral("Charge mode not written — the driver may need write access.")));
    }
    return false;
}

void ChargeLimitController::setStatus(ChargeLimitStatus status)
{
    if (m_status == status)
        return;
    m_status = status;
    emit statusChanged();
    refreshStatusLine();
}

void ChargeLimitController::setDetail(const QString &detail)
{
    if (m_detail == detail)
        return;
    m_detail = detail;
    emit detailChanged();
}

void ChargeLimitController::setBackendName(const QString &name)
{
    if (m_backendName == name)
        return;
    m_backendName = name;
    emit backendNameChanged();
}

void ChargeLimitController::setLastError(const std::optional<QString> &error)
{
    if (m_lastError == error)
        return;
    m_lastError = error;
    emit lastErrorChanged();
}

void ChargeLimitController::setModeDescription(const QString &description)
{
    if (m_modeDescription == description)
        return;
    m_modeDescription = description;
    emit modeDescriptionChanged();
}

void ChargeLimitController::refreshStatusLine()
{
    const QString line = chargeStatusLine(m_status, int(m_limitPercent), m_firmware && m_firmware->desktopCanHoldLimit());
    if (m_statusLine == line)
        return;
    m_statusLine = line;
    emit statusLineChanged();
}
