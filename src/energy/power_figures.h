#pragma once

class PowerStore;

// The power store's published figures that decide what is attributed to
// processes.
struct PowerFigures
{
    bool batteryPresent = false;
    bool onAC = false;
    bool charging = false;
    double chargeWatts = 0; // W, battery power, never negative
    double packageWatts = 0; // W, whole chip
};

// The figures as the store publishes them now. Main thread.
PowerFigures powerFiguresOf(const PowerStore &store);

// W to spread over the processes: the battery's draw while it alone powers
// the machine (and draws more than 0.2 W), otherwise the package power; never
// negative.
double attributableWatts(const PowerFigures &power);
