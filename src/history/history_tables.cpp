#include "history/history_tables.h"

#include "history/health_trend.h"
#include "platform/format.h"

#include <QJsonArray>
#include <QStringList>

#include <algorithm>

namespace HistoryTables {

namespace {

const QString kDayFormat = QStringLiteral("yyyy-MM-dd");

// A name with a comma, a quote or a line break is quoted, quotes doubled.
// Process names are chosen by whoever starts the process: one that a
// spreadsheet would take for a formula gets a leading apostrophe.
QString csvField(QString value)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!value.isEmpty() && formulaStarts.contains(value.front()))
        value.prepend(QLatin1Char('\''));
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\n'))
        && !value.contains(QLatin1Char('\r')))
        return value;
    QString quoted = std::move(value);
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString cyclesText(const std::optional<int> &cycles)
{
    return cycles ? QString::number(*cycles) : QString();
}

} // namespace

QString wattHoursText(double wattHours)
{
    return formatPrintf(wattHours < 1 ? "%.2f Wh" : "%.1f Wh", wattHours);
}

double share(double wattHours, double batteryWattHours)
{
    return batteryWattHours > 0 ? std::clamp(wattHours / batteryWattHours, 0.0, 1.0) : 0.0;
}

QString shareText(double wattHours, double batteryWattHours)
{
    if (batteryWattHours <= 0)
        return QStringLiteral("—");
    return formatPrintf("%lld%%", roundHalfAway(share(wattHours, batteryWattHours) * 100));
}

QString appsCsv(const AppEnergyReport &report)
{
    QStringList lines{QStringLiteral("app,wh,share_percent,cpu_seconds")};
    for (const AppEnergyTotal &app : report.apps) {
        const QString sharePercent = report.batteryWattHours > 0
            ? formatPrintf("%.1f", share(app.wattHours, report.batteryWattHours) * 100)
            : QString();
        lines << csvField(app.app) + formatPrintf(",%.4f,", app.wattHours) + sharePercent
                + formatPrintf(",%.1f", app.cpuSeconds);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString healthCsv(const QList<HealthPoint> &points)
{
    QStringList lines{QStringLiteral("day,health_percent,cycles")};
    for (const HealthPoint &point : points)
        lines << point.day.toString(kDayFormat) + formatPrintf(",%.2f,", point.healthPercent) + cyclesText(point.cycles);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString csv(const AppEnergyReport &report, const QList<HealthPoint> &points)
{
    return appsCsv(report) + QLatin1Char('\n') + healthCsv(points);
}

QString text(const AppEnergyReport &report, const QList<HealthPoint> &points)
{
    QStringList lines{QStringLiteral("Apps on battery") + formatPrintf(" (battery energy %.1f Wh)", report.batteryWattHours)};
    if (report.apps.isEmpty())
        lines << QStringLiteral("  none recorded");
    for (const AppEnergyTotal &app : report.apps) {
        lines << QStringLiteral("  ") + app.app.leftJustified(28, QLatin1Char(' '), true)
                + wattHoursText(app.wattHours).rightJustified(10) + shareText(app.wattHours, report.batteryWattHours).rightJustified(6)
                + formatPrintf("  %.0f s CPU", app.cpuSeconds);
    }
    lines << QString() << QStringLiteral("Battery health");
    if (points.isEmpty())
        lines << QStringLiteral("  none recorded");
    for (const HealthPoint &point : points) {
        lines << QStringLiteral("  ") + point.day.toString(kDayFormat) + formatPrintf("  %6.2f%%", point.healthPercent)
                + (point.cycles ? formatPrintf("  %d cycles", *point.cycles) : QString());
    }
    if (const std::optional<QString> trend = healthTrendText(points))
        lines << QStringLiteral("  trend: ") + *trend;
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QJsonObject json(const AppEnergyReport &report, const QList<HealthPoint> &points)
{
    QJsonArray apps;
    for (const AppEnergyTotal &app : report.apps)
        apps.append(QJsonObject{{QStringLiteral("app"), app.app},
                                {QStringLiteral("wh"), app.wattHours},
                                {QStringLiteral("cpuSeconds"), app.cpuSeconds}});
    QJsonArray health;
    for (const HealthPoint &point : points) {
        QJsonObject day{{QStringLiteral("day"), point.day.toString(kDayFormat)},
                        {QStringLiteral("healthPercent"), point.healthPercent}};
        if (point.cycles)
            day.insert(QStringLiteral("cycles"), *point.cycles);
        health.append(day);
    }
    QJsonObject object{{QStringLiteral("apps"), apps},
                       {QStringLiteral("batteryWh"), report.batteryWattHours},
                       {QStringLiteral("health"), health}};
    if (const std::optional<double> slope = healthSlopePerCycle(points); slope && points.size() >= kTrendMinimumDays)
        object.insert(QStringLiteral("healthPercentPer100Cycles"), *slope * 100);
    return object;
}

} // namespace HistoryTables
