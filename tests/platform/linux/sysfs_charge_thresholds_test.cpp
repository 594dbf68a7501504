#include "platform/linux/sysfs_charge_thresholds.h"

#include "fakes/fake_sysfs_files.h"
#include "fakes/fake_upower_service.h"
#include "support/event_loop.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <map>

namespace {

// A /sys tree in a temporary folder with one battery, BAT0, and the given
// attributes.
class Battery
{
public:
    explicit Battery(const std::map<QString, QByteArray> &attributes)
    {
        writeFile(directory() + QStringLiteral("type"), "Battery\n");
        for (const auto &[name, value] : attributes)
            writeFile(directory() + name, value);
    }

    QString root() const { return m_dir.path(); }
    QString directory() const { return m_dir.path() + QStringLiteral("/class/power_supply/BAT0/"); }

    static int read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : -1;
    }

private:
    QTemporaryDir m_dir;
};

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
        {"both",
         {{"charge_control_start_threshold", "75\n"}, {"charge_control_end_threshold", "80\n"}},
         ChargeThresholdValues{75, 80}},
        {"end only", {{"charge_control_end_threshold", "100\n"}}, ChargeThresholdValues{std::nullopt, 100}},
        {"start only", {{"charge_control_start_threshold", "75\n"}}, std::nullopt},
        {"garbled end", {{"charge_control_end_threshold", "full\n"}}, std::nullopt},
        {"none", {}, std::nullopt},
    };
    for (const Case &c : cases) {
        Battery battery(c.attributes);
        SysfsChargeThresholds thresholds(battery.root());
        EXPECT_EQ(thresholds.read(), c.values) << c.name;
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
    const QString start = QStringLiteral("charge_control_start_threshold");
    const QString end = QStringLiteral("charge_control_end_threshold");
    const Case cases[] = {
        {{95, 100}, {78, 80}, {start, end}},
        {{78, 80}, {88, 90}, {end, start}},
        {{0, 100}, {48, 50}, {start, end}},
        {{48, 50}, {0, 100}, {end, start}},
        {{78, 80}, {76, 80}, {start}},
        {{78, 80}, {78, 80}, {}},
    };
    for (const Case &c : cases) {
        Battery battery({{start, QByteArray::number(*c.from.start)}, {end, QByteArray::number(c.from.end)}});
        QStringList order;
        FakeSysfsFiles files;
        // As the drivers do: a start at or above the end is refused.
        files.answerWrite = [&](const QString &path, const QByteArray &value) {
            const QString attribute = QFileInfo(path).fileName();
            const int other = Battery::read(battery.directory() + (attribute == start ? end : start));
            if (attribute == start ? value.toInt() >= other : value.toInt() <= other)
                return EINVAL;
            order << attribute;
            writeFile(path, value);
            return 0;
        };
        SysfsChargeThresholds thresholds(battery.root(), files);
        EXPECT_EQ(thresholds.write(c.to), 0) << c.to.end;
        EXPECT_EQ(order, c.order) << c.to.end;
        EXPECT_EQ(thresholds.read(), c.to);
    }
}

TEST(SysfsChargeThresholds, EveryPackIsWrittenAndTheMostPermissiveIsRead)
{
    const QString start = QStringLiteral("charge_control_start_threshold");
    const QString end = QStringLiteral("charge_control_end_threshold");
    Battery internal({{start, "0\n"}, {end, "100\n"}});
    const QString external = internal.root() + QStringLiteral("/class/power_supply/BAT1/");
    writeFile(external + QStringLiteral("type"), "Battery\n");
    writeFile(external + start, "0\n");
    writeFile(external + end, "100\n");
    SysfsChargeThresholds thresholds(internal.root());

    EXPECT_EQ(thresholds.write({75, 80}), 0);
    EXPECT_EQ(Battery::read(internal.directory() + end), 80);
    EXPECT_EQ(Battery::read(external + end), 80);
    EXPECT_EQ(Battery::read(external + start), 75);
    EXPECT_EQ(thresholds.read(), (ChargeThresholdValues{75, 80}));

    // Another tool lifts the external pack's limit: the machine charges fully.
    writeFile(external + end, "100\n");
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
    Battery battery(std::map<QString, QByteArray>{{"charge_control_end_threshold", "100\n"}});
    const QDBusConnection client =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("thresholds-client"));
    upower.setDevices({{QStringLiteral("battery_BAT0"),
                        {{QStringLiteral("Type"), 2u}, {QStringLiteral("ChargeThresholdSupported"), true}}}});
    SysfsChargeThresholds thresholds(battery.root());
    EXPECT_FALSE(thresholds.desktopCanHoldLimit());
    thresholds.askDesktop(client);
    EXPECT_TRUE(spinUntil([&] { return thresholds.desktopCanHoldLimit(); }));
}
