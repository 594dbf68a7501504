#include "integration/menu_bar_position_store.h"
#include "fakes/fake_clock.h"
#include "fakes/recording_status_item.h"
#include "platform/defaults.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <optional>

namespace {

namespace Position = MenuBarPositionStore;

class PositionTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    int rebuilds = 0;
    std::function<void()> rebuild = [this] { ++rebuilds; };
};

TEST_F(PositionTest, FractionIsClampedAndTurnedIntoPixels)
{
    struct Case { std::optional<double> set; double fraction; double px; };
    const Case cases[] = {
        {std::nullopt, 0.15, 143.0}, {1.7, 1.0, 500.0}, {-0.2, 0.0, 80.0}, {0.5, 0.5, 290.0},
    };
    for (const Case &c : cases) {
        if (c.set)
            Position::setPosition(defaults, *c.set, rebuild);
        EXPECT_DOUBLE_EQ(Position::position(defaults), c.fraction) << c.set.value_or(-1);
        EXPECT_DOUBLE_EQ(defaults.doubleValue(Position::kPositionKey).value_or(0.15), c.fraction);
        EXPECT_DOUBLE_EQ(Position::pixelPosition(defaults), c.px);
    }
    // Written by other means, read back clamped.
    defaults.setDouble(Position::kPositionKey, 3.0);
    EXPECT_DOUBLE_EQ(Position::pixelPosition(defaults), 500.0);
}

TEST_F(PositionTest, EverySetAppliesTheKeysAndAsksForARebuild)
{
    Position::setPosition(defaults, 0.25, rebuild);
    Position::setPosition(defaults, 0.25, rebuild);
    EXPECT_EQ(rebuilds, 2);
    EXPECT_EQ(defaults.doubleValue(QStringLiteral("NSStatusItem Preferred Position")), 185.0);
    EXPECT_EQ(defaults.doubleValue(QStringLiteral("NSStatusItem Preferred Position PendraProBattery")), 185.0);
}

TEST_F(PositionTest, ConfigureNamesTheItemAndAppliesThePosition)
{
    FakeClock clock;
    RecordingStatusItem item(clock);
    Position::configure(item, defaults);
    EXPECT_EQ(item.autosaveName(), QStringLiteral("PendraProBattery"));
    EXPECT_EQ(defaults.doubleValue(QStringLiteral("NSStatusItem Preferred Position")), 143.0);
    EXPECT_EQ(rebuilds, 0);
}

} // namespace
