#include "app/battery_menu/menu_panel_model.h"
#include "app/ui/menu_panel_rules.h"
#include "fakes/power_store_harness.h"
#include "support/all_signals_spy.h"
#include "support/qt_printers.h"
#include "app/test_processes.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTimer>

#include <memory>

using namespace MenuPanelRules;

namespace {

struct ModelFixture
{
    PowerStoreHarness power;
    QList<ProcEnergy> top;
    bool lowPower = false;
    MenuPanelModel model{power.store, [this] { return top; }, [this] { return lowPower; }};
};

} // namespace

TEST(MenuPanelModel, RefreshCopiesThePowerStore)
{
    ModelFixture f;
    BatSnap snap = onBatterySnap(63, 9.0, 185);
    snap.cycles = 212;
    snap.health = 91;
    f.power.publish(snap, 7.4);
    f.lowPower = true;
    f.top = {process(1, 3.0, 90, "firefox")};

    f.model.refresh();

    EXPECT_EQ(f.model.levelPercent(), f.power.store.levelPercent());
    EXPECT_TRUE(f.model.batteryPresent());
    EXPECT_FALSE(f.model.isOnAC());
    EXPECT_FALSE(f.model.isCharging());
    EXPECT_DOUBLE_EQ(f.model.packageWatts(), f.power.store.packageWatts());
    EXPECT_DOUBLE_EQ(f.model.chargeWatts(), f.power.store.chargeWatts());
    EXPECT_EQ(f.model.statusText(), f.power.store.statusText());
    EXPECT_EQ(f.model.timeDetail(), f.power.store.timeText());
    EXPECT_EQ(f.model.powerSource(), "Battery");
    EXPECT_TRUE(f.model.lowPower());
    EXPECT_EQ(f.model.cycleCount(), 212);
    EXPECT_EQ(f.model.healthPercent(), 91);
    EXPECT_EQ(f.model.spark(), thinSpark(f.power.store.wattHistorySpark()));
    EXPECT_EQ(f.model.sparkLabel(), sparkLabel(f.power.store.wattHistory().size()));
    EXPECT_EQ(f.model.topApps(), f.top);
}

TEST(MenuPanelModel, ARefreshEmitsOnlyTheSignalsOfWhatChanged)
{
    ModelFixture f;
    f.power.publish(onBatterySnap(63, 9.0, 185), 7.4);
    f.top = {process(1, 3.0), process(2, 1.0)};
    f.model.refresh();

    AllSignalsSpy spy(&f.model);
    f.model.refresh();
    f.top = {process(1, 3.1), process(2, 0.95)}; // within the app tolerance
    f.model.refresh();
    EXPECT_EQ(spy.takeEmitted(), QStringList());
    f.lowPower = true;
    f.model.refresh();
    EXPECT_EQ(spy.takeEmitted(), QStringList{QStringLiteral("lowPowerChanged()")});
    f.top = {process(4, 1.0)};
    f.model.refresh();
    EXPECT_EQ(spy.takeEmitted(), QStringList{QStringLiteral("topAppsChanged()")});
}

TEST(MenuPanelModel, TrackingRefreshesAtOnceThenOnEachTickUntilStopped)
{
    ModelFixture f;
    f.power.publish(onBatterySnap(63, 9.0, 185), 7.4);
    QSignalSpy tracking(&f.model, &MenuPanelModel::trackingChanged);
    auto *timer = f.model.findChild<QTimer *>("pendrapro.menuPanel.refresh");
    ASSERT_NE(timer, nullptr);

    f.model.startTracking();
    EXPECT_TRUE(f.model.tracking());
    EXPECT_EQ(f.model.levelPercent(), 63); // refreshed at once
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->intervalAsDuration(), std::chrono::milliseconds(450));
    f.model.startTracking(); // already tracking: nothing new
    EXPECT_EQ(tracking.count(), 1);

    f.power.publish(chargingSnap(63), 7.4);
    QSignalSpy charging(&f.model, &MenuPanelModel::isChargingChanged);
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection));
    EXPECT_EQ(charging.count(), 1);

    f.model.stopTracking();
    EXPECT_FALSE(f.model.tracking());
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(tracking.count(), 2);
}
