// Renders the dashboard in fixed states. Always checks the render; writes PNGs
// only when PENDRA_SCREENSHOTS_DIR names an output folder. Run it again with
// QT_SCALE_FACTOR=2 for the 2× images (the names then end in "@2x").
#include "app/dashboard/dashboard_customize_panel.h"
#include "app/dashboard/history_section.h"
#include "fakes/dashboard_fixture.h"
#include "support/event_loop.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QLayout>
#include <QPixmap>
#include <QScrollArea>

namespace {

ProcEnergy app(int id, const char *name, double cpu, double watts, double share)
{
    ProcEnergy process;
    process.id = id;
    process.name = QString::fromUtf8(name);
    process.cpuPercent = cpu;
    process.estimatedWatts = watts;
    process.powerShare = share;
    return process;
}

PackageReading sensorReading(double watts)
{
    PackageReading reading;
    reading.watts = watts;
    reading.source = QStringLiteral("sensor (3 domains)");
    reading.sample = SocPowerSample{watts * 0.55, watts * 0.18, 0.0, watts * 0.12, watts * 0.15};
    return reading;
}

// Enough polls for a watt history and settled smoothing.
void publishHistory(DashboardFixture &f, const BatSnap &snap, bool sensor)
{
    const double watts[] = {6.1, 7.9, 9.4, 8.2, 12.5, 10.1, 7.3, 6.8, 8.8, 11.2, 9.7, 7.4, 8.1, 10.6, 9.2, 7.9};
    for (double w : watts) {
        f.power.clock.advance(6);
        if (sensor)
            f.power.store.publish(snap, sensorReading(w), false, {});
        else
            f.power.publish(snap, w);
    }
}

WhyDrain drainedWhy()
{
    WhyDrain why;
    why.dropPercent = 7;
    why.windowLabel = QStringLiteral("last hour");
    why.culprits = {{QStringLiteral("firefox"), 0.62, QStringLiteral("62% of attributed energy samples")},
                    {QStringLiteral("code"), 0.21, QStringLiteral("21% of attributed energy samples")},
                    {QStringLiteral("pipewire"), 0.08, QStringLiteral("8% of attributed energy samples")}};
    why.summary = QStringLiteral("Battery dropped ~7% in the last hour; firefox used the most energy.");
    return why;
}

struct State
{
    const char *name;
    std::function<void(DashboardPrefs &)> layout;
    BatSnap snap;
    bool sensor;
    WhyDrain why;
    int width;
    int height; // 0: as tall as the content
    bool customize = false;
};

void render(const State &state)
{
    SCOPED_TRACE(state.name);
    DashboardFixture f;
    state.layout(*f.prefs);
    f.why = state.why;
    f.energy->publishTop({app(4121, "firefox", 92, 3.4, 0.46), app(2210, "code", 38, 1.2, 0.17),
                          app(977, "Xorg", 12, 0.6, 0.08), app(3301, "pipewire", 4, 0.2, 0.03),
                          app(1502, "gnome-shell", 9, 0.5, 0.07), app(15, "kworker/u16:2", 1, 0.04, 0.01)});
    publishHistory(f, state.snap, state.sensor);
    DashboardRoot &root = f.build({state.width, 560});
    root.show();
    ASSERT_TRUE(spinUntil([&] { return root.whyLoaded(); }));
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    if (state.height == 0) {
        auto *scroll = f.child<QScrollArea>("dashboardScroll");
        const int content = scroll->widget()->sizeHint().height();
        const int bar = f.child("fauxMenubar")->isHidden() ? 0 : 30;
        root.resize(state.width, content + bar + 2);
    } else {
        root.resize(state.width, state.height);
    }
    if (state.customize) {
        root.setCustomizeShown(true);
        QWidget *panel = f.child("customizePanel");
        ASSERT_TRUE(spinUntil([&] { return panel->graphicsEffect() == nullptr; }));
    }
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();

    const QPixmap shot = root.grab();
    const QImage image = shot.toImage();
    // Something was drawn over the dark background.
    const QRgb background = image.pixel(2, image.height() - 2);
    EXPECT_LT(qGray(background), 40);
    qsizetype inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            inked += image.pixel(x, y) != background;
    }
    EXPECT_GT(inked, image.width() * image.height() / 20);

    const QString dir = qEnvironmentVariable("PENDRA_SCREENSHOTS_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    const QString suffix = shot.devicePixelRatio() > 1.5 ? QStringLiteral("@2x") : QString();
    const QString path = QDir(dir).filePath(QStringLiteral("dashboard-%1%2.png").arg(QLatin1String(state.name), suffix));
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
}

} // namespace

TEST(DashboardScreenshots, PresetsAndStates)
{
    BatSnap battery = onBatterySnap(63, 9.0, 185);
    battery.cycles = 212;
    battery.health = 91;
    BatSnap charging = chargingSnap(57);
    charging.cycles = 212;
    charging.health = 91;

    const auto simple = [](DashboardPrefs &p) { p.applyPreset(QStringLiteral("minimal")); };
    const auto detailed = [](DashboardPrefs &p) { p.applyDetailed(); };
    const auto pro = [](DashboardPrefs &p) { p.applyPreset(QStringLiteral("full")); };
    const auto standard = [](DashboardPrefs &p) { p.applyPreset(QStringLiteral("standard")); };

    const State states[] = {
        {"simple-on-battery", simple, battery, false, drainedWhy(), 360, 0},
        {"detailed-on-battery", detailed, battery, true, drainedWhy(), 440, 0},
        {"pro-on-battery", pro, battery, true, drainedWhy(), 520, 0},
        {"simple-desktop", simple, desktopSnap(), false, whyDrainWithoutHistory(), 360, 0},
        {"detailed-desktop", detailed, desktopSnap(), true, whyDrainWithoutHistory(), 440, 0},
        {"pro-desktop", pro, desktopSnap(), true, whyDrainWithoutHistory(), 520, 0},
        {"pro-charging", pro, charging, true, WhyDrain{0, QStringLiteral("last hour"), {}, QString()}, 520, 0},
        {"standard-window", standard, battery, false, drainedWhy(), 440, 560},
        {"detailed-minimum-size", detailed, battery, true, drainedWhy(), 360, 420},
        {"customize-open", standard, battery, false, drainedWhy(), 440, 560, true},
        {"customize-minimum-size", pro, battery, false, drainedWhy(), 360, 420, true},
    };
    for (const State &state : states)
        render(state);
}

namespace {

// A whole year of history ending at `now`: health wearing from 100 % by
// about 0.6 points per 100 cycles with day-to-day noise, 16 apps an hour for
// the last week.
QList<HistoryBatch> syntheticYear(double now, bool full)
{
    QList<HistoryBatch> batches;
    const QDate today = QDateTime::fromSecsSinceEpoch(qint64(now)).date();
    const int days = full ? 365 : 3;
    const char *names[] = {"firefox", "code", "Xorg", "pipewire", "gnome-shell", "thunderbird", "slack",
                           "spotify", "gnome-terminal-", "evolution-data-", "tracker-miner-f", "nautilus",
                           "gjs", "packagekitd", "fwupd"};
    for (int d = days - 1; d >= 0; --d) {
        HistoryBatch batch;
        BatteryDay day;
        day.day = today.addDays(-d);
        const int cycles = 40 + (days - 1 - d) * 8 / 10;
        day.cycles = cycles;
        const double noise = 0.15 * std::sin(d / 9.0) + 0.05 * std::sin(d * 1.7);
        day.fullChargeMah = int(std::lround(5000 * (1 - 0.006 * cycles / 100.0 + noise / 100)));
        day.designMah = 5000;
        day.drawnWattHours = full ? 75 : 6;
        day.minutesOnBattery = full ? 240 : 50;
        batch.days << day;
        const int appDays = full ? 7 : 1;
        if (d < appDays) {
            const qint64 midnight = QDateTime(day.day, QTime(0, 0)).toSecsSinceEpoch();
            const int hours = full ? 10 : 1;
            for (int h = 0; h < hours; ++h) {
                const qint64 hour = midnight + (9 + h) * 3600;
                if (hour > now)
                    break;
                const int apps = full ? 15 : 4;
                for (int a = 0; a < apps; ++a)
                    batch.apps << AppHourEnergy{hour, QString::fromLatin1(names[a]), 1.6 / (a + 1), 900.0 / (a + 1)};
                if (full)
                    batch.apps << AppHourEnergy{hour, kOtherApps, 0.35, 300};
            }
        }
        batches << batch;
    }
    return batches;
}

void renderHistory(const char *name, bool full)
{
    SCOPED_TRACE(name);
    DashboardFixture f;
    const double now = QDateTime(QDate(2026, 12, 7), QTime(18, 0)).toSecsSinceEpoch();
    f.power.clock.setWallClock(now);
    f.prefs->applyPreset(QStringLiteral("full"));
    for (const HistoryBatch &batch : syntheticYear(now, full))
        f.history->write(batch);
    f.history->waitForWrites();
    DashboardRoot &root = f.build({520, 560});
    root.show();
    auto *section = f.child<HistorySectionContent>("historyContent");
    ASSERT_TRUE(spinUntil([&] { return !section->appRows().isEmpty() && !section->health().isEmpty(); }));
    if (full) {
        section->findChild<SegmentedPicker *>(QStringLiteral("historySpanPicker"))->button(1)->click();
        ASSERT_TRUE(spinUntil([&] { return section->appRows().size() == 16; }));
    }
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    // The card is drawn over the window's background: grab it from the root,
    // made tall enough to hold every card.
    auto *scroll = f.child<QScrollArea>("dashboardScroll");
    root.resize(520, scroll->widget()->sizeHint().height() + 40);
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QWidget *card = f.child("historyCard");
    const QPixmap shot = root.grab(QRect(card->mapTo(&root, QPoint(0, 0)), card->size()));
    EXPECT_GT(shot.height(), 100);
    const QString dir = qEnvironmentVariable("PENDRA_SCREENSHOTS_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(QStringLiteral("dashboard-history-%1.png").arg(QLatin1String(name)));
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
}

} // namespace

TEST(DashboardScreenshots, HistorySection)
{
    renderHistory("little-data", false);
    renderHistory("synthetic-year", true);
}
