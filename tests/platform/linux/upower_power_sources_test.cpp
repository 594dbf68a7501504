#include "platform/linux/upower_power_sources.h"

#include "fakes/fake_upower_service.h"
#include "platform/serial_queue.h"
#include "support/event_loop.h"

#include "support/battery_printers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

using namespace std::chrono_literals;

namespace {

constexpr uint kLinePower = 1;
constexpr uint kBattery = 2;
constexpr uint kMouse = 5;
constexpr uint kCharging = 1;
constexpr uint kDischarging = 2;

QVariantMap device(uint type, bool powerSupply, double percentage, uint state, qint64 toEmpty, qint64 toFull)
{
    return {{QStringLiteral("Type"), type},
            {QStringLiteral("PowerSupply"), powerSupply},
            {QStringLiteral("IsPresent"), true},
            {QStringLiteral("Percentage"), percentage},
            {QStringLiteral("State"), state},
            {QStringLiteral("TimeToEmpty"), toEmpty},
            {QStringLiteral("TimeToFull"), toFull}};
}

// The backend blocks on the bus, as it does on the power store's work queue;
// the test thread keeps its event loop turning meanwhile.
QList<PowerSourceDescription> readOnWorkQueue(UPowerPowerSources &sources)
{
    SerialQueue queue("pendrapro.power");
    QList<PowerSourceDescription> result;
    std::atomic<bool> done{false};
    queue.post([&] {
        result = sources.copyPowerSources();
        done = true;
    });
    EXPECT_TRUE(spinUntil([&] { return done.load(); }, 10000));
    return result;
}

QDBusConnection clientConnection()
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("upower-client"));
}

class UPowerPowerSourcesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "needs a session bus (run under dbus-run-session)";
        ASSERT_TRUE(m_service.start());
    }

    FakeUPowerService m_service;
};

// A power state the daemon does not give (its OnBattery read fails) is left
// out rather than taken for one.
TEST_F(UPowerPowerSourcesTest, PresentsTheSystemBatteryWithPowerSourceKeys)
{
    m_service.setDevices({
        {QStringLiteral("line_power_AC"), device(kLinePower, true, 0, 0, 0, 0)},
        {QStringLiteral("mouse_hidpp_battery_0"), device(kMouse, false, 40, kDischarging, 0, 0)},
        {QStringLiteral("battery_hidpp_headset"), device(kBattery, false, 30, kDischarging, 0, 0)},
        {QStringLiteral("battery_BAT0"), device(kBattery, true, 76.4, kDischarging, 15120, 0)},
    });
    for (const std::optional<bool> onBattery : {std::optional<bool>(true), std::optional<bool>()}) {
        SCOPED_TRACE(onBattery ? "on battery" : "power state unknown");
        m_service.setOnBattery(onBattery);
        UPowerPowerSources sources(clientConnection(), 2000ms);
        const QList<PowerSourceDescription> list = readOnWorkQueue(sources);
        ASSERT_EQ(list.size(), 1);
        PowerSourceDescription expected = {
            {QStringLiteral("Type"), QStringLiteral("InternalBattery")},
            {QStringLiteral("Name"), QStringLiteral("InternalBattery-0")},
            {QStringLiteral("Current Capacity"), 76},
            {QStringLiteral("Max Capacity"), 100},
            {QStringLiteral("Is Charging"), false},
            {QStringLiteral("Time to Empty"), qint64(252)},
            {QStringLiteral("Time to Full Charge"), qint64(0)},
        };
        if (onBattery)
            expected.insert(QStringLiteral("Power Source State"), QStringLiteral("Battery Power"));
        EXPECT_EQ(list.first(), expected);
    }
}

TEST_F(UPowerPowerSourcesTest, AsksEachDeviceOnceThenFollowsItsSignals)
{
    const FakeUPowerService::Device ac{QStringLiteral("line_power_AC"), device(kLinePower, true, 0, 0, 0, 0)};
    const FakeUPowerService::Device bat0{QStringLiteral("battery_BAT0"), device(kBattery, true, 76, kDischarging, 600, 0)};
    const FakeUPowerService::Device bat1{QStringLiteral("battery_BAT1"), device(kBattery, true, 40, kDischarging, 600, 0)};
    m_service.setOnBattery(true);
    m_service.setDevices({ac, bat0});
    UPowerPowerSources sources(clientConnection(), 2000ms);
    EXPECT_EQ(readOnWorkQueue(sources).size(), 1);
    EXPECT_EQ(m_service.callCount(), 4); // the list, OnBattery and two devices
    readOnWorkQueue(sources);
    EXPECT_EQ(m_service.callCount(), 4); // the battery is kept, line power is never a battery

    // The daemon signals a battery's change; the next poll has it without asking.
    const FakeUPowerService::Device bat0Later{QStringLiteral("battery_BAT0"),
                                              device(kBattery, true, 75, kDischarging, 540, 0)};
    m_service.setDevices({ac, bat0Later});
    EXPECT_TRUE(spinUntil([&] {
        return readOnWorkQueue(sources).value(0).value(QStringLiteral("Current Capacity")) == 75;
    }));
    EXPECT_EQ(m_service.callCount(), 4);

    m_service.setDevices({ac, bat0Later, bat1});
    EXPECT_TRUE(spinUntil([&] { return readOnWorkQueue(sources).size() == 2; }));
    m_service.setOnBattery(false);
    EXPECT_TRUE(spinUntil([&] {
        return readOnWorkQueue(sources).value(0).value(QStringLiteral("Power Source State")) == QStringLiteral("AC Power");
    }));
}

TEST_F(UPowerPowerSourcesTest, SeveralPacksAreTheDisplayDeviceWithEachPacksDetails)
{
    QVariantMap internal = device(kBattery, true, 94, 0, 0, 0);
    internal.insert({{QStringLiteral("NativePath"), QStringLiteral("BAT0")},
                     {QStringLiteral("Capacity"), 94.8},
                     {QStringLiteral("ChargeCycles"), 215}});
    QVariantMap external = device(kBattery, true, 29, kDischarging, 7660, 0);
    external.insert({{QStringLiteral("NativePath"), QStringLiteral("BAT1")}, {QStringLiteral("ChargeCycles"), -1}});
    m_service.setOnBattery(true);
    m_service.setDevices({{QStringLiteral("battery_BAT0"), internal},
                          {QStringLiteral("battery_BAT1"), external},
                          {QStringLiteral("DisplayDevice"), device(kBattery, true, 45.5, kDischarging, 16117, 0)}});
    UPowerPowerSources sources(clientConnection(), 2000ms);
    const QList<PowerSourceDescription> list = readOnWorkQueue(sources);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.first().value(QStringLiteral("Current Capacity")), 46);
    EXPECT_EQ(list.first().value(QStringLiteral("Time to Empty")), qint64(269));
    const QVariantList packs = {
        QVariantMap{{QStringLiteral("Name"), QStringLiteral("BAT0")},
                    {QStringLiteral("Current Capacity"), 94},
                    {QStringLiteral("Health"), 95},
                    {QStringLiteral("Cycle Count"), qint64(215)}},
        QVariantMap{{QStringLiteral("Name"), QStringLiteral("BAT1")}, {QStringLiteral("Current Capacity"), 29}},
    };
    EXPECT_EQ(list.first().value(QStringLiteral("Packs")), packs);
}

// The read's watchdog is far shorter than D-Bus's 25-second default, so a call
// that ignored the budget would fail the read.
TEST_F(UPowerPowerSourcesTest, AHungDaemonCostsOneCallWithinTheBudget)
{
    m_service.setDevices({{QStringLiteral("battery_BAT0"), device(kBattery, true, 54, kCharging, 0, 5880)}});
    m_service.setSilent(true);
    UPowerPowerSources sources(clientConnection(), 300ms);
    EXPECT_TRUE(readOnWorkQueue(sources).isEmpty());
    EXPECT_EQ(m_service.callCount(), 1); // no further calls once the budget is spent
}

TEST(UPowerPowerSources, NoDaemonOrNoBusMeansNoSources)
{
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "needs a session bus (run under dbus-run-session)";
    // The bus answers at once for a name nobody owns: a budget longer than the
    // read's watchdog is never spent.
    UPowerPowerSources withoutDaemon(clientConnection(), 60s);
    EXPECT_TRUE(readOnWorkQueue(withoutDaemon).isEmpty());

    UPowerPowerSources withoutBus(QDBusConnection(QStringLiteral("never-connected")), 2000ms);
    EXPECT_TRUE(withoutBus.copyPowerSources().isEmpty());
}

TEST(UPowerDevicePresentation, PropertyRules)
{
    struct Case { const char *what; QVariantMap device; std::optional<bool> onBattery; QStringList keys; };
    const QVariantMap base = device(kBattery, true, 87.5, 0, 0, 0);
    QVariantMap nan = base;
    nan[QStringLiteral("Percentage")] = std::nan("");
    QVariantMap wrongType = base;
    wrongType[QStringLiteral("Percentage")] = QStringLiteral("87");
    QVariantMap noTimes = base;
    noTimes.remove(QStringLiteral("TimeToEmpty"));
    noTimes.remove(QStringLiteral("TimeToFull"));
    const Case cases[] = {
        {"unknown state has no charging flag", base, std::nullopt,
         {"Current Capacity", "Max Capacity", "Name", "Time to Empty", "Time to Full Charge", "Type"}},
        {"NaN percentage", nan, true,
         {"Name", "Power Source State", "Time to Empty", "Time to Full Charge", "Type"}},
        {"percentage of the wrong type", wrongType, false,
         {"Name", "Power Source State", "Time to Empty", "Time to Full Charge", "Type"}},
        {"no times", noTimes, std::nullopt, {"Current Capacity", "Max Capacity", "Name", "Type"}},
    };
    for (const Case &c : cases) {
        QStringList keys = powerSourceFromUPowerDevice(c.device, c.onBattery, 0).keys();
        keys.sort();
        EXPECT_EQ(keys, c.keys) << c.what;
    }
    EXPECT_EQ(powerSourceFromUPowerDevice(base, true, 2).value(QStringLiteral("Current Capacity")), 88);
    EXPECT_EQ(powerSourceFromUPowerDevice(base, true, 2).value(QStringLiteral("Name")), QStringLiteral("InternalBattery-2"));
}

} // namespace
