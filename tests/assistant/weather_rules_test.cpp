#include "assistant/weather_forecast.h"
#include "assistant/weather_texts.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QUrlQuery>

namespace {

TEST(WeatherCondition, NamesEachCodeGroupAndFallsBackForTheRest)
{
    const struct
    {
        std::optional<int> code;
        const char *text;
    } cases[] = {
        {0, "Clear"},    {2, "Partly cloudy"}, {3, "Overcast"},  {48, "Fog"},           {55, "Drizzle"},
        {61, "Rain"},    {77, "Snow"},         {80, "Showers"},  {99, "Thunderstorm"},  {56, "Local weather"},
        {86, "Local weather"}, {-1, "Local weather"}, {std::nullopt, "Local weather"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(weatherCondition(c.code), QString::fromUtf8(c.text)) << c.code.value_or(-999);
}

TEST(WeatherTexts, SummaryDetailAndTitleSuffix)
{
    const WeatherReading full{21.4, 48, 12.6, 2};
    EXPECT_EQ(weatherSummary(full), QStringLiteral("21°C · Partly cloudy"));
    EXPECT_EQ(weatherDetail(full), QStringLiteral("Humidity 48% · Wind 13 km/h"));
    EXPECT_EQ(weatherSummary({std::nullopt, 48, std::nullopt, 61}), QStringLiteral("Rain"));
    EXPECT_EQ(weatherDetail({3.0, std::nullopt, 7.4, 0}), QStringLiteral("Wind 7 km/h"));
    EXPECT_EQ(weatherDetail({3.0, std::nullopt, std::nullopt, 0}), QString());

    EXPECT_EQ(temperatureTitleSuffix(21.6), QStringLiteral(" · 22°"));
    EXPECT_EQ(temperatureTitleSuffix(std::nullopt), QString());
}

TEST(OpenMeteoRequest, PathAndQueryItemsInOrderWithShortestDecimals)
{
    const QUrl url = openMeteoForecastUrl(QUrl(QStringLiteral("http://127.0.0.1:8080")), 52.52, -0.1);
    EXPECT_EQ(url.path(), QStringLiteral("/v1/forecast"));
    const auto items = QUrlQuery(url).queryItems();
    const QList<QPair<QString, QString>> expected{
        {QStringLiteral("latitude"), QStringLiteral("52.52")},
        {QStringLiteral("longitude"), QStringLiteral("-0.1")},
        {QStringLiteral("current"), QStringLiteral("temperature_2m,relative_humidity_2m,weather_code,wind_speed_10m")},
        {QStringLiteral("timezone"), QStringLiteral("auto")},
        {QStringLiteral("wind_speed_unit"), QStringLiteral("kmh")},
    };
    EXPECT_EQ(items, expected);
}

TEST(OpenMeteoParse, ReadsEachFieldOnItsOwn)
{
    const struct
    {
        const char *body;
        WeatherReading reading;
    } cases[] = {
        {R"({"current":{"temperature_2m":21.4,"relative_humidity_2m":48,"wind_speed_10m":12.6,"weather_code":2}})",
         {21.4, 48, 12.6, 2}},
        {R"({"current":{"relative_humidity_2m":47.9,"weather_code":61.7}})", {std::nullopt, 47, std::nullopt, 61}},
        {R"({"current":{"temperature_2m":"21","relative_humidity_2m":true,"wind_speed_10m":null,"weather_code":[2]}})",
         {}},
        {R"({"current":{"relative_humidity_2m":1e12,"weather_code":-3e10}})", {}},
        {R"({"current":{},"hourly":{"temperature_2m":[1,2]}})", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseOpenMeteoCurrent(c.body), c.reading) << c.body;
}

TEST(OpenMeteoParse, RefusesBodiesWithoutACurrentObject)
{
    for (const char *body : {"", "not json", "[1,2]", R"({"current":[]})", R"({"reason":"bad"})"})
        EXPECT_EQ(parseOpenMeteoCurrent(body), std::nullopt) << body;
}

} // namespace
