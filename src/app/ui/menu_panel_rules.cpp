#include "app/ui/menu_panel_rules.h"

#include "app/ui/pendra_status_copy.h"
#include "platform/platform_texts.h"

#include <cmath>

namespace MenuPanelRules {

std::optional<double> roundedWattsUpdate(double shown, double reading)
{
    const double rounded = std::round(reading * 10) / 10;
    if (std::abs(shown - rounded) >= kWattsTolerance)
        return reading;
    return std::nullopt;
}

bool domainWattsMoved(double shown, double reading)
{
    return std::abs(shown - reading) >= kWattsTolerance;
}

QList<double> thinSpark(const QList<double> &spark)
{
    const qsizetype count = spark.size();
    const qsizetype step = count >= kSparkPoints ? count / kSparkPoints : 1;
    QList<double> thinned;
    thinned.reserve(count / step + 1);
    for (qsizetype i = 0; i < count; i += step)
        thinned.append(spark.at(i));
    return thinned;
}

bool sameSpark(const QList<double> &shown, const QList<double> &next)
{
    if (shown.size() != next.size())
        return false;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (std::abs(shown.at(i) - next.at(i)) > kSparkTolerance)
            return false;
    }
    return true;
}

QString sparkLabel(qsizetype historyCount)
{
    const qsizetype span = std::max<qsizetype>(historyCount, 1) * kSecondsPerHistorySample;
    if (span >= 3000)
        return PlatformTexts::onThisMachine(PendraStatusCopy::kMacPowerDraw) + QStringLiteral(" · last hour");
    if (span < 60)
        return PlatformTexts::onThisMachine(PendraStatusCopy::kMacPowerDraw);
    return PlatformTexts::onThisMachine(PendraStatusCopy::kMacPowerDraw) + QStringLiteral(" · last %1 min").arg(span / 60);
}

QString timeDetail(bool batteryPresent, bool charging, bool onAC, int levelPercent, const QString &timeText,
                   const QString &statusText)
{
    if (!batteryPresent)
        return QStringLiteral("AC power");
    if (charging)
        return timeText;
    if (onAC)
        return levelPercent > 99 ? QStringLiteral("Fully Charged") : statusText;
    return timeText;
}

QString powerSourceWord(bool batteryPresent, bool charging, bool onAC)
{
    if (!batteryPresent || charging || onAC)
        return QStringLiteral("Power Adapter");
    return QStringLiteral("Battery");
}

QList<ProcEnergy> topApps(const QList<ProcEnergy> &top)
{
    if (top.size() <= kTopAppCount)
        return top;
    return top.first(kTopAppCount);
}

bool sameTopApps(const QList<ProcEnergy> &shown, const QList<ProcEnergy> &next)
{
    if (shown.size() != next.size())
        return false;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown.at(i).id != next.at(i).id)
            return false;
        if (std::abs(shown.at(i).estimatedWatts - next.at(i).estimatedWatts) > kAppWattsTolerance)
            return false;
    }
    return true;
}

} // namespace MenuPanelRules
