#include "charge/charge_smc.h"
#include "fakes/fake_smc_user_client.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<FakeSmcWrite> sentCommands(const FakeSmcUserClient &client)
{
    std::vector<FakeSmcWrite> sent;
    for (const SmcRecord &record : client.inputs) {
        const SmcKeyCommand command = readKeyCommand(record);
        sent.push_back({smcKeyName(command.key), command.firstByte});
    }
    return sent;
}

} // namespace

TEST(SmcRecord, WriteRecordHasEveryFieldAtItsOffset)
{
    const SmcRecord record = makeWriteKeyRecord(kSmcKeyCH0C, 2);
    SmcRecord expected{};
    // Key, little-endian: 0x43483043.
    expected[0] = 0x43;
    expected[1] = 0x30;
    expected[2] = 0x48;
    expected[3] = 0x43;
    expected[28] = 1; // data size, 32-bit
    expected[42] = 6; // write key
    expected[48] = 2; // data byte 0
    for (std::size_t i = 0; i < kSmcRecordSize; ++i)
        EXPECT_EQ(int(record[i]), int(expected[i])) << "offset " << i;
    EXPECT_EQ(record.size(), 80u);
}

// The connection is opened once and kept; a mode asked again is written again.
TEST(ChargeSMC, WritesEachModesKeysInOrderOverOneConnection)
{
    const std::pair<ChargeSMCMode, std::vector<FakeSmcWrite>> steps[] = {
        {ChargeSMCMode::automatic, {{"CH0I", 0}, {"CH0C", 0}, {"CH0B", 0}}},
        {ChargeSMCMode::inhibit, {{"CH0I", 0}, {"CH0C", 2}, {"CH0B", 2}}},
        {ChargeSMCMode::inhibit, {{"CH0I", 0}, {"CH0C", 2}, {"CH0B", 2}}},
        {ChargeSMCMode::forceDischarge, {{"CH0I", 1}, {"CH0C", 0}, {"CH0B", 0}}},
    };
    FakeSmcUserClient client;
    ChargeSMC smc(client);
    ASSERT_TRUE(smc.isAvailable());
    EXPECT_EQ(client.releasedServices, 1);
    for (const auto &[mode, writes] : steps) {
        client.writes.clear();
        EXPECT_TRUE(smc.apply(mode));
        EXPECT_EQ(client.writes, writes) << int(mode);
        EXPECT_FALSE(smc.lastError().has_value());
    }
    EXPECT_EQ(client.openCalls, 1);
    EXPECT_EQ(client.inputs.size(), 12u);
}

TEST(ChargeSMC, FailureOnSecondKeyKeepsFirstThenResetsAllThreeAndReportsIt)
{
    FakeSmcUserClient client;
    ChargeSMC smc(client);
    client.failKey("CH0C", {kSmcReturnSuccess, 132});

    EXPECT_FALSE(smc.apply(ChargeSMCMode::forceDischarge));

    const std::vector<FakeSmcWrite> sent{{"CH0I", 1}, {"CH0C", 0}, {"CH0I", 0}, {"CH0C", 0}, {"CH0B", 0}};
    EXPECT_EQ(sentCommands(client), sent);
    const std::vector<FakeSmcWrite> accepted{{"CH0I", 1}, {"CH0I", 0}, {"CH0B", 0}};
    EXPECT_EQ(client.writes, accepted);
    EXPECT_EQ(smc.lastError(), QStringLiteral("The battery driver refused the charge mode"));
}

TEST(ChargeSMC, FailureTextsNameTheReturnCodeAndResultUntilTheNextSuccess)
{
    struct Case
    {
        FakeSmcUserClient::Failure failure;
        const char *text;
    };
    const Case cases[] = {
        {{kSmcReturnNotPrivileged, 0}, "Charge control needs write access to charge_behaviour — see the README's Charge management."},
        {{kSmcReturnError, 0}, "The battery driver refused the charge mode"},
        {{kSmcReturnSuccess, 0x89}, "The battery driver refused the charge mode"},
    };
    for (const Case &c : cases) {
        FakeSmcUserClient client;
        ChargeSMC smc(client);
        client.failKey("CH0I", c.failure);
        EXPECT_FALSE(smc.apply(ChargeSMCMode::inhibit));
        EXPECT_EQ(smc.lastError(), QString::fromUtf8(c.text));
        client.clearFailures();
        EXPECT_TRUE(smc.apply(ChargeSMCMode::inhibit));
        EXPECT_EQ(smc.lastError(), std::nullopt) << "a success clears the error";
    }
}

TEST(ChargeSMC, WithoutServiceReportsNotFoundUntilTheFirstApply)
{
    FakeSmcUserClient client;
    client.hasService = false;
    ChargeSMC smc(client);

    EXPECT_FALSE(smc.isAvailable());
    EXPECT_EQ(smc.lastError(), QStringLiteral("No battery offers charge_behaviour"));
    EXPECT_EQ(client.openCalls, 0);

    EXPECT_FALSE(smc.apply(ChargeSMCMode::automatic));
    EXPECT_EQ(smc.lastError(), QStringLiteral("Charge control unavailable"));
    EXPECT_TRUE(client.inputs.empty());
}

TEST(ChargeSMC, RefusedOpenNamesTheCodeReleasesTheServiceAndIsNotRetried)
{
    FakeSmcUserClient client;
    client.openReturn = kSmcReturnNotPrivileged;
    ChargeSMC smc(client);

    EXPECT_FALSE(smc.isAvailable());
    EXPECT_EQ(smc.lastError(), QStringLiteral("Charge control needs write access to charge_behaviour — see the README's Charge management."));
    EXPECT_EQ(client.releasedServices, 1);

    EXPECT_FALSE(smc.apply(ChargeSMCMode::inhibit));
    EXPECT_FALSE(smc.apply(ChargeSMCMode::inhibit));
    EXPECT_EQ(client.openCalls, 1);
    EXPECT_TRUE(client.inputs.empty());
}
