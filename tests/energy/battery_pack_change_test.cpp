// A pack taken out while the app runs: the level jumps to the remaining
// pack's, and neither the drain history nor the alerts may read that as
// energy used.

#include "energy/drain_alert_monitor.h"
#include "energy/drain_log.h"
#include "fakes/power_store_harness.h"
#include "fakes/recording_notifications.h"
#include "platform/defaults.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

BatSnap withPacks(BatSnap snap, const QList<BatteryPack> &packs)
{
    snap.packs = packs;
    return snap;
}

TEST(BatteryPackChange, ARemovedPackIsNoDrainAndNoAlert)
{
    QTemporaryDir dir;
    Defaults defaults(dir.filePath(QStringLiteral("defaults.json")));
    PowerStoreHarness h;
    DrainLog log(dir.filePath(QStringLiteral("drain.jsonl")), defaults, h.clock, [](int) { return 1; });
    RecordingNotifications notifications;
    DrainAlertMonitor alerts(defaults, h.clock, notifications, [] { return QStringLiteral("cc1plus"); });
    alerts.setEnabled(true);
    h.store.setPowerLogSink(&log);
    h.store.setDrainObserver(&alerts);
    log.noteTop(QStringLiteral("cc1plus"), 40, 180);

    const QList<BatteryPack> both = {{"Internal", 20, 95, 215}, {"External", 80, 93, 487}};
    // Two points drained with both packs, the external one pulled, one more
    // point drained on the internal pack alone. A level shows after three
    // polls that agree.
    const auto poll = [&](const BatSnap &snap) {
        for (int agreeing = 0; agreeing < 3; ++agreeing) {
            h.publish(snap);
            h.clock.advance(30);
        }
    };
    for (int level : {66, 65, 64})
        poll(withPacks(onBatterySnap(level), both));
    for (int level : {20, 19})
        poll(onBatterySnap(level));
    log.waitForWrites();

    EXPECT_EQ(h.store.levelPercent(), 19);
    EXPECT_TRUE(notifications.posted.isEmpty());
    EXPECT_EQ(log.whyDrainAnalysis()().dropPercent, 3);
}

} // namespace
