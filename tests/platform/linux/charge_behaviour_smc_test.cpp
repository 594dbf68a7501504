#include "charge/charge_smc.h"
#include "fakes/fake_sysfs_files.h"
#include "platform/linux/charge_behaviour_smc.h"
#include "platform/linux/sysfs_tree.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>

namespace {

// A battery whose charge_behaviour shows `shown`; returns that attribute.
QString addBattery(SysfsTree &sysfs, const QByteArray &shown, const QString &name = QStringLiteral("BAT0"))
{
    return sysfs.addSupply(name, {{"type", "Battery\n"}, {"charge_behaviour", shown}}) + QStringLiteral("charge_behaviour");
}

// Answers writes the way a power_supply driver does: a value it offers
// becomes the bracketed one, anything else is EINVAL.
int driverWrite(const QString &path, const QByteArray &value)
{
    const ChargeBehaviourState state = parseChargeBehaviour(readFile(path));
    if (!state.supported.contains(QString::fromUtf8(value)))
        return EINVAL;
    QStringList shown;
    for (const QString &offered : state.supported)
        shown << (offered == QString::fromUtf8(value) ? QLatin1Char('[') + offered + QLatin1Char(']') : offered);
    writeFile(path, shown.join(QLatin1Char(' ')).toUtf8() + '\n');
    return 0;
}

} // namespace

TEST(ChargeBehaviourMapping, KeyTriplesSelectOneBehaviour)
{
    struct Case
    {
        ChargerKeys keys;
        const char *behaviour;
    };
    const Case cases[] = {
        {{0, 0, 0}, "auto"},
        {{0, 2, 2}, "inhibit-charge"},
        {{1, 0, 0}, "force-discharge"},
        // Halfway through a mode's writes.
        {{0, 2, 0}, "inhibit-charge"},
        {{0, 0, 2}, "inhibit-charge"},
        {{1, 2, 2}, "force-discharge"},
        {{1, 0, 2}, "force-discharge"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(chargeBehaviourFor(c.keys), QString::fromUtf8(c.behaviour))
            << int(c.keys.ch0i) << int(c.keys.ch0c) << int(c.keys.ch0b);
    for (const char *behaviour : {"auto", "inhibit-charge", "force-discharge"})
        EXPECT_EQ(chargeBehaviourFor(chargerKeysFor(QString::fromUtf8(behaviour))), QString::fromUtf8(behaviour));
    EXPECT_EQ(chargerKeysFor(QStringLiteral("inhibit-charge-awake")), ChargerKeys{});
}

TEST(ChargeBehaviourMapping, ParsesOfferedValuesAndTheBracketedActiveOne)
{
    struct Case
    {
        const char *text;
        QStringList supported;
        const char *active;
    };
    const Case cases[] = {
        {"[auto] inhibit-charge force-discharge\n", {"auto", "inhibit-charge", "force-discharge"}, "auto"},
        {"auto [inhibit-charge]", {"auto", "inhibit-charge"}, "inhibit-charge"},
        {"auto inhibit-charge\n", {"auto", "inhibit-charge"}, ""},
        {"", {}, ""},
        {"[] auto", {"auto"}, ""},
    };
    for (const Case &c : cases) {
        const ChargeBehaviourState state = parseChargeBehaviour(c.text);
        EXPECT_EQ(state.supported, c.supported) << c.text;
        EXPECT_EQ(state.active, QString::fromUtf8(c.active)) << c.text;
    }
}

TEST(ChargeBehaviourSmc, RealWritesReportTheErrnoThatMapsToAFailure)
{
    QTemporaryDir dir;
    EXPECT_EQ(SysfsFiles::real().write(dir.filePath(QStringLiteral("missing/charge_behaviour")), "auto"), ENOENT);
    EXPECT_EQ(SysfsFiles::real().write(dir.path(), "auto"), EISDIR);
}

TEST(ChargeBehaviourSmc, EveryModeLandsOnItsBehaviourWithoutNeedlessWrites)
{
    struct Step
    {
        ChargeSMCMode mode;
        const char *shown;
        int writes; // attribute writes this step
    };
    const Step steps[] = {
        {ChargeSMCMode::automatic, "[auto] inhibit-charge force-discharge\n", 0},
        {ChargeSMCMode::inhibit, "auto [inhibit-charge] force-discharge\n", 1},
        {ChargeSMCMode::inhibit, "auto [inhibit-charge] force-discharge\n", 0},
        {ChargeSMCMode::forceDischarge, "auto inhibit-charge [force-discharge]\n", 1},
        // CH0I = 0 first passes through automatic before CH0C = 2 inhibits.
        {ChargeSMCMode::inhibit, "auto [inhibit-charge] force-discharge\n", 2},
        {ChargeSMCMode::automatic, "[auto] inhibit-charge force-discharge\n", 1},
        {ChargeSMCMode::forceDischarge, "auto inhibit-charge [force-discharge]\n", 1},
        {ChargeSMCMode::automatic, "[auto] inhibit-charge force-discharge\n", 1},
    };
    SysfsTree sysfs;
    const QString attribute = addBattery(sysfs, "[auto] inhibit-charge force-discharge\n");
    FakeSysfsFiles files;
    files.answerWrite = driverWrite;
    ChargeBehaviourSmc client(sysfs.root(), files);
    ChargeSMC smc(client);
    int step = 0;
    for (const Step &s : steps) {
        const int before = files.writes;
        EXPECT_TRUE(smc.apply(s.mode)) << "step " << step;
        EXPECT_EQ(readFile(attribute), QByteArray(s.shown)) << "step " << step;
        EXPECT_EQ(files.writes - before, s.writes) << "step " << step;
        ++step;
    }
}

// Packs that disagree leave the machine in no one behaviour; every mode then
// lands on each pack, and a machine already there is not written again.
TEST(ChargeBehaviourSmc, EveryPackFollowsTheMode)
{
    SysfsTree sysfs;
    const QStringList packs = {
        addBattery(sysfs, "[auto] inhibit-charge\n"),
        addBattery(sysfs, "auto [inhibit-charge]\n", QStringLiteral("BAT1")),
    };
    FakeSysfsFiles files;
    files.answerWrite = driverWrite;
    ChargeBehaviourSmc client(sysfs.root(), files);
    ChargeSMC smc(client);

    for (const auto &[mode, shown] : {std::pair{ChargeSMCMode::inhibit, "auto [inhibit-charge]\n"},
                                      std::pair{ChargeSMCMode::automatic, "[auto] inhibit-charge\n"}}) {
        EXPECT_TRUE(smc.apply(mode));
        for (const QString &pack : packs)
            EXPECT_EQ(readFile(pack), QByteArray(shown));
        const int writes = files.writes;
        EXPECT_TRUE(smc.apply(mode));
        EXPECT_EQ(files.writes, writes);
    }
}

TEST(ChargeBehaviourSmc, EachWriteErrorBecomesItsFailureText)
{
    const QString needsAccess =
        QStringLiteral("Charge control needs write access to charge_behaviour — see the README's Charge management.");
    const QString refused = QStringLiteral("The battery driver refused the charge mode");
    SysfsTree sysfs;
    addBattery(sysfs, "[auto] inhibit-charge force-discharge\n");
    // Anything but a permission error is the driver turning the value down
    // (524 is the kernel's ENOTSUPP).
    for (const int error : {EACCES, EPERM, EINVAL, EOPNOTSUPP, 524, ENODEV, ENOENT, EIO, EBUSY}) {
        FakeSysfsFiles files;
        files.answerWrite = [error](const QString &, const QByteArray &) { return error; };
        ChargeBehaviourSmc client(sysfs.root(), files);
        ChargeSMC smc(client);
        EXPECT_FALSE(smc.apply(ChargeSMCMode::forceDischarge));
        EXPECT_EQ(smc.lastError(), error == EACCES || error == EPERM ? needsAccess : refused) << error;
    }
}

TEST(ChargeBehaviourSmc, BehaviourTheDriverLacksIsAnSmcErrorAndEndsAutomatic)
{
    SysfsTree sysfs;
    // Inhibited by an earlier run; this driver cannot force a discharge.
    const QString attribute = addBattery(sysfs, "auto [inhibit-charge]\n");
    FakeSysfsFiles files;
    files.answerWrite = driverWrite;
    ChargeBehaviourSmc client(sysfs.root(), files);
    ChargeSMC smc(client);

    EXPECT_FALSE(smc.apply(ChargeSMCMode::forceDischarge));
    EXPECT_EQ(smc.lastError(), QStringLiteral("The battery driver refused the charge mode"));
    EXPECT_EQ(readFile(attribute), QByteArray("[auto] inhibit-charge\n"));
}

// What ChargeSMC then reports is ChargeSMC.WithoutServiceReportsNotFoundUntilTheFirstApply.
TEST(ChargeBehaviourSmc, WithoutTheAttributeThereIsNoController)
{
    SysfsTree sysfs;
    sysfs.addSupply("BAT0", {{"type", "Battery\n"}, {"capacity", "80\n"}});
    for (const QString &root : {sysfs.root(), sysfs.root() + QStringLiteral("/nothing-here")}) {
        ChargeBehaviourSmc client(root);
        EXPECT_EQ(client.matchingService(kSmcServiceClass), 0u) << root.toStdString();
        EXPECT_FALSE(ChargeSMC(client).isAvailable());
    }
}

TEST(ChargeBehaviourSmc, AttributeGoneAfterOpenIsNoDevice)
{
    SysfsTree sysfs;
    const QString attribute = addBattery(sysfs, "[auto] inhibit-charge\n");
    ChargeBehaviourSmc client(sysfs.root());
    ChargeSMC smc(client);
    ASSERT_TRUE(QFile::remove(attribute));

    EXPECT_FALSE(smc.apply(ChargeSMCMode::inhibit));
    EXPECT_EQ(smc.lastError(), QStringLiteral("The battery driver refused the charge mode"));
}

TEST(ChargeBehaviourSmc, AnswersOnlyChargerKeyWritesOfOneByte)
{
    SysfsTree sysfs;
    addBattery(sysfs, "[auto] inhibit-charge\n");
    ChargeBehaviourSmc client(sysfs.root());
    const SmcHandle service = client.matchingService(kSmcServiceClass);
    ASSERT_NE(service, 0u);
    EXPECT_EQ(client.matchingService("IOPMPowerSource"), 0u);
    SmcHandle connection = 0;
    ASSERT_EQ(client.openService(service, kSmcConnectionType, connection), kSmcReturnSuccess);
    client.releaseService(service);

    struct Case
    {
        SmcRecord record;
        std::uint8_t result;
    };
    SmcRecord read = makeWriteKeyRecord(kSmcKeyCH0C, 2);
    read[SmcRecordOffset::command] = 5;
    SmcRecord wide = makeWriteKeyRecord(kSmcKeyCH0C, 2);
    wide[SmcRecordOffset::dataSize] = 2;
    const Case cases[] = {
        {makeWriteKeyRecord(smcKey("TB0T"), 1), kSmcResultKeyNotFound},
        {read, kSmcResultBadCommand},
        {wide, kSmcResultKeySizeMismatch},
        {makeWriteKeyRecord(kSmcKeyCH0C, 2), kSmcResultSuccess},
    };
    for (const Case &c : cases) {
        SmcRecord output{};
        EXPECT_EQ(client.callStructMethod(connection, kSmcSelectorKeyCommand, c.record, output), kSmcReturnSuccess);
        EXPECT_EQ(int(output[SmcRecordOffset::result]), int(c.result));
    }
    SmcRecord output{};
    EXPECT_EQ(client.callStructMethod(connection, 5, makeWriteKeyRecord(kSmcKeyCH0C, 2), output),
              kSmcReturnBadArgument);
}
