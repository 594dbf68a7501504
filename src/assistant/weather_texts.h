#pragma once


#include <QString>

#include <optional>

// The weather surfaces' fixed texts. Where the wording would name a macOS
// settings pane, it names where Linux desktops keep the same switch.
namespace WeatherTexts {
inline const QString title = QStringLiteral("Weather");
inline const QString caption = QStringLiteral(
    "Local conditions from this computer’s location (Open-Meteo, OpenStreetMap). Nothing is sent to Marblewick HQ.");
inline const QString refreshButton = QStringLiteral("Refresh weather");

inline const QString locating = QStringLiteral("Locating…");
inline const QString locationOff = QStringLiteral("Location off");
inline const QString deniedAtStart = QStringLiteral("Location denied — enable in Privacy settings");
inline const QString allowHint = QStringLiteral("Allow location for local weather");
inline const QString deniedLater = QStringLiteral("Location denied");
inline const QString unavailable = QStringLiteral("Weather unavailable");
inline const QString fetchError = QStringLiteral("Weather error");
} // namespace WeatherTexts

// The current conditions as read from a forecast answer; each value may be
// missing on its own.
struct WeatherReading
{
    std::optional<double> tempC; // air at 2 m, °C
    std::optional<int> humidity; // relative, at 2 m, percent
    std::optional<double> windKmh; // at 10 m, km/h
    std::optional<int> code; // WMO weather interpretation code

    bool operator==(const WeatherReading &) const = default;
};

// A short English name for a WMO code; "Local weather" for codes without one.
QString weatherCondition(std::optional<int> code);
// "21°C · Partly cloudy", or the condition alone without a temperature.
QString weatherSummary(const WeatherReading &reading);
// "Humidity 48% · Wind 13 km/h" with whichever parts are known; may be empty.
QString weatherDetail(const WeatherReading &reading);
// What the status item's title ends with: " · 22°", or nothing.
QString temperatureTitleSuffix(std::optional<double> tempC);
