#include "app/assistant/plus_prefs_weather_pane.h"
#include "app/assistant/plus_weather_section.h"
#include "app/assistant/weather_display_link.h"
#include "app/core/notification_center.h"
#include "fakes/weather_harness.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

namespace {

QString shownText(const QWidget &root, const char *name)
{
    const auto *label = root.findChild<QLabel *>(QString::fromLatin1(name));
    return label && !label->isHidden() ? label->text() : QString();
}

TEST(PlusWeatherSection, AppearingStartsTheStoreAndShowsTheConditions)
{
    WeatherHarness weather;
    PlusWeatherSection section(*weather.store);
    section.show();
    EXPECT_EQ(weather.source->updateRequests, 1);
    weather.source->deliver(48.14, 11.58);
    ASSERT_TRUE(spinUntil([&] { return shownText(section, "place") == QStringLiteral("München, Bayern"); }));

    EXPECT_EQ(shownText(section, "summary"), QStringLiteral("21°C · Partly cloudy"));
    EXPECT_EQ(shownText(section, "detail"), QStringLiteral("Humidity 48% · Wind 13 km/h"));
    EXPECT_EQ(shownText(section, "error"), QString());
}

TEST(PlusWeatherSection, SaysWhyInOneLineWhenThereIsNoLocation)
{
    WeatherHarness weather(false);
    PlusWeatherSection section(*weather.store);
    section.show();
    ASSERT_TRUE(spinUntil([&] { return shownText(section, "summary") == QStringLiteral("Weather unavailable"); }));
    const auto *error = section.findChild<QLabel *>(QStringLiteral("error"));
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(error->toolTip(), GeoClueTexts::noPlugin);
}

TEST(PlusPrefsWeatherPane, AppearingStartsTheStoreOnlyTheFirstTimeAndTheButtonAsksForANewFix)
{
    WeatherHarness weather;
    PlusPrefsWeatherPane pane(*weather.store);
    EXPECT_EQ(weather.source->updateRequests, 0) << "a pane that is built but not shown asks for nothing";
    pane.show();
    EXPECT_EQ(weather.source->updateRequests, 1);
    pane.hide();
    pane.show();
    EXPECT_EQ(weather.source->updateRequests, 1);

    EXPECT_EQ(shownText(pane, "title"), QStringLiteral("Weather"));
    auto *refresh = pane.findChild<QPushButton *>(QStringLiteral("refresh"));
    ASSERT_NE(refresh, nullptr);
    EXPECT_EQ(refresh->text(), QStringLiteral("Refresh weather"));
    refresh->click();
    EXPECT_EQ(weather.source->updateRequests, 2) << "its button asks for newer conditions";
}

TEST(WeatherDisplayLink, EachSuccessfulUpdateRedrawsTheMenuBar)
{
    WeatherHarness weather;
    NotificationCenter center;
    postDisplayChangesOnWeatherUpdates(*weather.store, center);
    QSignalSpy posted(&center, &NotificationCenter::posted);

    weather.store->fetch(48.14, 11.58);
    ASSERT_TRUE(spinUntil([&] { return weather.store->lastUpdated().has_value(); }));
    weather.server.respond("/v1/forecast", "{}");
    weather.store->fetch(48.14, 11.58);
    ASSERT_TRUE(spinUntil([&] { return weather.store->summary() == QStringLiteral("Weather error"); }));

    ASSERT_EQ(posted.count(), 1);
    EXPECT_EQ(posted.at(0).at(0).toString(), QStringLiteral("pendrapro.menuBarDisplayChanged"));
}

} // namespace
