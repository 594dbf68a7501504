#include "charge/charge_limit_controller.h"
#include "fakes/fake_smc_user_client.h"
#include "fakes/power_store_harness.h"
#include "platform/defaults.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {

using Status = ChargeLimitStatus;

const QString kEnabledKey = QStringLiteral("pendrapro.chargeLimit.enabled");
const QString kPercentKey = QStringLiteral("pendrapro.chargeLimit.percent");
const QString kForceFullKey = QStringLiteral("pendrapro.chargeLimit.forceFull");
const QString kDischargeKey = QStringLiteral("pendrapro.chargeLimit.discharge");

const std::vector<FakeSmcWrite> kAutoWrites{{"CH0I", 0}, {"CH0C", 0}, {"CH0B", 0}};
const std::vector<FakeSmcWrite> kInhibitWrites{{"CH0I", 0}, {"CH0C", 2}, {"CH0B", 2}};
const std::vector<FakeSmcWrite> kDischargeWrites{{"CH0I", 1}, {"CH0C", 0}, {"CH0B", 0}};

// A controller over the real power store, a recording SMC and settings in a
// temporary file. The battery state reaches the store as polls deliver it.
class ChargeControllerTest : public ::testing::Test
{
protected:
    void SetUp() override { defaults = std::make_unique<Defaults>(dir.filePath(QStringLiteral("defaults.json"))); }

    ChargeSMC &smc()
    {
        if (!m_smc)
            m_smc = std::make_unique<ChargeSMC>(client);
        return *m_smc;
    }

    ChargeLimitController &controller()
    {
        if (!m_controller)
            m_controller = std::make_unique<ChargeLimitController>(harness.store, smc(), *defaults);
        return *m_controller;
    }

    // Polls until the store shows the snapshot's level: within one power
    // mode the shown level moves only after repeated sightings.
    void settle(const BatSnap &snap)
    {
        harness.applyBattery(snap);
        for (int poll = 0; poll < 20 && harness.store.levelPercent() != snap.level; ++poll)
            harness.applyBattery(snap);
        ASSERT_EQ(harness.store.levelPercent(), snap.level);
    }

    void plugIn(int level, bool charging = false) { settle(charging ? chargingSnap(level) : heldAtLimitSnap(level)); }
    void unplug(int level) { settle(onBatterySnap(level)); }

    // SMC key writes since the last call.
    std::vector<FakeSmcWrite> takeWrites()
    {
        std::vector<FakeSmcWrite> taken(client.writes.begin() + m_seenWrites, client.writes.end());
        m_seenWrites = client.writes.size();
        return taken;
    }

    QTemporaryDir dir;
    std::unique_ptr<Defaults> defaults;
    PowerStoreHarness harness;
    FakeSmcUserClient client;

private:
    std::unique_ptr<ChargeSMC> m_smc;
    std::unique_ptr<ChargeLimitController> m_controller;
    std::size_t m_seenWrites = 0;
};

} // namespace


TEST_F(ChargeControllerTest, StoredLimitIsClampedAndNonIntegersFallBackTo80)
{
    struct Case { const char *stored; double expected; };
    const Case cases[] = {
        {"30", 50}, {"50", 50}, {"85", 85}, {"100", 100}, {"250", 100}, {"-4", 50},
        {"70.0", 70}, {"72.5", 80}, {"\"90\"", 80}, {"true", 80},
    };
    for (const Case &c : cases) {
        const QString file = dir.filePath(QStringLiteral("stored.json"));
        writeFile(file, "{\"pendrapro.chargeLimit.percent\": " + QByteArray(c.stored) + "}");
        Defaults stored(file);
        ChargeLimitController fresh(harness.store, smc(), stored);
        EXPECT_EQ(fresh.limitPercent(), c.expected) << c.stored;
    }
}

TEST_F(ChargeControllerTest, StoredSettingsAreRead)
{
    defaults->setBool(kEnabledKey, false);
    defaults->setBool(kForceFullKey, true);
    defaults->setBool(kDischargeKey, true);
    ChargeLimitController &c = controller();
    EXPECT_FALSE(c.isEnabled());
    EXPECT_TRUE(c.forceFullCharge());
    EXPECT_TRUE(c.forceDischarge());
}

TEST_F(ChargeControllerTest, SliderValueIsRoundedClampedAndStoredAsInteger)
{
    struct Case
    {
        double set;
        double published;
    };
    const Case cases[] = {{72.6, 73}, {72.5, 73}, {72.4, 72}, {30, 50}, {49.5, 50}, {100.4, 100}, {140, 100}};
    for (const Case &c : cases) {
        controller().setLimitPercent(c.set);
        EXPECT_EQ(controller().limitPercent(), c.published) << c.set;
        EXPECT_EQ(defaults->intValue(kPercentKey), (long long)c.published) << c.set;
    }
}

TEST_F(ChargeControllerTest, HoldsAtLimitAndReleasesTwoPointsBelow)
{
    plugIn(80, true);
    ChargeLimitController &c = controller();
    c.tick();
    EXPECT_EQ(takeWrites(), kInhibitWrites);
    EXPECT_EQ(c.status(), Status::holding);

    // One point below, the inhibit it applied keeps holding.
    plugIn(79);
    c.tick();
    EXPECT_TRUE(takeWrites().empty());
    EXPECT_EQ(c.status(), Status::holding);

    plugIn(78);
    c.tick();
    EXPECT_EQ(takeWrites(), kAutoWrites);
    EXPECT_EQ(c.status(), Status::chargingToLimit);
}

TEST_F(ChargeControllerTest, OverridesExcludeEachOtherAndAreStored)
{
    plugIn(60, true);
    controller().setForceFullCharge(true);
    EXPECT_EQ(controller().status(), Status::chargeToFull);
    EXPECT_EQ(defaults->boolValue(kForceFullKey), true);

    takeWrites();
    controller().setForceDischarge(true);
    EXPECT_FALSE(controller().forceFullCharge());
    EXPECT_TRUE(controller().forceDischarge());
    EXPECT_EQ(defaults->boolValue(kForceFullKey), false);
    EXPECT_EQ(defaults->boolValue(kDischargeKey), true);
    EXPECT_EQ(controller().status(), Status::discharging);
    EXPECT_EQ(takeWrites(), kDischargeWrites);

    controller().setForceFullCharge(true);
    EXPECT_FALSE(controller().forceDischarge());
    EXPECT_EQ(defaults->boolValue(kDischargeKey), false);
    EXPECT_EQ(controller().status(), Status::chargeToFull);
}

TEST_F(ChargeControllerTest, ForceFullSwitchesItselfOffAt99AndLimitHandlingResumes)
{
    plugIn(98, true);
    controller().setForceFullCharge(true);
    takeWrites();
    QSignalSpy overrideSpy(&controller(), &ChargeLimitController::forceFullChargeChanged);
    plugIn(99, true);
    controller().tick();
    EXPECT_EQ(overrideSpy.count(), 1);
    EXPECT_FALSE(controller().forceFullCharge());
    EXPECT_EQ(defaults->boolValue(kForceFullKey), false);
    EXPECT_EQ(controller().status(), Status::holding);
    // The nested tick wrote inhibit; the outer one found it applied.
    EXPECT_EQ(takeWrites(), kInhibitWrites);
}

TEST_F(ChargeControllerTest, DisabledWritesAutomaticOnce)
{
    defaults->setBool(kEnabledKey, false);
    plugIn(90);
    controller().start();
    controller().tick();
    EXPECT_EQ(takeWrites(), kAutoWrites);
    EXPECT_EQ(controller().status(), Status::off);
}

TEST_F(ChargeControllerTest, DisablingEndsOverridesAndStoresEverything)
{
    plugIn(60);
    controller().setForceDischarge(true);
    controller().setEnabled(false);
    EXPECT_FALSE(controller().forceDischarge());
    EXPECT_EQ(defaults->boolValue(kEnabledKey), false);
    EXPECT_EQ(defaults->boolValue(kForceFullKey), false);
    EXPECT_EQ(defaults->boolValue(kDischargeKey), false);
    EXPECT_EQ(client.keyValues(), (std::map<QString, int>{{"CH0I", 0}, {"CH0C", 0}, {"CH0B", 0}}));
}

TEST_F(ChargeControllerTest, StopOverrideEndsBothAndResumesTheLimit)
{
    plugIn(90);
    controller().setForceDischarge(true);
    controller().stopOverride();
    EXPECT_FALSE(controller().forceDischarge());
    EXPECT_FALSE(controller().forceFullCharge());
    EXPECT_EQ(controller().status(), Status::holding);
    EXPECT_EQ(client.keyValues(), (std::map<QString, int>{{"CH0I", 0}, {"CH0C", 2}, {"CH0B", 2}}));
}

TEST_F(ChargeControllerTest, TurnOffTextLastsUntilTheNextTickWithoutFurtherWrites)
{
    plugIn(85);
    controller().setForceDischarge(true);
    takeWrites();

    controller().turnOff();
    EXPECT_EQ(controller().status(), Status::off);
    EXPECT_EQ(controller().modeDescription(), QStringLiteral("Automatic"));
    EXPECT_EQ(controller().detail(), QStringLiteral("Charge management off — the system controls charging."));
    // Automatic from the disabling tick, then once more directly.
    std::vector<FakeSmcWrite> expected = kAutoWrites;
    expected.insert(expected.end(), kAutoWrites.begin(), kAutoWrites.end());
    EXPECT_EQ(takeWrites(), expected);

    controller().tick();
    EXPECT_EQ(controller().detail(), QStringLiteral("Turn on “Manage charging” to hold 80% on AC."));
    EXPECT_TRUE(takeWrites().empty());
}

TEST_F(ChargeControllerTest, WithoutControllerEveryTickIsRowOneWithoutWrites)
{
    client.hasService = false;
    plugIn(90);
    ChargeLimitController &c = controller();
    EXPECT_EQ(c.backendName(), QStringLiteral("Unavailable"));
    c.start();
    c.setForceDischarge(true);
    EXPECT_EQ(c.status(), Status::unsupported);
    EXPECT_EQ(c.modeDescription(), QStringLiteral("Automatic"));
    EXPECT_EQ(c.detail(), QStringLiteral("Charge control not available: this battery's driver offers no charge_behaviour."));
    EXPECT_TRUE(client.inputs.empty());
}

TEST_F(ChargeControllerTest, FailedInhibitShowsTheErrorAndIsRetried)
{
    client.failKey("CH0C", {kSmcReturnNotPrivileged, 0});
    plugIn(85);
    ChargeLimitController &c = controller();
    c.tick();
    const QString refused = QStringLiteral("Charge control needs write access to charge_behaviour — see the README's Charge management.");
    EXPECT_EQ(c.lastError(), refused);
    EXPECT_EQ(c.status(), Status::unsupported);
    EXPECT_EQ(c.detail(), refused);
    EXPECT_EQ(c.modeDescription(), QStringLiteral("Automatic"));

    const std::size_t sent = client.inputs.size();
    c.tick();
    EXPECT_GT(client.inputs.size(), sent);

    client.clearFailures();
    QSignalSpy errorSpy(&c, &ChargeLimitController::lastErrorChanged);
    c.tick();
    EXPECT_EQ(c.lastError(), std::nullopt);
    EXPECT_EQ(errorSpy.count(), 1);
    EXPECT_EQ(c.status(), Status::holding);
    EXPECT_EQ(client.keyValues(), (std::map<QString, int>{{"CH0I", 0}, {"CH0C", 2}, {"CH0B", 2}}));
}

TEST_F(ChargeControllerTest, FailedAutomaticKeepsTheRowAndIsRetried)
{
    client.failKey("CH0B", {kSmcReturnSuccess, 0x84});
    unplug(60);
    ChargeLimitController &c = controller();
    c.tick();
    EXPECT_EQ(c.lastError(), QStringLiteral("The battery driver refused the charge mode"));
    EXPECT_EQ(c.status(), Status::onBattery);

    client.clearFailures();
    c.tick();
    EXPECT_EQ(c.lastError(), std::nullopt);
    EXPECT_EQ(client.keyValues().at("CH0B"), 0);
}

TEST_F(ChargeControllerTest, FailedTurnOffIsNotTakenAsApplied)
{
    plugIn(85);
    controller().tick();
    client.failKey("CH0C", {kSmcReturnError, 0});
    controller().turnOff();
    EXPECT_EQ(controller().lastError(), QStringLiteral("The battery driver refused the charge mode"));

    client.clearFailures();
    takeWrites();
    controller().tick();
    EXPECT_EQ(takeWrites(), kAutoWrites);
    EXPECT_EQ(controller().lastError(), std::nullopt);
}

TEST_F(ChargeControllerTest, PublishesOnlyRealChanges)
{
    plugIn(85);
    ChargeLimitController &c = controller();
    c.tick();
    QSignalSpy status(&c, &ChargeLimitController::statusChanged);
    QSignalSpy detail(&c, &ChargeLimitController::detailChanged);
    QSignalSpy mode(&c, &ChargeLimitController::modeDescriptionChanged);
    QSignalSpy backend(&c, &ChargeLimitController::backendNameChanged);
    QSignalSpy line(&c, &ChargeLimitController::statusLineChanged);
    QSignalSpy enabled(&c, &ChargeLimitController::isEnabledChanged);
    QSignalSpy limit(&c, &ChargeLimitController::limitPercentChanged);
    c.tick();
    c.setEnabled(true);
    EXPECT_EQ(status.count() + detail.count() + mode.count() + backend.count() + line.count() + enabled.count(), 0);

    c.setLimitPercent(90);
    c.setLimitPercent(90.2);
    EXPECT_EQ(limit.count(), 1) << "a value that rounds to the same limit is no change";
    EXPECT_EQ(status.count(), 1);
    EXPECT_EQ(detail.count(), 1);
    EXPECT_EQ(mode.count(), 1);
    // The new limit while still holding, then the tick's new status.
    EXPECT_EQ(line.count(), 2);
    EXPECT_EQ(c.statusLine(), QStringLiteral("Charging to 90%"));
    EXPECT_EQ(backend.count(), 0);
}

TEST_F(ChargeControllerTest, StartTicksAtOnceAndThenWithEveryPublishOfTheStore)
{
    plugIn(85);
    ChargeLimitController &c = controller();
    c.start();
    EXPECT_TRUE(c.findChildren<QTimer *>().isEmpty()) << "no wakeups of its own";
    EXPECT_EQ(c.status(), Status::holding);

    harness.publish(onBatterySnap(85));
    EXPECT_EQ(c.status(), Status::onBattery);
}
