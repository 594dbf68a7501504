#include "history/health_trend.h"

#include "platform/format.h"

#include <cmath>

std::optional<double> healthSlopePerCycle(const QList<HealthPoint> &points)
{
    double n = 0, sumX = 0, sumY = 0, sumXX = 0, sumXY = 0;
    for (const HealthPoint &point : points) {
        if (!point.cycles)
            continue;
        const double x = *point.cycles;
        n += 1;
        sumX += x;
        sumY += point.healthPercent;
        sumXX += x * x;
        sumXY += x * point.healthPercent;
    }
    const double spread = n * sumXX - sumX * sumX;
    // Relative to the sums, so large cycle counts do not hide a real spread.
    if (n < 2 || spread <= 1e-9 * std::max(1.0, sumXX))
        return std::nullopt;
    return (n * sumXY - sumX * sumY) / spread;
}

std::optional<QString> healthTrendText(const QList<HealthPoint> &points)
{
    if (points.size() < kTrendMinimumDays)
        return std::nullopt;
    const std::optional<double> slope = healthSlopePerCycle(points);
    if (!slope)
        return std::nullopt;
    const double per100 = *slope * 100;
    const QString magnitude = formatPrintf("%.1f", std::fabs(per100));
    const bool zero = magnitude == QStringLiteral("0.0");
    const QString sign = zero ? QString() : per100 < 0 ? QStringLiteral("\u2212") : QStringLiteral("+");
    return QStringLiteral("about ") + sign + magnitude + QStringLiteral(" % per 100 cycles");
}
