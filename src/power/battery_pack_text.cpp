#include "power/battery_pack_text.h"

#include <QStringList>

QString batteryPackSummary(const BatteryPack &pack)
{
    QStringList parts;
    if (pack.level)
        parts << QString::number(*pack.level) + QLatin1Char('%');
    if (pack.health)
        parts << QStringLiteral("health %1%").arg(*pack.health);
    if (pack.cycles)
        parts << QStringLiteral("%1 cycles").arg(*pack.cycles);
    return parts.isEmpty() ? QStringLiteral("—") : parts.join(QStringLiteral(" · "));
}
