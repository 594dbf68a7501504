#pragma once

class QHostAddress;

// Whether `address` is a unicast address on the public internet. Loopback,
// link-local, private, shared (carrier-grade NAT), multicast, reserved and
// unspecified addresses are not, and neither is an IPv6 address that
// carries an IPv4 address (mapped, NAT64, 6to4) that is not. Pure, so that a
// link in a model's reply cannot reach this machine or its network.
bool isPublicAddress(const QHostAddress &address);
