#pragma once

#include "power/bat_snap.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

// A parser that breaks a promise of its interface is a finding like a crash:
// stop with the promise so that libFuzzer keeps the input.
inline void require(bool holds, const char *promise)
{
    if (!holds) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        std::abort();
    }
}

inline void requireSaneReading(const BatSourceReading &reading)
{
    if (reading.chargeW)
        require(std::isfinite(*reading.chargeW) && *reading.chargeW >= 0, "a reading's chargeW is a magnitude");
    if (reading.minutes)
        require(isValidMinutes(*reading.minutes), "a reading's minutes lie within 1-65534");
}

inline void requireSaneSnapshot(const BatSnap &snap)
{
    require(snap.level >= 0 && snap.level <= 100, "the merged level is a percentage");
    require(std::isfinite(snap.chargeW) && snap.chargeW >= 0, "the merged chargeW is a finite magnitude");
    require(std::isfinite(snap.adapterW) && snap.adapterW >= 0, "the merged adapterW is a finite magnitude");
    require(!snap.minutes || isValidMinutes(*snap.minutes), "the merged minutes lie within 1-65534");
    require(!snap.charging || snap.onAC, "a charging battery is on AC");
}
