#include "charge/charge_limit_status.h"

QString displayString(ChargeLimitStatus status)
{
    switch (status) {
    case ChargeLimitStatus::off:
        return QStringLiteral("Off");
    case ChargeLimitStatus::onBattery:
        return QStringLiteral("Charger not connected");
    case ChargeLimitStatus::chargingToLimit:
        return QStringLiteral("Charging");
    case ChargeLimitStatus::holding:
        return QStringLiteral("Inhibiting charging");
    case ChargeLimitStatus::chargeToFull:
        return QStringLiteral("Charging to 100%");
    case ChargeLimitStatus::discharging:
        return QStringLiteral("Discharging");
    case ChargeLimitStatus::unsupported:
        break;
    }
    return QStringLiteral("Control unavailable");
}
