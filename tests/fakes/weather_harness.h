#pragma once

#include "assistant/weather_store.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_position_source.h"
#include "platform/linux/geoclue_location_manager.h"
#include "platform/linux/nominatim_reverse_geocoder.h"
#include "support/loopback_http_server.h"

#include <QDBusConnection>
#include <QNetworkAccessManager>

#include <memory>

// A weather store over the real GeoClue adapter (fed by a fake position
// source, or none) and the real Nominatim client, with a loopback server
// playing both Open-Meteo and Nominatim.
struct WeatherHarness
{
    inline static const QByteArray kExampleForecast =
        R"({"current":{"temperature_2m":21.4,"relative_humidity_2m":48,"wind_speed_10m":12.6,"weather_code":2}})";
    inline static const QByteArray kMunich = R"({"address":{"city":"München","state":"Bayern","country":"Deutschland"}})";

    explicit WeatherHarness(bool withPositionSource = true)
    {
        server.respond("/v1/forecast", kExampleForecast);
        server.respond("/reverse", kMunich);
        auto fake = std::make_shared<std::unique_ptr<QGeoPositionInfoSource>>(
            withPositionSource ? std::make_unique<FakePositionSource>() : nullptr);
        source = static_cast<FakePositionSource *>(fake->get());
        manager = std::make_unique<GeoClueLocationManager>(
            [this, fake] {
                ++sourcesMade;
                return std::move(*fake);
            },
            QDBusConnection::sessionBus());
        geocoder = std::make_unique<NominatimReverseGeocoder>(network, clock, server.baseUrl(), "PendraPro/test");
        store = std::make_unique<WeatherStore>(*manager, *geocoder, network, clock, server.baseUrl());
    }

    LoopbackHttpServer server;
    QNetworkAccessManager network;
    FakeClock clock;
    FakePositionSource *source = nullptr; // owned by the manager once it asks for it
    int sourcesMade = 0; // the manager's requests for a position source
    std::unique_ptr<GeoClueLocationManager> manager;
    std::unique_ptr<NominatimReverseGeocoder> geocoder;
    std::unique_ptr<WeatherStore> store;
};
