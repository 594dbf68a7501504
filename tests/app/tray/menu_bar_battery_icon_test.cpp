#include "app/tray/battery_glyph.h"
#include "app/tray/menu_bar_battery_icon.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QPainter>

// Inputs are spelled with designated initializers; a field left out keeps its default.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace MenuBarBatteryIcon;
using BatteryMenuChrome::BatteryTint;

namespace {

Inputs onBattery(int level, std::optional<int> minutes = std::nullopt)
{
    return {.level = level, .present = true, .minutes = minutes};
}

Inputs onAC(int level, bool charging)
{
    return {.level = level, .charging = charging, .onAC = true, .present = true};
}

Inputs desktop()
{
    return {};
}

Inputs inWatts(Inputs in, double watts)
{
    in.mode = MenuBarDisplayMode::watts;
    in.watts = watts;
    return in;
}

} // namespace

TEST(MenuBarTimeText, FollowsPowerStateThenMinutes)
{
    struct Case
    {
        std::optional<int> minutes;
        bool charging, onAC, present;
        int level;
        std::optional<QString> expected;
    } cases[] = {
        {std::nullopt, false, false, false, 0, QStringLiteral("AC")},
        {125, false, true, true, 100, QStringLiteral("Full")},
        {125, false, true, true, 99, QStringLiteral("AC")},
        {std::nullopt, false, false, true, 50, std::nullopt},
        {0, false, false, true, 50, std::nullopt},
        {65535, false, false, true, 50, std::nullopt},
        {65534, false, false, true, 50, QStringLiteral("1092h 14m")},
        {1, false, false, true, 50, QStringLiteral("1m")},
        {59, false, false, true, 50, QStringLiteral("59m")},
        {60, false, false, true, 50, QStringLiteral("1h 00m")},
        {125, true, true, true, 50, QStringLiteral("2h 05m")},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(timeText(c.minutes, c.charging, c.onAC, c.present, c.level), c.expected)
            << "minutes " << c.minutes.value_or(-1) << " level " << c.level;
    }
}

TEST(MenuBarTitle, ComposesPercentAndWattsTitles)
{
    struct Case
    {
        Inputs in;
        QString expected;
    } cases[] = {
        {onBattery(83, 125), QStringLiteral("83% 2h 05m")},
        {onAC(100, false), QStringLiteral("100% Full")},
        {onAC(99, false), QStringLiteral("99% AC")},
        {onBattery(47, 65535), QStringLiteral("47%")},
        {onAC(50, true), QStringLiteral("50%")},
        {desktop(), QStringLiteral("AC")},
        {inWatts(onBattery(83), 7.4), QStringLiteral("83% 7.4W")},
        {inWatts(onBattery(83), 9.96), QStringLiteral("83% 10.0W")},
        {inWatts(onBattery(83), 10.0), QStringLiteral("83% 10W")},
        {inWatts(desktop(), 23.4), QStringLiteral("23W")},
        {{.level = 83, .present = true, .minutes = 125, .tempC = 21.6}, QStringLiteral("83% 2h 05m · 22°")},
        {{.tempC = -0.4}, QStringLiteral("AC · -0°")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(titleText(c.in), c.expected);
}

TEST(MenuBarGlyph, PicksBandBoltAndPlug)
{
    struct Case
    {
        Inputs in;
        QString name;
    } cases[] = {
        {desktop(), QStringLiteral("powerplug.fill")},
        {onAC(100, false), QStringLiteral("battery.100")},
        {onAC(99, false), QStringLiteral("battery.100.bolt")},
        {onAC(94, false), QStringLiteral("battery.75.bolt")},
        {onAC(70, true), QStringLiteral("battery.75.bolt")},
        {onAC(69, true), QStringLiteral("battery.50.bolt")},
        {onAC(45, true), QStringLiteral("battery.50.bolt")},
        {onAC(44, true), QStringLiteral("battery.25.bolt")},
        {onAC(20, true), QStringLiteral("battery.25.bolt")},
        {onAC(19, true), QStringLiteral("battery.0.bolt")},
        {onAC(100, true), QStringLiteral("battery.100.bolt")},
        {onBattery(95), QStringLiteral("battery.100")},
        {onBattery(94), QStringLiteral("battery.75")},
        {onBattery(50), QStringLiteral("battery.50")},
        {onBattery(25), QStringLiteral("battery.25")},
        {onBattery(19), QStringLiteral("battery.0")},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(glyphName(c.in), c.name) << "level " << c.in.level;
        EXPECT_TRUE(BatteryGlyph::naturalSize(c.name).has_value()) << c.name.toStdString();
    }
    EXPECT_FALSE(BatteryGlyph::naturalSize(QStringLiteral("battery.30")).has_value());
}

TEST(MenuBarTint, CriticalAtOrBelowThresholdOnlyOnBattery)
{
    const QColor green = QColor::fromRgbF(0.2f, 0.86f, 0.4f);
    const QColor red = QColor::fromRgbF(0.98f, 0.26f, 0.26f);
    const QColor yellow = QColor::fromRgbF(1.0f, 0.8f, 0.12f);
    struct Case
    {
        Inputs in;
        BatteryTint tint;
        QColor color;
    } cases[] = {
        {onBattery(20), BatteryTint::critical, red},
        {onBattery(21), BatteryTint::discharging, Qt::white},
        {{.level = 30, .present = true, .criticalPercent = 30}, BatteryTint::critical, red},
        {onAC(10, true), BatteryTint::charging, green},
        {onAC(10, false), BatteryTint::discharging, Qt::white},
        {{.level = 60, .present = true, .lowPowerMode = true}, BatteryTint::lowPower, yellow},
        {{.level = 60, .onAC = true, .present = true, .lowPowerMode = true}, BatteryTint::lowPower, yellow},
        {{.level = 10, .present = true, .lowPowerMode = true}, BatteryTint::critical, red},
        {desktop(), BatteryTint::discharging, Qt::white},
        {{.lowPowerMode = true}, BatteryTint::discharging, Qt::white},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(tint(c.in), c.tint) << "level " << c.in.level;
        EXPECT_EQ(glyphColor(c.in), c.color) << "level " << c.in.level;
    }
}

TEST(MenuBarIcon, GlyphIsDrawnInTheTintColour)
{
    const QImage critical = glyphIcon(onBattery(10, 30), 32);
    // The outline's left edge, mid-height.
    const QColor edge = QColor::fromRgba(critical.pixel(2, 16));
    EXPECT_GT(edge.alpha(), 200);
    EXPECT_GT(edge.red(), 200);
    EXPECT_LT(edge.green(), 100);
}

TEST(MenuBarKeys, StatusKeyListsEveryShownField)
{
    const Inputs in{.level = 83, .present = true, .minutes = 125, .tempC = 21.6, .watts = 7.45};
    EXPECT_EQ(statusKey(in), QStringLiteral("percent|83|125|75|0|0|1|0|20|discharging|216"));

    EXPECT_EQ(statusKey(inWatts(desktop(), 0)), QStringLiteral("watts|0|-1|0|0|0|0|0|20|discharging|-999"));
}

TEST(MenuBarKeys, WattsBelowATenthDoNotChangeTheKey)
{
    const auto key = [](double watts) {
        return statusKey({.level = 50, .present = true, .minutes = 90, .watts = watts});
    };
    EXPECT_EQ(key(7.41), key(7.44));
    EXPECT_NE(key(7.41), key(7.46));
    EXPECT_EQ(tooltipKey(key(7.41)), tooltipKey(key(7.46)));
    EXPECT_EQ(tooltipKey(key(7.41)), QStringLiteral("percent|50|90|0|0|1|0|20|discharging|-999"));
}

TEST(MenuBarTooltip, TextsWithAndWithoutBattery)
{
    const Tooltip withBattery = tooltip(
        {.level = 83, .present = true, .minutes = 125, .watts = 7.45, .powerTimeText = QStringLiteral("2h 5m left")});
    EXPECT_EQ(withBattery.text(),
              QStringLiteral("Pendra Pro · 83% · 2h 5m left · 7.5 W\nClick: menu · Double-click: full window"));
    EXPECT_EQ(withBattery.accessibilityLabel, QStringLiteral("Pendra Pro battery 83 percent, 2h 5m left"));

    const Tooltip none = tooltip(desktop());
    EXPECT_EQ(none.text(), QStringLiteral("Pendra Pro · AC power\nClick: menu · Double-click: full window"));
    EXPECT_EQ(none.accessibilityLabel, QStringLiteral("Pendra Pro, AC power"));
}

TEST(BatteryGlyphDrawing, BoltIsCutOutOfAFullBattery)
{
    const auto render = [](const QString &name) {
        QImage img(54, 26, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter painter(&img);
        painter.setRenderHint(QPainter::Antialiasing);
        BatteryGlyph::draw(painter, QRectF(0, 0, 54, 26), name, Qt::white, 1.0);
        return img;
    };
    const QImage plain = render(QStringLiteral("battery.100"));
    const QImage bolt = render(QStringLiteral("battery.100.bolt"));
    int transparentPlain = 0;
    int transparentBolt = 0;
    for (int y = 8; y < 18; ++y) {
        for (int x = 10; x < 38; ++x) {
            transparentPlain += qAlpha(plain.pixel(x, y)) == 0;
            transparentBolt += qAlpha(bolt.pixel(x, y)) == 0;
        }
    }
    EXPECT_EQ(transparentPlain, 0);
    EXPECT_GT(transparentBolt, 10);
}
