#include "history/history_recorder.h"
#include "history/history_store.h"
#include "fakes/fake_clock.h"
#include "platform/defaults.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

// Noon, so the batches stay within one local day in any time zone.
const double kNoon = QDateTime(QDate(2026, 3, 10), QTime(12, 0)).toSecsSinceEpoch();

struct Recording
{
    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    FakeClock clock{kNoon};
    BatteryReading battery{true, false, 10, 4500, 5000, 200, std::nullopt};
    HistoryStore store{dir.filePath(QStringLiteral("history.sqlite")), defaults, clock};
    HistoryRecorder recorder{store, clock, [this] { return battery; }};

    void passes(int count)
    {
        for (int i = 0; i < count; ++i) {
            clock.advance(20);
            recorder.notePass({{QStringLiteral("firefox"), 3.6, 40}});
        }
    }
    AppEnergyReport today()
    {
        store.waitForWrites();
        std::optional<AppEnergyReport> report;
        store.loadApps(1, &store, [&report](const AppEnergyReport &loaded) { report = loaded; });
        EXPECT_TRUE(spinUntil([&] { return report.has_value(); }));
        return report.value_or(AppEnergyReport{});
    }
};

} // namespace

TEST(HistoryRecorder, WritesOneBatchEveryFiveMinutes)
{
    Recording recording;
    QSignalSpy written(&recording.store, &HistoryStore::changed);
    recording.recorder.notePass({});
    recording.passes(14); // 280 s
    EXPECT_TRUE(recording.today().apps.isEmpty());
    recording.passes(1); // 300 s: the batch is due
    const AppEnergyReport report = recording.today();
    ASSERT_EQ(report.apps.size(), 1);
    EXPECT_NEAR(report.apps[0].wattHours, 3.6 * 300 / 3600, 1e-9);
    EXPECT_NEAR(report.batteryWattHours, 10.0 * 300 / 3600, 1e-9);
    recording.passes(14);
    recording.today();
    EXPECT_EQ(written.size(), 1);
}

TEST(HistoryRecorder, SleepWritesTheBatchAtOnceAndCountsNothingWhileAsleep)
{
    Recording recording;
    recording.recorder.notePass({});
    recording.passes(3);
    recording.recorder.noteSleep();
    EXPECT_NEAR(recording.today().apps.value(0).wattHours, 3.6 * 60 / 3600, 1e-9);
    recording.clock.advance(3 * 3600);
    // The first pass after waking starts a new interval (and writes the
    // empty batch that was due); 15 more fill the next one.
    recording.passes(16);
    EXPECT_NEAR(recording.today().apps.value(0).wattHours, 3.6 * (60 + 300) / 3600, 1e-9);
}

TEST(HistoryStore, ClearRemovesEveryRowAndRetentionIsStored)
{
    Recording recording;
    recording.recorder.notePass({});
    recording.passes(2);
    recording.recorder.flush();
    ASSERT_FALSE(recording.today().apps.isEmpty());
    recording.store.clear();
    EXPECT_TRUE(recording.today().apps.isEmpty());

    recording.store.setAppRetentionDays(7);
    EXPECT_EQ(recording.defaults.intValue(HistoryStore::kRetentionKey), 7);
    recording.store.setAppRetentionDays(12);
    EXPECT_EQ(recording.store.appRetentionDays(), HistoryStore::kLongAppRetentionDays);
}
