// The probe on the real upowerd, for every recorded sysfs tree: its merged
// snapshot must tell what upowerd tells about the same machine.

#include "support/test_files.h"
#include "support/test_paths.h"
#include "support/upower_testbed.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
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

// 0 where the attribute is missing.
double microUnits(const QString &supplyDir, const char *attribute)
{
    return readFile(supplyDir + QLatin1Char('/') + QLatin1String(attribute)).trimmed().toDouble();
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

// What upowerd says about the machine's battery: the one pack, or the display
// device where there are several.
struct UpowerBattery
{
    QVariantMap device;
    QList<QVariantMap> packs;
    double watts = 0; // at the measured voltage
    std::optional<bool> online;
};

std::optional<UpowerBattery> upowerBattery(const UpowerTestbed &testbed, const QString &tree)
{
    UpowerBattery battery;
    for (const QVariantMap &device : testbed.devices()) {
        const uint type = device.value(QStringLiteral("Type")).toUInt();
        // An empty bay is a battery device too, but not one to compare.
        if (type == kBattery && device.value(QStringLiteral("PowerSupply")).toBool()
            && device.value(QStringLiteral("IsPresent")).toBool()) {
            battery.packs.append(device);
            const QString supplyDir = tree + QStringLiteral("/class/power_supply/")
                + device.value(QStringLiteral("NativePath")).toString();
            battery.watts += device.value(QStringLiteral("EnergyRate")).toDouble() * measuredOverDesignVoltage(supplyDir);
        }
        if (type == kLinePower)
            battery.online = battery.online.value_or(false) || device.value(QStringLiteral("Online")).toBool();
    }
    if (battery.packs.isEmpty())
        return std::nullopt;
    battery.device = battery.packs.size() == 1 ? battery.packs.constFirst() : testbed.displayDevice();
    return battery;
}

void expectAgreement(const QJsonObject &snapshot, const UpowerBattery &battery)
{
    const auto upower = [&](const char *name) { return battery.device.value(QLatin1String(name)); };
    const uint state = upower("State").toUInt();

    EXPECT_TRUE(snapshot.value(QStringLiteral("present")).toBool());
    EXPECT_NEAR(snapshot.value(QStringLiteral("level")).toDouble(), upower("Percentage").toDouble(), 1);
    EXPECT_EQ(snapshot.value(QStringLiteral("charging")).toBool(), state == kCharging);
    if (battery.online) {
        EXPECT_EQ(snapshot.value(QStringLiteral("onAC")).toBool(), *battery.online);
    }
    EXPECT_NEAR(snapshot.value(QStringLiteral("chargeW")).toDouble(), battery.watts, 0.03 * battery.watts);

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

    const QJsonArray packs = snapshot.value(QStringLiteral("packs")).toArray();
    ASSERT_EQ(packs.size(), battery.packs.size() == 1 ? 0 : battery.packs.size());
    for (qsizetype i = 0; i < packs.size(); ++i) {
        EXPECT_NEAR(packs.at(i).toObject().value(QStringLiteral("level")).toDouble(),
                    battery.packs.at(i).value(QStringLiteral("Percentage")).toDouble(), 1);
    }
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
    const std::optional<UpowerBattery> battery = upowerBattery(testbed, tree);
    // With several packs the sysfs reading alone must tell the same as the
    // display device, as the UPower reading does.
    QList<QStringList> runs = {{}};
    if (battery && battery->packs.size() > 1)
        runs.append({QStringLiteral("--sysfs-root"), tree});
    for (const QStringList &run : runs) {
        SCOPED_TRACE(run.isEmpty() ? "UPower and sysfs" : "sysfs only");
        const auto output = testbed.run(TestPaths::probeBinary(),
                                        QStringList{QStringLiteral("--json"), QStringLiteral("--polls"),
                                                    QStringLiteral("0")}
                                            + run);
        ASSERT_TRUE(output) << testbed.problem().toStdString();
        const QJsonObject snapshot =
            QJsonDocument::fromJson(*output).object().value(QStringLiteral("snapshot")).toObject();
        if (battery)
            expectAgreement(snapshot, *battery);
        else
            EXPECT_FALSE(snapshot.value(QStringLiteral("present")).toBool());
    }
}

INSTANTIATE_TEST_SUITE_P(RecordedTrees, ProbeOnUpowerd, ::testing::ValuesIn(treeNames()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
