#include "charge/charge_limit_controller.h"
#include "fakes/fake_smc_user_client.h"
#include "fakes/power_store_harness.h"
#include "platform/defaults.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

using Status = ChargeLimitStatus;

const std::vector<FakeSmcWrite> kAutoWrites{{"CH0I", 0}, {"CH0C", 0}, {"CH0B", 0}};
const std::vector<FakeSmcWrite> kInhibitWrites{{"CH0I", 0}, {"CH0C", 2}, {"CH0B", 2}};

// The controller over the real power store, fed battery snapshots as polls
// would deliver them.
class ChargeControllerOnStoreTest : public ::testing::Test
{
protected:
    ChargeControllerOnStoreTest()
        : defaults(dir.filePath(QStringLiteral("defaults.json")))
        , smc(client)
        , controller(harness.store, smc, defaults)
    {
    }

    // Polls until the store shows the snapshot's level: within one power
    // mode the shown level moves only after repeated sightings.
    void settle(const BatSnap &snap)
    {
        for (int poll = 0; poll < 20 && !(poll > 0 && harness.store.levelPercent() == snap.level); ++poll)
            harness.applyBattery(snap);
        ASSERT_EQ(harness.store.levelPercent(), snap.level);
    }

    std::vector<FakeSmcWrite> takeWrites()
    {
        std::vector<FakeSmcWrite> taken(client.writes.begin() + m_seen, client.writes.end());
        m_seen = client.writes.size();
        return taken;
    }

    QTemporaryDir dir;
    Defaults defaults;
    PowerStoreHarness harness;
    FakeSmcUserClient client;
    ChargeSMC smc;
    ChargeLimitController controller;

private:
    std::size_t m_seen = 0;
};

} // namespace

TEST_F(ChargeControllerOnStoreTest, HoldsAtTheLimitUntilTheLevelFallsTwoPoints)
{
    settle(chargingSnap(80));
    controller.tick();
    EXPECT_EQ(takeWrites(), kInhibitWrites);
    EXPECT_EQ(controller.status(), Status::holding);
    EXPECT_EQ(controller.detail(), QStringLiteral("At 80% — inhibit requested (IsCharging may lag briefly)."));

    settle(heldAtLimitSnap(80));
    controller.tick();
    EXPECT_TRUE(takeWrites().empty());
    EXPECT_EQ(controller.detail(), QStringLiteral("Holding near 80% with the charger connected."));

    settle(heldAtLimitSnap(79));
    controller.tick();
    EXPECT_TRUE(takeWrites().empty());
    EXPECT_EQ(controller.status(), Status::holding);
    EXPECT_EQ(controller.detail(), QStringLiteral("Holding near 80%."));

    settle(heldAtLimitSnap(78));
    controller.tick();
    EXPECT_EQ(takeWrites(), kAutoWrites);
    EXPECT_EQ(controller.status(), Status::chargingToLimit);
    EXPECT_EQ(controller.detail(), QStringLiteral("Charging toward 80%."));

    settle(chargingSnap(79));
    controller.tick();
    EXPECT_TRUE(takeWrites().empty());
    EXPECT_EQ(controller.detail(), QStringLiteral("Approaching 80%."));
}

TEST_F(ChargeControllerOnStoreTest, UnpluggingWhileInhibitedWritesAutomaticAtTheNextTick)
{
    settle(heldAtLimitSnap(85));
    controller.tick();
    EXPECT_EQ(takeWrites(), kInhibitWrites);

    settle(onBatterySnap(85));
    controller.tick();
    EXPECT_EQ(takeWrites(), kAutoWrites);
    EXPECT_EQ(controller.status(), Status::onBattery);
    EXPECT_EQ(controller.statusLine(), QStringLiteral("Charger not connected"));
}

TEST_F(ChargeControllerOnStoreTest, ForceFullSwitchesItselfOffAt99)
{
    settle(chargingSnap(98));
    controller.setForceFullCharge(true);
    EXPECT_EQ(controller.status(), Status::chargeToFull);
    EXPECT_EQ(takeWrites(), kAutoWrites);

    settle(chargingSnap(99));
    controller.tick();
    EXPECT_FALSE(controller.forceFullCharge());
    EXPECT_EQ(defaults.boolValue(QStringLiteral("pendrapro.chargeLimit.forceFull")), false);
    EXPECT_EQ(controller.status(), Status::holding);
    EXPECT_EQ(takeWrites(), kInhibitWrites);
}

TEST_F(ChargeControllerOnStoreTest, TurnOffTextLastsUntilTheNextTick)
{
    settle(heldAtLimitSnap(85));
    controller.tick();
    controller.turnOff();
    EXPECT_EQ(controller.detail(), QStringLiteral("Charge management off — macOS controls charging."));
    takeWrites();

    controller.tick();
    EXPECT_EQ(controller.detail(), QStringLiteral("Turn on “Manage charging” to hold 80% on AC."));
    EXPECT_TRUE(takeWrites().empty());
}

TEST_F(ChargeControllerOnStoreTest, DesktopHasNoInternalBattery)
{
    settle(desktopSnap());
    controller.tick();
    EXPECT_EQ(controller.status(), Status::unsupported);
    EXPECT_EQ(controller.detail(), QStringLiteral("No internal battery."));
}
