#pragma once

// A battery's power as the readers work it out from a current and a voltage.
inline double watts(double milliamps, double millivolts)
{
    return milliamps / 1000.0 * millivolts / 1000.0;
}
