#include "fakes/weather_harness.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTimer>
#include <QUrlQuery>

#include <memory>

namespace {

const QString kGeoClueName = QStringLiteral("org.freedesktop.GeoClue2");

class WeatherStoreTest : public ::testing::Test
{
protected:
    explicit WeatherStoreTest(bool withSource = true)
        : harness(withSource)
        , server(harness.server)
        , clock(harness.clock)
        , source(harness.source)
        , manager(harness.manager)
        , store(harness.store)
    {
    }
    ~WeatherStoreTest() override { QDBusConnection::sessionBus().unregisterService(kGeoClueName); }

    int requests(const QString &path) const
    {
        const QList<LoopbackHttpServer::Request> sent = server.requests();
        return int(std::count_if(sent.begin(), sent.end(), [&](const auto &r) { return r.path == path; }));
    }

    // Start, then the location service finds the machine at the position.
    void locate(double latitude, double longitude)
    {
        store->start();
        source->deliver(latitude, longitude);
        ASSERT_TRUE(spinUntil([&] { return store->lastUpdated().has_value() && !store->place().isEmpty(); }));
    }

    void expectSummary(const QString &summary)
    {
        ASSERT_TRUE(spinUntil([&] { return store->summary() == summary; })) << store->summary().toStdString();
    }

    WeatherHarness harness;
    LoopbackHttpServer &server;
    FakeClock &clock;
    FakePositionSource *source;
    std::unique_ptr<GeoClueLocationManager> &manager;
    std::unique_ptr<WeatherStore> &store;
};

TEST_F(WeatherStoreTest, FirstFixAuthorisesFetchesAndNamesThePlace)
{
    EXPECT_EQ(store->summary(), QStringLiteral("Locating…"));
    QSignalSpy updated(store.get(), &WeatherStore::weatherUpdated);
    locate(48.13743, 11.57549);

    EXPECT_EQ(manager->authorizationStatus(), LocationAuthorization::authorizedAlways);
    EXPECT_EQ(source->updateRequests, 1); // the fix that settled the authorisation is the one used
    EXPECT_EQ(store->place(), QStringLiteral("München, Bayern"));
    EXPECT_EQ(store->error(), std::nullopt);
    EXPECT_EQ(store->lastUpdated(), clock.now());
    EXPECT_EQ(updated.count(), 1);

    // Only a kilometre-coarse position leaves the machine.
    const QList<LoopbackHttpServer::Request> sent = server.requests();
    const auto &forecast = sent.at(0);
    EXPECT_EQ(forecast.path, "/v1/forecast");
    EXPECT_TRUE(forecast.query.startsWith("latitude=48.14&longitude=11.58&current=")) << forecast.query.toStdString();
    const auto reverse = *std::find_if(sent.begin(), sent.end(), [](const auto &r) { return r.path == "/reverse"; });
    EXPECT_EQ(reverse.headers.value("user-agent"), QByteArray("PendraPro/test"));
    EXPECT_EQ(QUrlQuery(QString::fromUtf8(reverse.query)).queryItemValue(QStringLiteral("lat")), QStringLiteral("48.14"));
}

TEST_F(WeatherStoreTest, PublishesOnlyWhatChanged)
{
    locate(48.14, 11.58);
    QSignalSpy summary(store.get(), &WeatherStore::summaryChanged);
    QSignalSpy temp(store.get(), &WeatherStore::tempCChanged);
    QSignalSpy humidity(store.get(), &WeatherStore::humidityChanged);
    QSignalSpy updated(store.get(), &WeatherStore::weatherUpdated);

    server.respond("/v1/forecast",
                   R"({"current":{"temperature_2m":21.4,"relative_humidity_2m":47.9,"wind_speed_10m":12.6,"weather_code":2}})");
    store->fetch(48.14, 11.58);
    ASSERT_TRUE(spinUntil([&] { return updated.count() == 1; }));
    EXPECT_EQ(store->humidity(), 47);
    EXPECT_EQ(humidity.count(), 1);
    EXPECT_EQ(temp.count(), 0);
    EXPECT_EQ(summary.count(), 0);
}

TEST_F(WeatherStoreTest, FailuresKeepEarlierValues)
{
    locate(48.14, 11.58);
    const QString detail = store->detail();

    server.respond("/v1/forecast", "<html>oops</html>");
    store->fetch(48.14, 11.58);
    expectSummary(QStringLiteral("Weather error"));
    EXPECT_EQ(store->error(), std::nullopt); // a malformed answer leaves the error alone

    server.respond("/v1/forecast", {}, 0);
    store->fetch(48.14, 11.58);
    ASSERT_TRUE(spinUntil([&] { return store->error().has_value(); }));
    EXPECT_EQ(store->summary(), QStringLiteral("Weather error"));
    EXPECT_EQ(store->tempC(), 21.4);
    EXPECT_EQ(store->detail(), detail);
    EXPECT_EQ(store->place(), QStringLiteral("München, Bayern"));
}

TEST_F(WeatherStoreTest, RefreshAsksForANewFixOnlyAfterEightSeconds)
{
    locate(48.14, 11.58);
    const int before = source->updateRequests;
    clock.advance(5);
    store->refresh();
    store->refresh();
    EXPECT_EQ(source->updateRequests, before);
    clock.advance(4);
    store->refresh();
    EXPECT_EQ(source->updateRequests, before + 1);
}

TEST_F(WeatherStoreTest, PlaceNamesAreAskedOncePerPositionAndJoinOnlyPresentParts)
{
    locate(48.14, 11.58);
    clock.advance(10);
    store->refresh();
    source->deliver(48.1402, 11.5801); // the same kilometre
    ASSERT_TRUE(spinUntil([&] { return requests(QStringLiteral("/v1/forecast")) == 2; }));

    server.respond("/reverse", R"({"address":{"village":"Kochel","country":"Deutschland"}})");
    clock.advance(10);
    store->refresh();
    source->deliver(47.66, 11.36);
    ASSERT_TRUE(spinUntil([&] { return store->place() == QStringLiteral("Kochel"); }));
    EXPECT_EQ(requests(QStringLiteral("/reverse")), 2);
}

TEST_F(WeatherStoreTest, RefusedAccessIsADenial)
{
    QDBusConnection::sessionBus().registerService(kGeoClueName); // GeoClue exists and said no
    store->start();
    source->fail(QGeoPositionInfoSource::AccessError);
    expectSummary(QStringLiteral("Location off"));
    EXPECT_EQ(store->error(), QStringLiteral("Location denied"));
    EXPECT_EQ(store->detail(), QString());

    store->start();
    EXPECT_EQ(store->error(), QStringLiteral("Location denied — enable in Privacy settings"));
    EXPECT_EQ(store->detail(), QStringLiteral("Allow location for local weather"));
}

TEST_F(WeatherStoreTest, NoFixIsWeatherUnavailableWithTheServiceText)
{
    const struct
    {
        QGeoPositionInfoSource::Error error;
        QString text;
    } cases[] = {
        {QGeoPositionInfoSource::AccessError, GeoClueTexts::noService}, // no GeoClue on the bus at all
        {QGeoPositionInfoSource::UpdateTimeoutError, GeoClueTexts::timedOut},
        {QGeoPositionInfoSource::ClosedError, GeoClueTexts::closed},
    };
    for (const auto &c : cases) {
        store->start();
        source->fail(c.error);
        ASSERT_TRUE(spinUntil([&] { return store->error() == c.text; })) << c.text.toStdString();
        EXPECT_EQ(store->summary(), QStringLiteral("Weather unavailable"));
        EXPECT_EQ(manager->authorizationStatus(), LocationAuthorization::notDetermined);
    }
}

class WeatherStoreWithoutPluginTest : public WeatherStoreTest
{
protected:
    WeatherStoreWithoutPluginTest() : WeatherStoreTest(false) {}
};

TEST_F(WeatherStoreWithoutPluginTest, StartSaysWhyAndNothingElseHappens)
{
    store->start();
    expectSummary(QStringLiteral("Weather unavailable"));
    EXPECT_EQ(store->error(), GeoClueTexts::noPlugin);
    EXPECT_TRUE(server.requests().isEmpty());
}

// The geocoder on a loopback server answering `answer`.
struct NominatimLookups
{
    explicit NominatimLookups(const LoopbackHttpServer::Response &answer,
                              std::chrono::milliseconds timeout = NominatimReverseGeocoder::kRequestTimeout)
        : geocoder(network, clock, server.baseUrl(), "PendraPro/test", timeout)
    {
        server.respond("/reverse", answer);
    }

    // What the lookup of `position` ends with.
    std::optional<Placemark> lookUp(const GeoPosition &position)
    {
        std::optional<std::optional<Placemark>> answer;
        geocoder.reverseGeocode(position, &context, [&](const std::optional<Placemark> &place) { answer = place; });
        EXPECT_TRUE(spinUntil([&] { return answer.has_value(); }));
        return answer.value_or(std::nullopt);
    }

    LoopbackHttpServer server;
    QNetworkAccessManager network;
    FakeClock clock;
    QObject context;
    NominatimReverseGeocoder geocoder;
};

TEST(NominatimSpacing, ASecondLookupWithinASecondWaitsItsTurn)
{
    NominatimLookups lookups({200, WeatherHarness::kMunich});
    lookups.lookUp({48.14, 11.58});
    lookups.clock.advance(0.4);
    lookups.geocoder.reverseGeocode({52.52, 13.4}, &lookups.context, [](const std::optional<Placemark> &) {});
    QCoreApplication::processEvents();

    const auto *spacing = lookups.geocoder.findChild<QTimer *>(QStringLiteral("nominatimSpacing"));
    ASSERT_NE(spacing, nullptr);
    EXPECT_TRUE(spacing->isActive());
    EXPECT_GE(spacing->interval(), 600); // the rest of the second since the first lookup
    EXPECT_LE(spacing->interval(), 601);
    EXPECT_EQ(lookups.server.requests().size(), 1);
}

// Short enough that a test waits for no real time worth mentioning.
constexpr std::chrono::milliseconds kShortTimeout{50};

TEST_F(WeatherStoreTest, AForecastServerThatNeverAnswersTimesOut)
{
    server.respond("/v1/forecast", LoopbackHttpServer::Response::silent());
    WeatherStore impatient(*manager, *harness.geocoder, harness.network, clock, server.baseUrl(), kShortTimeout);
    impatient.fetch(48.14, 11.58);
    ASSERT_TRUE(spinUntil([&] { return impatient.error().has_value(); }));
    EXPECT_EQ(impatient.error(), QStringLiteral("The weather service did not answer in time"));
    EXPECT_EQ(impatient.summary(), QStringLiteral("Weather error"));
}

TEST_F(WeatherStoreTest, ForecastAnswersOverOneMebibyteAreAbandoned)
{
    for (const bool announced : {true, false}) {
        LoopbackHttpServer::Response huge{200, QByteArray(2 * 1024 * 1024, ' ')};
        huge.unannounced = !announced;
        server.respond("/v1/forecast", huge);
        WeatherStore store(*manager, *harness.geocoder, harness.network, clock, server.baseUrl());
        store.fetch(48.14, 11.58);
        ASSERT_TRUE(spinUntil([&] { return store.error().has_value(); })) << announced;
        EXPECT_EQ(store.error(), QStringLiteral("The weather service sent too much data")) << announced;
        EXPECT_EQ(store.summary(), QStringLiteral("Weather error"));
    }
}

TEST(NominatimLimits, AHungLookupTimesOutAndTheNextOneIsSent)
{
    NominatimLookups lookups(LoopbackHttpServer::Response::silent(), kShortTimeout);
    EXPECT_EQ(lookups.lookUp({48.14, 11.58}), std::nullopt);

    lookups.server.respond("/reverse", WeatherHarness::kMunich);
    lookups.clock.advance(2);
    const std::optional<Placemark> second = lookups.lookUp({52.52, 13.4});
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->locality, QStringLiteral("München"));
}

TEST(NominatimLimits, AnswersOverOneMebibyteNameNoPlace)
{
    for (const bool announced : {true, false}) {
        SCOPED_TRACE(announced);
        // Valid JSON that would name a place, padded past the cap.
        LoopbackHttpServer::Response huge{200, WeatherHarness::kMunich + QByteArray(2 * 1024 * 1024, ' ')};
        huge.unannounced = !announced;
        NominatimLookups lookups(huge);
        EXPECT_EQ(lookups.lookUp({48.14, 11.58}), std::nullopt);
    }
}

TEST(NominatimParse, LocalityAndAreaFromTheAddress)
{
    const struct
    {
        const char *body;
        std::optional<Placemark> place;
    } cases[] = {
        {R"({"address":{"town":"Kochel","state":"Bayern"}})", Placemark{"Kochel", "Bayern"}},
        {R"({"address":{"city":"Zürich","village":"x","province":"ZH"}})", Placemark{"Zürich", "ZH"}},
        {R"({"address":{"state":"Bayern"}})", Placemark{"", "Bayern"}},
        {R"({"error":"Unable to geocode"})", std::nullopt},
        {R"({"address":{"country":"Deutschland"}})", std::nullopt},
        {R"({"address":"Berlin"})", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseNominatimReverse(c.body), c.place) << c.body;
}

} // namespace

TEST(GeoClueLocationManager, LoadsThePositionSourceOnlyAtTheFirstAttempt)
{
    int made = 0;
    GeoClueLocationManager manager(
        [&made] {
            ++made;
            return std::make_unique<FakePositionSource>();
        },
        QDBusConnection::sessionBus());
    EXPECT_EQ(made, 0);
    manager.requestLocation();
    manager.requestLocation();
    EXPECT_EQ(made, 1);
}
