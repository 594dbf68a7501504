#include "assistant/public_address.h"

#include <QHostAddress>

#include <array>
#include <cstdint>

namespace {

struct Ip4Block
{
    quint32 base;
    int prefixLength;

    bool contains(quint32 address) const
    {
        const quint32 mask = prefixLength == 0 ? 0 : ~quint32(0) << (32 - prefixLength);
        return (address & mask) == base;
    }
};

// IANA special-purpose blocks that no public server uses.
constexpr std::array kNonPublicIp4 = {
    Ip4Block{0x00000000, 8}, // "this network"
    Ip4Block{0x0a000000, 8}, // private
    Ip4Block{0x64400000, 10}, // shared address space (carrier-grade NAT)
    Ip4Block{0x7f000000, 8}, // loopback
    Ip4Block{0xa9fe0000, 16}, // link-local, cloud metadata services
    Ip4Block{0xac100000, 12}, // private
    Ip4Block{0xc0000000, 24}, // protocol assignments
    Ip4Block{0xc0000200, 24}, // documentation
    Ip4Block{0xc0a80000, 16}, // private
    Ip4Block{0xc6120000, 15}, // benchmarking
    Ip4Block{0xc6336400, 24}, // documentation
    Ip4Block{0xcb007100, 24}, // documentation
    Ip4Block{0xe0000000, 3}, // multicast, reserved and broadcast
};

bool isPublicIp4(quint32 address)
{
    for (const Ip4Block &block : kNonPublicIp4) {
        if (block.contains(address))
            return false;
    }
    return true;
}

quint32 ip4At(const Q_IPV6ADDR &bytes, int offset)
{
    return quint32(bytes[offset]) << 24 | quint32(bytes[offset + 1]) << 16 | quint32(bytes[offset + 2]) << 8
           | quint32(bytes[offset + 3]);
}

bool startsWith(const Q_IPV6ADDR &bytes, std::initializer_list<quint8> prefix)
{
    int i = 0;
    for (const quint8 byte : prefix) {
        if (bytes[i++] != byte)
            return false;
    }
    return true;
}

bool isPublicIp6(const Q_IPV6ADDR &bytes)
{
    // ::ffff:a.b.c.d reaches the IPv4 address itself; 64:ff9b::a.b.c.d
    // through NAT64; 2002:aabb:ccdd:: through a 6to4 relay.
    if (startsWith(bytes, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff})
        || startsWith(bytes, {0x00, 0x64, 0xff, 0x9b, 0, 0, 0, 0, 0, 0, 0, 0}))
        return isPublicIp4(ip4At(bytes, 12));
    if (startsWith(bytes, {0x20, 0x02}))
        return isPublicIp4(ip4At(bytes, 2));
    // Only 2000::/3 is handed out as global unicast; documentation's
    // 2001:db8::/32 lies inside it.
    if ((bytes[0] & 0xe0) != 0x20)
        return false;
    return !startsWith(bytes, {0x20, 0x01, 0x0d, 0xb8});
}

} // namespace

bool isPublicAddress(const QHostAddress &address)
{
    switch (address.protocol()) {
    case QAbstractSocket::IPv4Protocol:
        return isPublicIp4(address.toIPv4Address());
    case QAbstractSocket::IPv6Protocol:
        return isPublicIp6(address.toIPv6Address());
    default:
        return false;
    }
}
