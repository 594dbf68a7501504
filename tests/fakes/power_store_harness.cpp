#include "fakes/power_store_harness.h"

void PowerStoreHarness::applyBattery(const BatSnap &snap)
{
    store.applyBattery(snap);
}

void PowerStoreHarness::publish(const BatSnap &snap, double packageWatts, const QString &source)
{
    PackageReading package;
    package.watts = packageWatts;
    package.source = source;
    store.publish(snap, package, false, {});
}

namespace {

BatSnap batterySnap(int level, bool charging, bool onAC, double chargeW)
{
    BatSnap snap;
    snap.present = true;
    snap.level = level;
    snap.charging = charging;
    snap.onAC = onAC;
    snap.chargeW = chargeW;
    snap.sourcesLabel = QStringLiteral("SMC + IOPS");
    snap.sourceNames = {QStringLiteral("SMC"), QStringLiteral("IOPS")};
    return snap;
}

} // namespace

BatSnap onBatterySnap(int level, double chargeW, std::optional<int> minutes)
{
    BatSnap snap = batterySnap(level, false, false, chargeW);
    snap.minutes = minutes;
    return snap;
}

BatSnap chargingSnap(int level, double chargeW)
{
    return batterySnap(level, true, true, chargeW);
}

BatSnap fullOnACSnap()
{
    return batterySnap(100, false, true, 0.0);
}

BatSnap heldAtLimitSnap(int level)
{
    return batterySnap(level, false, true, 0.0);
}

BatSnap desktopSnap()
{
    BatSnap snap;
    snap.onAC = true;
    return snap;
}
