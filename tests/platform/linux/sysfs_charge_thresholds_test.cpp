#include "platform/linux/sysfs_charge_thresholds.h"

#include "fakes/fake_sysfs_files.h"
#include "fakes/fake_upower_service.h"
#include "platform/linux/sysfs_tree.h"
#include "support/event_loop.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <cerrno>
#include <map>

namespace {

const QString kStart = QStringLiteral("charge_control_start_threshold");
const QString kEnd = QStringLiteral("charge_control_end_threshold");

// A battery with the given attributes; returns its folder.
QString addBattery(SysfsTree &sysfs, std::map<QString, QByteArray> attributes,
                   const QString &name = QStringLiteral("BAT0"))
{
    attributes.emplace(QStringLiteral("type"), "Battery\n");
    return sysfs.addSupply(name, attributes);
}

} // namespace

TEST(SysfsChargeThresholds, ReadsBothThresholdsAndOnlyAnEndWhereThatIsAll)
{
    struct Case
    {
        const char *name;
        std::map<QString, QByteArray> attributes;
        std::optional<ChargeThresholdValues> values;
    };
    const Case cases[] = {
        {"both", {{kStart, "75\n"}, {kEnd, "80\n"}}, ChargeThresholdValues{75, 80}},
        {"end only", {{kEnd, "100\n"}}, ChargeThresholdValues{std::nullopt, 100}},
        {"start only", {{kStart, "75\n"}}, std::nullopt},
        {"garbled end", {{kEnd, "full\n"}}, std::nullopt},
        {"none", {}, std::nullopt},
    };
    for (const Case &c : cases) {
        SysfsTree sysfs;
        addBattery(sysfs, c.attributes);
        EXPECT_EQ(SysfsChargeThresholds(sysfs.root()).read(), c.values) << c.name;
    }
}

TEST(SysfsChargeThresholds, WritesInTheOrderThatKeepsStartBelowEnd)
{
    struct Case
    {
        ChargeThresholdValues from;
        ChargeThresholdValues to;
        QStringList order;
    };
    const Case cases[] = {
        {{95, 100}, {78, 80}, {kStart, kEnd}},
        {{78, 80}, {88, 90}, {kEnd, kStart}},
        {{0, 100}, {48, 50}, {kStart, kEnd}},
        {{48, 50}, {0, 100}, {kEnd, kStart}},
        {{78, 80}, {76, 80}, {kStart}},
        {{78, 80}, {78, 80}, {}},
    };
    for (const Case &c : cases) {
        SysfsTree sysfs;
        const QString battery =
            addBattery(sysfs, {{kStart, QByteArray::number(*c.from.start)}, {kEnd, QByteArray::number(c.from.end)}});
        QStringList order;
        FakeSysfsFiles files;
        // As the drivers do: a start at or above the end is refused.
        files.answerWrite = [&](const QString &path, const QByteArray &value) {
            const QString attribute = QFileInfo(path).fileName();
            const int other = readFile(battery + (attribute == kStart ? kEnd : kStart)).trimmed().toInt();
            if (attribute == kStart ? value.toInt() >= other : value.toInt() <= other)
                return EINVAL;
            order << attribute;
            writeFile(path, value);
            return 0;
        };
        SysfsChargeThresholds thresholds(sysfs.root(), files);
        EXPECT_EQ(thresholds.write(c.to), 0) << c.to.end;
        EXPECT_EQ(order, c.order) << c.to.end;
        EXPECT_EQ(thresholds.read(), c.to);
    }
}

TEST(SysfsChargeThresholds, EveryPackIsWrittenAndTheMostPermissiveIsRead)
{
    SysfsTree sysfs;
    const QString internal = addBattery(sysfs, {{kStart, "0\n"}, {kEnd, "100\n"}});
    const QString external = addBattery(sysfs, {{kStart, "0\n"}, {kEnd, "100\n"}}, QStringLiteral("BAT1"));
    SysfsChargeThresholds thresholds(sysfs.root());

    EXPECT_EQ(thresholds.write({75, 80}), 0);
    EXPECT_EQ(readFile(internal + kEnd).trimmed().toInt(), 80);
    EXPECT_EQ(readFile(external + kEnd).trimmed().toInt(), 80);
    EXPECT_EQ(readFile(external + kStart).trimmed().toInt(), 75);
    EXPECT_EQ(thresholds.read(), (ChargeThresholdValues{75, 80}));

    // Another tool lifts the external pack's limit: the machine charges fully.
    writeFile(external + kEnd, "100\n");
    EXPECT_EQ(thresholds.read(), (ChargeThresholdValues{75, 100}));
}

TEST(SysfsChargeThresholds, AsksUPowerWhetherTheDesktopCanHoldALimit)
{
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "needs a session bus (run under dbus-run-session)";
    EXPECT_EQ(upowerBatteryPath(QStringLiteral("macsmc-battery")),
              QStringLiteral("/org/freedesktop/UPower/devices/battery_macsmc_battery"));
    FakeUPowerService upower;
    ASSERT_TRUE(upower.start());
    SysfsTree sysfs;
    addBattery(sysfs, {{kEnd, "100\n"}});
    const QDBusConnection client =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("thresholds-client"));
    upower.setDevices({{QStringLiteral("battery_BAT0"),
                        {{QStringLiteral("Type"), 2u}, {QStringLiteral("ChargeThresholdSupported"), true}}}});
    SysfsChargeThresholds thresholds(sysfs.root());
    EXPECT_FALSE(thresholds.desktopCanHoldLimit());
    thresholds.askDesktop(client);
    EXPECT_TRUE(spinUntil([&] { return thresholds.desktopCanHoldLimit(); }));
}
