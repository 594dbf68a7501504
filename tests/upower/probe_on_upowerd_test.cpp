// The probe on the real upowerd, for every recorded sysfs tree: its merged
// snapshot must tell what upowerd tells about the same machine.

#include "support/test_paths.h"
#include "support/upower_testbed.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

// UPower's device types and battery states.
constexpr uint kLinePower = 1;
constexpr uint kBattery = 2;
constexpr uint kCharging = 1;
constexpr uint kDischarging = 2;

const QString kTrees = TestPaths::fixtures() + QStringLiteral("/sysfs");

std::vector<std::string> treeNames()
{
    std::vector<std::string> names;
    for (const QString &name : QDir(kTrees).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        names.push_back(name.toStdString());
    return names;
}

double microUnits(const QString &supplyDir, const char *attribute)
{
    QFile file(supplyDir + QLatin1Char('/') + QLatin1String(attribute));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toDouble() : 0;
}

// upowerd turns a charge-unit battery's current into watts at the design
// voltage; the app uses the measured voltage, the power that really flows.
// The factor that puts upowerd's rate at the measured voltage.
double measuredOverDesignVoltage(const QString &supplyDir)
{
    if (QFile::exists(supplyDir + QStringLiteral("/power_now"))
        || !QFile::exists(supplyDir + QStringLiteral("/charge_now")))
        return 1;
    double design = microUnits(supplyDir, "voltage_max_design");
    if (design <= 0)
        design = microUnits(supplyDir, "voltage_min_design");
    const double now = microUnits(supplyDir, "voltage_now");
    return design > 0 && now > 0 ? now / design : 1;
}

class ProbeOnUpowerd : public ::testing::TestWithParam<std::string>
{
};

TEST_P(ProbeOnUpowerd, SnapshotAgreesWithUpowerd)
{
    const QString tree = kTrees + QLatin1Char('/') + QString::fromStdString(GetParam());
    UpowerTestbed testbed(tree);
    switch (testbed.start()) {
    case UpowerTestbed::Start::Running:
        break;
    case UpowerTestbed::Start::UpowerUnavailable:
        GTEST_SKIP() << "the real upowerd cannot run here: " << testbed.problem().toStdString();
    case UpowerTestbed::Start::BusFailed:
        FAIL() << testbed.problem().toStdString();
    }
    const auto output = testbed.run(TestPaths::probeBinary(),
                                    {QStringLiteral("--json"), QStringLiteral("--polls"), QStringLiteral("0")});
    ASSERT_TRUE(output) << testbed.problem().toStdString();
    const QJsonObject snapshot = QJsonDocument::fromJson(*output).object().value(QStringLiteral("snapshot")).toObject();

    std::optional<QVariantMap> battery;
    std::optional<bool> online;
    for (const QVariantMap &device : testbed.devices()) {
        const uint type = device.value(QStringLiteral("Type")).toUInt();
        // An empty bay is a battery device too, but not the one to compare.
        if (type == kBattery && device.value(QStringLiteral("PowerSupply")).toBool()
            && device.value(QStringLiteral("IsPresent")).toBool() && !battery)
            battery = device;
        if (type == kLinePower)
            online = online.value_or(false) || device.value(QStringLiteral("Online")).toBool();
    }
    if (!battery) {
        EXPECT_FALSE(snapshot.value(QStringLiteral("present")).toBool());
        return;
    }
    const auto upower = [&](const char *name) { return battery->value(QLatin1String(name)); };
    const uint state = upower("State").toUInt();

    EXPECT_TRUE(snapshot.value(QStringLiteral("present")).toBool());
    EXPECT_NEAR(snapshot.value(QStringLiteral("level")).toDouble(), upower("Percentage").toDouble(), 1);
    EXPECT_EQ(snapshot.value(QStringLiteral("charging")).toBool(), state == kCharging);
    if (online) {
        EXPECT_EQ(snapshot.value(QStringLiteral("onAC")).toBool(), *online);
    }

    const QString supplyDir = tree + QStringLiteral("/class/power_supply/") + upower("NativePath").toString();
    const double watts = upower("EnergyRate").toDouble() * measuredOverDesignVoltage(supplyDir);
    EXPECT_NEAR(snapshot.value(QStringLiteral("chargeW")).toDouble(), watts, 0.03 * watts);

    const qint64 seconds = state == kCharging      ? upower("TimeToFull").toLongLong()
                           : state == kDischarging ? upower("TimeToEmpty").toLongLong()
                                                   : 0;
    const QJsonValue minutes = snapshot.value(QStringLiteral("minutes"));
    if (seconds > 0) {
        ASSERT_TRUE(minutes.isDouble()) << "upowerd: " << seconds << " s";
        EXPECT_NEAR(minutes.toDouble(), seconds / 60.0, 0.08 * seconds / 60.0);
    } else {
        EXPECT_TRUE(minutes.isUndefined()) << "upowerd has no estimate, the probe says " << minutes.toDouble();
    }
}

INSTANTIATE_TEST_SUITE_P(RecordedTrees, ProbeOnUpowerd, ::testing::ValuesIn(treeNames()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
