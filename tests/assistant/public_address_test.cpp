#include "assistant/public_address.h"

#include <gtest/gtest.h>

#include <QHostAddress>

namespace {

TEST(PublicAddress, OnlyGlobalUnicastCounts)
{
    const struct
    {
        const char *address;
        bool isPublic;
    } cases[] = {
        {"93.184.215.14", true},
        {"0.0.0.0", false},
        {"127.0.0.2", false},
        {"10.20.30.40", false},
        {"100.64.0.1", false},
        {"100.128.0.1", true},
        {"169.254.169.254", false},
        {"172.16.0.1", false},
        {"172.32.0.1", true},
        {"192.168.1.1", false},
        {"198.18.0.1", false},
        {"224.0.0.1", false},
        {"255.255.255.255", false},
        {"2606:2800:220:1::1", true},
        {"::", false},
        {"::1", false},
        {"::ffff:127.0.0.1", false},
        {"::ffff:93.184.215.14", true},
        {"64:ff9b::a00:1", false},
        {"2002:c0a8:101::1", false},
        {"2002:5db8:d70e::1", true},
        {"fc00::1", false},
        {"fd12:3456::1", false},
        {"fe80::1", false},
        {"ff02::1", false},
        {"2001:db8::1", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isPublicAddress(QHostAddress(QString::fromLatin1(c.address))), c.isPublic) << c.address;
    EXPECT_FALSE(isPublicAddress(QHostAddress()));
}

} // namespace
