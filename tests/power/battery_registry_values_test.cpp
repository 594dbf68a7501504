#include "power/battery_registry_values.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct IntegerCase
{
    const char *what;
    RegistryValue value;
    std::optional<qint64> entryInteger;
    std::optional<qint64> dictionaryInteger;
};

TEST(BatteryRegistryValues, IntegersAcceptOnlyTheNumberKindsOfTheirPlace)
{
    const IntegerCase cases[] = {
        {"number object", RegistryValue::numberObject(4382), 4382, 4382},
        {"negative number object", RegistryValue::numberObject(-1200), -1200, -1200},
        {"32-bit number reads as signed 32-bit", RegistryValue::cfNumber(-5), -5, std::nullopt},
        {"plain integer belongs in dictionaries", RegistryValue::integer(77), std::nullopt, 77},
        {"boolean is no integer", RegistryValue::boolean(true), std::nullopt, std::nullopt},
        {"string is no integer", RegistryValue::string(QStringLiteral("4382")), std::nullopt, std::nullopt},
        {"dictionary is no integer", RegistryValue::dictionary({}), std::nullopt, std::nullopt},
    };
    for (const IntegerCase &c : cases) {
        EXPECT_EQ(registryInteger(&c.value), c.entryInteger) << c.what;
        EXPECT_EQ(dictionaryInteger(&c.value), c.dictionaryInteger) << c.what;
    }
    EXPECT_EQ(registryInteger(nullptr), std::nullopt);
    EXPECT_EQ(dictionaryInteger(nullptr), std::nullopt);
}

TEST(BatteryRegistryValues, BooleansAreNumberObjectsOrBooleans)
{
    struct Case { const char *what; RegistryValue value; std::optional<bool> expected; };
    const Case cases[] = {
        {"true", RegistryValue::boolean(true), true},
        {"false", RegistryValue::boolean(false), false},
        {"non-zero number object", RegistryValue::numberObject(2), true},
        {"zero number object", RegistryValue::numberObject(0), false},
        {"32-bit number", RegistryValue::cfNumber(1), std::nullopt},
        {"string", RegistryValue::string(QStringLiteral("Yes")), std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(registryBoolean(&c.value), c.expected) << c.what;
    EXPECT_EQ(registryBoolean(nullptr), std::nullopt);
}

TEST(BatteryRegistryValues, SignedQuantitiesRecoverNegativeBitPatterns)
{
    struct Case { const char *what; RegistryValue value; std::optional<qint64> expected; };
    const Case cases[] = {
        {"plain negative", RegistryValue::numberObject(-1000), -1000},
        {"64-bit pattern of -1000", RegistryValue::numberObjectBits(18446744073709550616ull), -1000},
        {"32-bit pattern of -1000 in 64 bits", RegistryValue::numberObjectBits(4294966296ull), -1000},
        {"at the limit", RegistryValue::numberObject(50000), 50000},
        {"beyond the limit both ways", RegistryValue::numberObject(50001), std::nullopt},
        {"low bits beyond the limit too", RegistryValue::numberObjectBits(0x00000001'00010000ull), std::nullopt},
        {"32-bit number", RegistryValue::cfNumber(-2500), -2500},
        {"32-bit number beyond the limit", RegistryValue::cfNumber(60000), std::nullopt},
        {"smallest 64-bit value", RegistryValue::numberObject(std::numeric_limits<qint64>::min()), 0},
        {"string", RegistryValue::string(QStringLiteral("-1000")), std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(registrySignedQuantity(&c.value, 50000), c.expected) << c.what;
}

TEST(BatteryRegistryValues, WidenedIntegersAreRepairedOnlyWhenTheLowBitsArePlausible)
{
    EXPECT_EQ(repairWidenedInteger(-12000, 499999), -12000);
    EXPECT_EQ(repairWidenedInteger(4294955296LL, 499999), -12000);
    EXPECT_EQ(repairWidenedInteger(4294967295LL + 600000, 499999), 4294967295LL + 600000);
}

TEST(BatteryRegistryValues, NarrowingDropsValuesBeyondInt)
{
    EXPECT_EQ(fitInt(qint64(2147483647)), 2147483647);
    EXPECT_EQ(fitInt(qint64(-2147483648LL)), -2147483647 - 1);
    EXPECT_EQ(fitInt(qint64(2147483648LL)), std::nullopt);
    EXPECT_EQ(fitInt(std::nullopt), std::nullopt);
}

TEST(BatteryRegistryValues, PercentagesRoundHalfAwayAndClamp)
{
    EXPECT_EQ(percentOf(3600, 4500), 80);
    EXPECT_EQ(percentOf(1, 8), 13); // 12.5
    EXPECT_EQ(percentOf(5000, 4500), 100);
    EXPECT_EQ(percentOf(-10, 4500), 0);
}

} // namespace
