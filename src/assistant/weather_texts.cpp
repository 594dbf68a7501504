#include "assistant/weather_texts.h"

#include "platform/format.h"

#include <QStringList>

QString weatherCondition(std::optional<int> code)
{
    switch (code.value_or(-1)) {
    case 0:
        return QStringLiteral("Clear");
    case 1:
    case 2:
        return QStringLiteral("Partly cloudy");
    case 3:
        return QStringLiteral("Overcast");
    case 45:
    case 48:
        return QStringLiteral("Fog");
    case 51:
    case 53:
    case 55:
        return QStringLiteral("Drizzle");
    case 61:
    case 63:
    case 65:
        return QStringLiteral("Rain");
    case 71:
    case 73:
    case 75:
    case 77:
        return QStringLiteral("Snow");
    case 80:
    case 81:
    case 82:
        return QStringLiteral("Showers");
    case 95:
    case 96:
    case 99:
        return QStringLiteral("Thunderstorm");
    default:
        return QStringLiteral("Local weather");
    }
}

QString weatherSummary(const WeatherReading &reading)
{
    const QString condition = weatherCondition(reading.code);
    if (!reading.tempC)
        return condition;
    return formatPrintf("%.0f°C · %s", *reading.tempC, condition.toUtf8().constData());
}

QString weatherDetail(const WeatherReading &reading)
{
    QStringList parts;
    if (reading.humidity)
        parts << QStringLiteral("Humidity %1%").arg(*reading.humidity);
    if (reading.windKmh)
        parts << formatPrintf("Wind %.0f km/h", *reading.windKmh);
    return parts.join(QStringLiteral(" · "));
}

QString temperatureTitleSuffix(std::optional<double> tempC)
{
    if (!tempC)
        return {};
    return formatPrintf(" · %.0f°", *tempC);
}
