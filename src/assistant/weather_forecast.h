#pragma once

#include "assistant/weather_texts.h"

#include <QByteArray>
#include <QUrl>

#include <optional>

// The Open-Meteo current-conditions request for a position (degrees), on the
// server at `baseUrl` (https://api.open-meteo.com in use).
QUrl openMeteoForecastUrl(const QUrl &baseUrl, double latitude, double longitude);

// The "current" block of a forecast answer. None when the body is not a JSON
// object with a "current" object; a missing or mistyped value inside it
// stays empty on its own.
std::optional<WeatherReading> parseOpenMeteoCurrent(const QByteArray &body);
