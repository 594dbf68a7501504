#include "app/tray/status_item_redrawer.h"

#include "fakes/fake_clock.h"
#include "fakes/recording_status_item.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

// Inputs are spelled with designated initializers; a field left out keeps its default.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

struct Scheduled
{
    double delay;
    std::function<void()> work;
};

struct RedrawFixture : ::testing::Test
{
    RedrawFixture()
    {
        redrawer.setScheduler([this](double delay, std::function<void()> work) {
            scheduled.push_back({delay, std::move(work)});
        });
    }

    void runScheduled()
    {
        std::vector<Scheduled> due;
        due.swap(scheduled);
        for (Scheduled &item : due)
            item.work();
    }

    FakeClock clock;
    MenuBarBatteryIcon::Inputs inputs{
        .level = 83, .present = true, .minutes = 125, .watts = 7.4, .powerTimeText = QStringLiteral("2h 5m left")};
    RecordingStatusItem item{clock};
    StatusItemRedrawer redrawer{clock, [this] { return inputs; }};
    QSignalSpy redrawn{&redrawer, &StatusItemRedrawer::redrawn};
    std::vector<Scheduled> scheduled;
};

} // namespace

TEST_F(RedrawFixture, NewItemReceivesIconLabelAndTooltip)
{
    redrawer.setStatusItem(&item);
    EXPECT_EQ(redrawn.count(), 1);
    EXPECT_EQ(item.label, QStringLiteral("83% 2h 05m"));
    EXPECT_EQ(item.toolTipTitle, QStringLiteral("Pendra Pro · 83% · 2h 5m left · 7.4 W"));
    EXPECT_EQ(item.toolTipBody, QStringLiteral("Click: menu · Double-click: full window"));
    EXPECT_EQ(item.accessibleName, QStringLiteral("Pendra Pro battery 83 percent, 2h 5m left"));
    ASSERT_EQ(item.icon.size(), std::size(GlyphIconCache::kIconSizes));
    EXPECT_EQ(item.icon.first().width, 16);
    EXPECT_EQ(item.icon.first().argb.size(), 16 * 16 * 4);
}

TEST_F(RedrawFixture, UnchangedKeySkipsTheRedrawUnlessForced)
{
    redrawer.setStatusItem(&item);
    inputs.watts = 7.42; // same tenth of a watt
    redrawer.redraw();
    EXPECT_EQ(redrawn.count(), 1);
    redrawer.forceRedraw();
    EXPECT_EQ(redrawn.count(), 2);
    EXPECT_EQ(item.toolTipSets, 1);
}

TEST_F(RedrawFixture, HostIsGivenOnlyWhatItShowsThatChanged)
{
    redrawer.setStatusItem(&item);
    inputs.watts = 9.1; // in the key, but neither in the icon, the label nor the tooltip
    redrawer.redraw();
    EXPECT_EQ(redrawn.count(), 2);
    EXPECT_EQ(item.iconSets, 1);
    EXPECT_EQ(item.labelSets, 1);
    EXPECT_EQ(item.toolTipSets, 1);
    EXPECT_EQ(item.toolTipTitle, QStringLiteral("Pendra Pro · 83% · 2h 5m left · 7.4 W"));

    inputs.level = 80; // same band: a new label only
    redrawer.redraw();
    EXPECT_EQ(item.iconSets, 1);
    EXPECT_EQ(item.labelSets, 2);
    inputs.level = 60; // a new band
    redrawer.redraw();
    EXPECT_EQ(item.iconSets, 2);
    inputs.level = 83; // back to a glyph drawn before
    redrawer.redraw();
    EXPECT_EQ(item.iconSets, 3);
    EXPECT_EQ(redrawer.icons().size(), 2);
}

TEST_F(RedrawFixture, RebuiltItemGetsImageAndTooltipAgain)
{
    redrawer.setStatusItem(&item);
    RecordingStatusItem rebuilt{clock};
    redrawer.setStatusItem(&rebuilt);
    EXPECT_EQ(rebuilt.label, item.label);
    EXPECT_EQ(rebuilt.toolTipTitle, item.toolTipTitle);
    EXPECT_EQ(rebuilt.accessibleName, item.accessibleName);
    EXPECT_EQ(rebuilt.icon, item.icon);
}

TEST_F(RedrawFixture, ThrottleGivesOneImmediateAndOneDelayedRedraw)
{
    redrawer.setStatusItem(&item);
    clock.advance(10);

    inputs.watts = 8.0;
    redrawer.requestThrottledRedraw();
    EXPECT_EQ(redrawn.count(), 2);
    EXPECT_EQ(redrawer.lastStatusDrawAt(), clock.now());

    clock.advance(0.05);
    inputs.watts = 8.5;
    redrawer.requestThrottledRedraw();
    EXPECT_EQ(redrawn.count(), 2);
    ASSERT_EQ(scheduled.size(), 1u);
    EXPECT_NEAR(scheduled.front().delay, 0.15, 1e-9);
    EXPECT_TRUE(redrawer.statusDrawPending());

    clock.advance(0.05);
    inputs.watts = 9.0;
    redrawer.requestThrottledRedraw();
    EXPECT_EQ(scheduled.size(), 1u) << "a pending redraw already covers this one";

    clock.advance(0.05);
    runScheduled();
    EXPECT_FALSE(redrawer.statusDrawPending());
    EXPECT_EQ(redrawn.count(), 3);
    EXPECT_EQ(item.label, QStringLiteral("83% 2h 05m"));
    EXPECT_EQ(redrawer.lastStatusDrawAt(), clock.now());
}

TEST_F(RedrawFixture, ThrottleNeverSchedulesSoonerThanTwentyMilliseconds)
{
    redrawer.setStatusItem(&item);
    redrawer.redrawImmediately();
    clock.advance(0.195);
    redrawer.requestThrottledRedraw();
    ASSERT_EQ(scheduled.size(), 1u);
    EXPECT_DOUBLE_EQ(scheduled.front().delay, 0.02);
}

TEST_F(RedrawFixture, WallClockSetBackDoesNotStallRedraws)
{
    redrawer.setStatusItem(&item);
    redrawer.redrawImmediately();
    clock.setWallClock(clock.now() - 3600);
    inputs.watts = 12.0;
    redrawer.requestThrottledRedraw();
    EXPECT_TRUE(scheduled.empty());
    EXPECT_EQ(item.label, QStringLiteral("83% 2h 05m"));
    EXPECT_EQ(redrawn.count(), 2);
}

TEST_F(RedrawFixture, BadgeFollowsThePanelTone)
{
    TrayIconLook look{.badge = true, .tone = PanelTone::dark, .showsPercent = true};
    redrawer.setLookProvider([&look] { return look; });
    redrawer.setStatusItem(&item);
    ASSERT_EQ(item.icon.size(), std::size(GlyphIconCache::kBadgeSizes));
    const QList<StatusIconPixmap> onDark = item.icon;

    look.tone = PanelTone::light;
    redrawer.redraw();
    EXPECT_EQ(redrawn.count(), 2);
    EXPECT_NE(item.icon, onDark);
    EXPECT_EQ(item.iconSets, 2);

    look.tone = PanelTone::dark;
    redrawer.redraw();
    EXPECT_EQ(item.icon, onDark);
    EXPECT_EQ(redrawer.icons().badgeCount(), 2) << "the dark badge came from the cache";
}
