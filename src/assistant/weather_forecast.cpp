#include "assistant/weather_forecast.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QUrlQuery>

#include <cmath>
#include <limits>

namespace {

// The shortest text that reads back as the same double, in every locale.
QString shortestDecimal(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

std::optional<double> number(const QJsonObject &object, QLatin1String key)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        return std::nullopt;
    return value.toDouble();
}

// Whole numbers may arrive as 47.9; they are cut toward zero. Anything that
// cannot be an int is missing.
std::optional<int> truncatedInteger(const QJsonObject &object, QLatin1String key)
{
    const std::optional<double> value = number(object, key);
    if (!value)
        return std::nullopt;
    const double whole = std::trunc(*value);
    if (whole < double(std::numeric_limits<int>::min()) || whole > double(std::numeric_limits<int>::max()))
        return std::nullopt;
    return int(whole);
}

} // namespace

QUrl openMeteoForecastUrl(const QUrl &baseUrl, double latitude, double longitude)
{
    QUrl url = baseUrl;
    url.setPath(QStringLiteral("/v1/forecast"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("latitude"), shortestDecimal(latitude));
    query.addQueryItem(QStringLiteral("longitude"), shortestDecimal(longitude));
    query.addQueryItem(QStringLiteral("current"),
                       QStringLiteral("temperature_2m,relative_humidity_2m,weather_code,wind_speed_10m"));
    query.addQueryItem(QStringLiteral("timezone"), QStringLiteral("auto"));
    query.addQueryItem(QStringLiteral("wind_speed_unit"), QStringLiteral("kmh"));
    url.setQuery(query);
    return url;
}

std::optional<WeatherReading> parseOpenMeteoCurrent(const QByteArray &body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject())
        return std::nullopt;
    const QJsonValue current = document.object().value(QLatin1String("current"));
    if (!current.isObject())
        return std::nullopt;
    const QJsonObject fields = current.toObject();
    return WeatherReading{
        number(fields, QLatin1String("temperature_2m")),
        truncatedInteger(fields, QLatin1String("relative_humidity_2m")),
        number(fields, QLatin1String("wind_speed_10m")),
        truncatedInteger(fields, QLatin1String("weather_code")),
    };
}
