#pragma once

#include "charge/charge_decision.h"
#include "charge/charge_limit_status.h"
#include "charge/charge_smc.h"
#include "charge/firmware_charge_limit.h"

#include <QObject>
#include <QString>

#include <optional>

class Defaults;
class PowerStore;

// Keeps the battery near the user's limit while on AC, with two temporary
// overrides (charge to full, discharge on AC). After each of the power
// store's publishes and after every setting change it reads the battery state, decides the charger mode and
// writes it through the SMC client only when it differs from the mode last
// applied. Where the battery's firmware takes charge thresholds, the limit
// is written there too, so it holds while the app is not running; the
// controller's own rules stay in force on top. Main thread only; setters may run a nested tick from inside a tick,
// which is safe because every step reads the current fields.
class ChargeLimitController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isEnabled READ isEnabled WRITE setEnabled NOTIFY isEnabledChanged)
    Q_PROPERTY(double limitPercent READ limitPercent WRITE setLimitPercent NOTIFY limitPercentChanged)
    Q_PROPERTY(bool forceFullCharge READ forceFullCharge WRITE setForceFullCharge NOTIFY forceFullChargeChanged)
    Q_PROPERTY(bool forceDischarge READ forceDischarge WRITE setForceDischarge NOTIFY forceDischargeChanged)
    Q_PROPERTY(ChargeLimitStatus status READ status NOTIFY statusChanged)
    Q_PROPERTY(QString detail READ detail NOTIFY detailChanged)
    Q_PROPERTY(QString backendName READ backendName NOTIFY backendNameChanged)
    Q_PROPERTY(std::optional<QString> lastError READ lastError NOTIFY lastErrorChanged)
    Q_PROPERTY(QString modeDescription READ modeDescription NOTIFY modeDescriptionChanged)
    Q_PROPERTY(QString statusLine READ statusLine NOTIFY statusLineChanged)

public:

    // Reads the settings; does not tick until `start` or a setting change.
    // `thresholds` is null where the firmware keeps no charge thresholds.
    ChargeLimitController(const PowerStore &store, ChargeSMC &smc, Defaults &defaults,
                          ChargeThresholds *thresholds = nullptr, QObject *parent = nullptr);

    bool isEnabled() const { return m_isEnabled; }
    double limitPercent() const { return m_limitPercent; } // whole number, 50–100
    bool forceFullCharge() const { return m_forceFullCharge; }
    bool forceDischarge() const { return m_forceDischarge; }
    ChargeLimitStatus status() const { return m_status; }
    const QString &detail() const { return m_detail; }
    const QString &backendName() const { return m_backendName; }
    const std::optional<QString> &lastError() const { return m_lastError; }
    const QString &modeDescription() const { return m_modeDescription; }
    // Compact form of the status, naming the limit where it matters, and
    // whether the desktop offers a limit of its own.
    const QString &statusLine() const { return m_statusLine; }

    // Each setter stores the setting and runs a tick, even when the value
    // did not change.
    void setEnabled(bool enabled);
    // Rounded half away from zero and clamped to 50–100.
    void setLimitPercent(double percent);
    void setForceFullCharge(bool on); // switches forceDischarge off
    void setForceDischarge(bool on); // switches forceFullCharge off

    // Ticks at once and after each of the store's publishes from then on.
    void start();
    void tick();
    // Ends both overrides.
    void stopOverride();
    // Switches management off and hands the charger back to the system.
    void turnOff();

signals:
    void isEnabledChanged();
    void limitPercentChanged();
    void forceFullChargeChanged();
    void forceDischargeChanged();
    void statusChanged();
    void detailChanged();
    void backendNameChanged();
    void lastErrorChanged();
    void modeDescriptionChanged();
    void statusLineChanged();

private:
    ChargeSettings settings() const;
    void follow(const ChargeDecision &decision);
    void keepFirmwareLimit();
    // Another tool's threshold, which outweighs the decision's detail.
    QString withFirmwareProblem(const QString &detail) const;
    // The SMC's failure, else the firmware limit's problem.
    void refreshLastError();
    // Whether `mode` is in effect afterwards.
    bool applyMode(ChargeSMCMode mode);

    void setStatus(ChargeLimitStatus status);
    void setDetail(const QString &detail);
    void setBackendName(const QString &name);
    void setLastError(const std::optional<QString> &error);
    void setModeDescription(const QString &description);
    void refreshStatusLine();

    const PowerStore &m_store;
    ChargeSMC &m_smc;
    Defaults &m_defaults;

    bool m_isEnabled = true;
    double m_limitPercent = 80;
    bool m_forceFullCharge = false;
    bool m_forceDischarge = false;
    ChargeLimitStatus m_status = ChargeLimitStatus::off;
    QString m_detail;
    QString m_backendName;
    std::optional<QString> m_lastError;
    std::optional<QString> m_smcError;
    QString m_modeDescription;
    QString m_statusLine;
    std::optional<ChargeSMCMode> m_appliedMode; // none until the first successful write
    std::optional<FirmwareChargeLimit> m_firmware;
};

// The compact status text for a status and a whole-number limit, noting when
// the desktop can hold a limit too.
QString chargeStatusLine(ChargeLimitStatus status, int limitPercent, bool desktopCanHoldLimit = false);
