#pragma once

#include "power/bat_snap.h"
#include "support/qt_printers.h"

#include <optional>
#include <ostream>

// Tests spell readings and snapshots with designated initializers; every field
// left out is meant to be absent.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

// Readable gtest failure messages for battery readings and snapshots.
namespace battery_printing {

template <typename T>
void field(std::ostream *out, const char *name, const std::optional<T> &value)
{
    if (value)
        *out << ' ' << name << '=' << *value;
}

inline void packs(std::ostream *out, const QList<BatteryPack> &list)
{
    for (const BatteryPack &pack : list) {
        *out << " pack{" << pack.name.toStdString();
        field(out, "level", pack.level);
        field(out, "health", pack.health);
        field(out, "cycles", pack.cycles);
        *out << '}';
    }
}

} // namespace battery_printing

inline void PrintTo(const BatSourceReading &r, std::ostream *out)
{
    using battery_printing::field;
    *out << '{' << r.name.toStdString();
    field(out, "present", r.present);
    field(out, "level", r.level);
    field(out, "charging", r.charging);
    field(out, "onAC", r.onAC);
    field(out, "chargeW", r.chargeW);
    field(out, "adapterW", r.adapterW);
    field(out, "minutes", r.minutes);
    field(out, "cycles", r.cycles);
    field(out, "health", r.health);
    field(out, "rawMax", r.rawMax);
    field(out, "design", r.design);
    field(out, "rawCurrent", r.rawCurrent);
    field(out, "amperageMA", r.amperageMA);
    field(out, "voltageMV", r.voltageMV);
    battery_printing::packs(out, r.packs);
    *out << " }";
}

inline void PrintTo(const BatSnap &s, std::ostream *out)
{
    using battery_printing::field;
    *out << "{present=" << s.present << " level=" << s.level << " charging=" << s.charging << " onAC=" << s.onAC
         << " chargeW=" << s.chargeW << " adapterW=" << s.adapterW;
    field(out, "minutes", s.minutes);
    field(out, "cycles", s.cycles);
    field(out, "health", s.health);
    field(out, "rawMax", s.rawMax);
    field(out, "design", s.design);
    field(out, "rawCurrent", s.rawCurrent);
    field(out, "amperageMA", s.amperageMA);
    field(out, "voltageMV", s.voltageMV);
    battery_printing::packs(out, s.packs);
    *out << " sources=\"" << s.sourcesLabel.toStdString() << "\" }";
}
