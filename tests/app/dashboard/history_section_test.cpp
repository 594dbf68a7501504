#include "app/dashboard/dashboard_customize_panel.h"
#include "app/dashboard/history_section.h"
#include "fakes/fake_clock.h"
#include "history/history_recorder.h"
#include "history/history_store.h"
#include "platform/defaults.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDateTime>
#include <QLabel>
#include <QTemporaryDir>

namespace {

const double kNoon = QDateTime(QDate(2026, 3, 10), QTime(12, 0)).toSecsSinceEpoch();

struct HistorySectionFixture
{
    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    FakeClock clock{kNoon};
    HistoryStore store{dir.filePath(QStringLiteral("history.sqlite")), defaults, clock};

    // Five minutes on battery at 12 W with these apps' watts.
    void record(const QList<AppEnergyAccumulator::Sample> &apps, int designMah = 5000)
    {
        HistoryRecorder recorder(store, clock, [designMah] {
            return BatteryReading{true, false, 12, 4600, designMah, 250, std::nullopt};
        });
        recorder.notePass(apps);
        for (int i = 0; i < 15; ++i) {
            clock.advance(20);
            recorder.notePass(apps);
        }
        recorder.flush();
        store.waitForWrites();
    }
    QString text(const HistorySectionContent &section, const char *name)
    {
        return section.findChild<QLabel *>(QString::fromLatin1(name))->text();
    }
};

} // namespace

TEST(HistorySection, ShowsEachAppsEnergyAndShareAndTheHealthAndExportsThem)
{
    HistorySectionFixture f;
    f.record({{QStringLiteral("firefox"), 6, 50}, {QStringLiteral("make"), 3, 90}});
    HistorySectionContent section(f.store);
    ASSERT_TRUE(spinUntil([&] { return section.appRows().size() == 2 && !section.health().isEmpty(); }));
    const QList<HistoryAppRow *> rows = section.appRows();
    EXPECT_EQ(rows[0]->name(), QStringLiteral("firefox"));
    EXPECT_EQ(rows[0]->energyText(), QStringLiteral("0.50 Wh"));
    EXPECT_EQ(rows[0]->shareText(), QStringLiteral("50%"));
    EXPECT_EQ(rows[1]->shareText(), QStringLiteral("25%"));
    EXPECT_EQ(f.text(section, "historyHealthLine"), QStringLiteral("92.0% of design · 250 cycles · since 10 Mar 2026"));
    EXPECT_EQ(section.healthSummary(), QStringLiteral("92% of design"));
    EXPECT_FALSE(section.findChild<QLabel *>(QStringLiteral("historyNoApps"))->isVisibleTo(&section));

    // The export writes both tables to the chosen file.
    const QString path = f.dir.filePath(QStringLiteral("export.csv"));
    ASSERT_TRUE(section.writeCsv(path));
    EXPECT_EQ(readFile(path), QByteArray("app,wh,share_percent,cpu_seconds\n"
                                         "firefox,0.5000,50.0,150.0\n"
                                         "make,0.2500,25.0,270.0\n"
                                         "\n"
                                         "day,health_percent,cycles\n"
                                         "2026-03-10,92.00,250\n"));
    EXPECT_FALSE(section.writeCsv(f.dir.filePath(QStringLiteral("missing/folder/export.csv"))));
}

TEST(HistorySection, TheSevenDayPickerAddsEarlierDaysAndNewBatchesShowUpOnceSeen)
{
    HistorySectionFixture f;
    f.record({{QStringLiteral("firefox"), 6, 50}});
    f.clock.advance(86400);
    HistorySectionContent section(f.store);
    section.show();
    ASSERT_TRUE(spinUntil([&] { return !section.health().isEmpty(); }));
    EXPECT_TRUE(section.appRows().isEmpty());
    EXPECT_TRUE(section.findChild<QLabel *>(QStringLiteral("historyNoApps"))->isVisibleTo(&section));

    section.findChild<SegmentedPicker *>(QStringLiteral("historySpanPicker"))->button(1)->click();
    ASSERT_TRUE(spinUntil([&] { return section.appRows().size() == 1; }));
    EXPECT_EQ(f.text(section, "historyAppsHeading"), QStringLiteral("Apps — 7 days"));

    f.record({{QStringLiteral("make"), 12, 50}});
    ASSERT_TRUE(spinUntil([&] { return section.appRows().size() == 2; }));
    EXPECT_EQ(section.appRows()[0]->name(), QStringLiteral("make"));

    // A closed dashboard asks for nothing until it is shown again.
    section.hide();
    f.record({{QStringLiteral("cc1plus"), 30, 50}});
    f.store.waitForWrites();
    QCoreApplication::processEvents();
    EXPECT_EQ(section.appRows().size(), 2);
    section.show();
    ASSERT_TRUE(spinUntil([&] { return section.appRows().size() == 3; }));
    EXPECT_EQ(section.appRows()[0]->name(), QStringLiteral("cc1plus"));
}

TEST(HistorySection, AFullDiskPausesTheHistoryWithANoteUntilAWriteSucceeds)
{
    QTemporaryDir dir;
    Defaults defaults(dir.filePath(QStringLiteral("defaults.json")));
    FakeClock clock(kNoon);
    // 24 pages: the tables' first pages fit, a day of 300 apps does not.
    HistoryStore store(dir.filePath(QStringLiteral("history.sqlite")), 24 * 4096, defaults, clock);
    HistorySectionContent section(store);
    section.show();
    auto *note = section.findChild<QLabel *>(QStringLiteral("historyNote"));
    EXPECT_FALSE(note->isVisibleTo(&section));

    HistoryBatch day;
    for (int hour = 0; hour < 24; ++hour) {
        for (int app = 0; app < 300; ++app)
            day.apps << AppHourEnergy{qint64(kNoon) - hour * 3600, QStringLiteral("process-%1").arg(app), 1, 1};
    }
    store.write(day);
    ASSERT_TRUE(spinUntil([&] { return note->isVisibleTo(&section); }));
    EXPECT_EQ(note->text(), HistoryStore::kDiskFullNote);

    store.write({{{qint64(kNoon), QStringLiteral("firefox"), 1, 1}}, {}});
    ASSERT_TRUE(spinUntil([&] { return !note->isVisibleTo(&section); }));
    EXPECT_TRUE(spinUntil([&] { return section.appRows().size() == 1; }));
}
