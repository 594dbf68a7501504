#include "charge/charge_limit_controller.h"
#include "charge/firmware_charge_limit.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_smc_user_client.h"
#include "fakes/fake_sysfs_files.h"
#include "fakes/power_store_harness.h"
#include "platform/defaults.h"
#include "platform/linux/sysfs_charge_thresholds.h"
#include "platform/linux/sysfs_tree.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <optional>

namespace {

const QString kOriginalKey = QStringLiteral("pendrapro.chargeLimit.firmwareThresholds.v1");

// A /sys tree whose battery BAT0 offers an end threshold and, unless
// `start` is none, a start threshold.
class ThresholdBattery : public SysfsTree
{
public:
    ThresholdBattery(std::optional<int> start, int end)
    {
        set("type", "Battery");
        if (start)
            set("charge_control_start_threshold", QByteArray::number(*start));
        set("charge_control_end_threshold", QByteArray::number(end));
    }

    QString directory() const { return supply(QStringLiteral("BAT0")); }
    void set(const char *attribute, const QByteArray &value)
    {
        writeFile(directory() + QLatin1String(attribute), value + '\n');
    }
    // "start,end" as the firmware shows them now; a missing one is empty.
    QString shown() const
    {
        return QString::fromUtf8(read("charge_control_start_threshold") + ',' + read("charge_control_end_threshold"));
    }

private:
    QByteArray read(const char *attribute) const
    {
        const QString path = directory() + QLatin1String(attribute);
        return QFile::exists(path) ? readFile(path).trimmed() : QByteArray();
    }
};

class FirmwareChargeLimitTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
};

} // namespace

TEST_F(FirmwareChargeLimitTest, HoldsTheLimitWithTheStartHysteresisBelow)
{
    struct Case
    {
        std::optional<int> start;
        int limit;
        const char *shown;
    };
    const Case cases[] = {
        {0, 80, "78,80"},
        {std::nullopt, 80, ",80"},
    };
    for (const Case &c : cases) {
        ThresholdBattery battery(c.start, 100);
        SysfsChargeThresholds thresholds(battery.root());
        FirmwareChargeLimit firmware(thresholds, defaults);
        firmware.hold(c.limit);
        EXPECT_EQ(battery.shown(), QString::fromUtf8(c.shown)) << c.limit;
        EXPECT_EQ(firmware.problem(), std::nullopt);
        defaults.remove(kOriginalKey);
    }
}

TEST_F(FirmwareChargeLimitTest, ThresholdsADriverAddsLaterAreFoundWithinAMinute)
{
    ThresholdBattery battery(std::nullopt, 100);
    QFile::remove(battery.directory() + QStringLiteral("charge_control_end_threshold"));
    SysfsChargeThresholds thresholds(battery.root());
    FakeClock clock;
    FirmwareChargeLimit firmware(thresholds, defaults, clock);
    firmware.hold(80);

    battery.set("charge_control_end_threshold", "100");
    clock.advance(59);
    firmware.hold(80);
    EXPECT_EQ(battery.shown(), QStringLiteral(",100"));
    clock.advance(1);
    firmware.hold(80);
    EXPECT_EQ(battery.shown(), QStringLiteral(",80"));
}

TEST_F(FirmwareChargeLimitTest, ReleasePutsBackTheThresholdsFoundBeforeTheFirstWrite)
{
    ThresholdBattery battery(95, 100);
    SysfsChargeThresholds thresholds(battery.root());
    FirmwareChargeLimit firmware(thresholds, defaults);
    firmware.hold(80);
    firmware.limitChanged();
    firmware.hold(70);
    EXPECT_EQ(battery.shown(), QStringLiteral("68,70"));
    EXPECT_EQ(defaults.stringValue(kOriginalKey), QStringLiteral("95,100"));

    firmware.release(70);
    EXPECT_EQ(battery.shown(), QStringLiteral("95,100"));
    firmware.hold(80);
    EXPECT_EQ(defaults.stringValue(kOriginalKey), QStringLiteral("95,100"));
}

TEST_F(FirmwareChargeLimitTest, ThresholdAnEarlierRunWroteIsRestoredAsOurs)
{
    defaults.setString(kOriginalKey, QStringLiteral("95,100"));
    ThresholdBattery battery(78, 80);
    SysfsChargeThresholds thresholds(battery.root());
    FirmwareChargeLimit firmware(thresholds, defaults);
    firmware.release(80);
    EXPECT_EQ(battery.shown(), QStringLiteral("95,100"));
    EXPECT_EQ(firmware.problem(), std::nullopt);
}

TEST_F(FirmwareChargeLimitTest, AnotherToolsThresholdIsReportedAndLeftUntilTheLimitChanges)
{
    ThresholdBattery battery(95, 100);
    SysfsChargeThresholds thresholds(battery.root());
    FirmwareChargeLimit firmware(thresholds, defaults);
    firmware.hold(80);
    battery.set("charge_control_end_threshold", "60");

    firmware.hold(80);
    EXPECT_EQ(firmware.problem(), QStringLiteral("Another tool set the charge threshold to 60 %"));
    firmware.release(80);
    EXPECT_EQ(battery.shown(), QStringLiteral("78,60"));

    firmware.limitChanged();
    EXPECT_EQ(firmware.problem(), std::nullopt);
    firmware.hold(85);
    EXPECT_EQ(battery.shown(), QStringLiteral("83,85"));
}

TEST_F(FirmwareChargeLimitTest, RefusedWriteIsReportedAndNotRetriedForTheSameLimit)
{
    struct Case
    {
        int error;
        const char *problem;
    };
    const Case cases[] = {
        {EACCES, "The firmware limit needs write access to charge_control_end_threshold — "
                 "see the README's Charge management."},
        {EINVAL, "The battery's firmware refused a charge threshold of 85 %."},
    };
    for (const Case &c : cases) {
        ThresholdBattery battery(std::nullopt, 100);
        FakeSysfsFiles files;
        files.answerWrite = [&c](const QString &, const QByteArray &) { return c.error; };
        SysfsChargeThresholds thresholds(battery.root(), files);
        FirmwareChargeLimit firmware(thresholds, defaults);
        firmware.hold(85);
        firmware.hold(85);
        EXPECT_EQ(firmware.problem(), QString::fromUtf8(c.problem)) << c.error;
        EXPECT_EQ(files.writes, 1) << c.error;
        defaults.remove(kOriginalKey);
    }
}


TEST_F(FirmwareChargeLimitTest, ControllerWritesTheLimitLiftsItToChargeFullAndReportsAnotherTool)
{
    ThresholdBattery battery(95, 100);
    SysfsChargeThresholds thresholds(battery.root());
    PowerStoreHarness harness;
    for (int poll = 0; poll < 20 && harness.store.levelPercent() != 60; ++poll)
        harness.applyBattery(chargingSnap(60));
    FakeSmcUserClient client;
    ChargeSMC smc(client);
    ChargeLimitController controller(harness.store, smc, defaults, &thresholds);

    controller.tick();
    EXPECT_EQ(battery.shown(), QStringLiteral("78,80"));
    controller.setForceFullCharge(true);
    EXPECT_EQ(battery.shown(), QStringLiteral("98,100"));
    controller.stopOverride();
    EXPECT_EQ(battery.shown(), QStringLiteral("78,80"));

    battery.set("charge_control_end_threshold", "60");
    controller.tick();
    EXPECT_EQ(controller.detail(), QStringLiteral("Another tool set the charge threshold to 60 %"));
    EXPECT_EQ(controller.lastError(), QStringLiteral("Another tool set the charge threshold to 60 %"));
    controller.setLimitPercent(85);
    EXPECT_EQ(battery.shown(), QStringLiteral("83,85"));
    EXPECT_EQ(controller.detail(), QStringLiteral("Charging toward 85%."));
    EXPECT_EQ(controller.lastError(), std::nullopt);

    controller.turnOff();
    EXPECT_EQ(battery.shown(), QStringLiteral("95,100"));
}
