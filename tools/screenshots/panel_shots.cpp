// Renders the battery menu in fixed states. Always checks the render; writes
// PNGs only when PENDRA_SCREENSHOTS_DIR names an output folder
// (scripts/screenshots-panel).
#include "fakes/panel_fixture.h"
#include "support/event_loop.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPixmap>

namespace {

ProcEnergy app(int id, const char *name, double cpu, double watts)
{
    ProcEnergy process;
    process.id = id;
    process.name = QString::fromUtf8(name);
    process.cpuPercent = cpu;
    process.estimatedWatts = watts;
    return process;
}

// A few polls so that the store has a watt history to draw.
void warmHistory(PanelFixture &f, const BatSnap &snap)
{
    const double watts[] = {6.1, 7.9, 9.4, 8.2, 12.5, 10.1, 7.3, 6.8, 8.8, 7.4};
    for (double w : watts) {
        f.power.clock.advance(6);
        f.power.publish(snap, w);
    }
}

void render(PanelFixture &f, const QString &name)
{
    f.root->show();
    f.root->appear();
    ASSERT_TRUE(spinUntil([&] { return f.root->whyLoaded(); }));
    // Layout requests cascade from the rows up to the scroll area.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    const QPixmap shot = f.root->grab();
    EXPECT_EQ(shot.deviceIndependentSize().toSize(), f.root->size());
    // Rows were drawn over the dark background.
    const QImage image = shot.toImage();
    const QRgb background = image.pixel(image.width() / 2, 2);
    EXPECT_LT(qGray(background), 40);
    qsizetype inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            inked += image.pixel(x, y) != background;
    }
    EXPECT_GT(inked, image.width() * image.height() / 50) << name.toStdString();

    const QString dir = qEnvironmentVariable("PENDRA_SCREENSHOTS_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(QStringLiteral("popover-%1.png").arg(name));
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
}

} // namespace

TEST(PanelScreenshots, FiveStates)
{
    const QList<ProcEnergy> apps{app(4121, "firefox", 92, 3.4), app(2210, "code", 38, 1.2),
                                 app(977, "Xorg", 12, 0.6), app(3301, "pipewire", 4, 0.2),
                                 app(15, "kworker/u16:2", 1, 0.04)};
    WhyDrain why;
    why.dropPercent = 6;
    why.windowLabel = QStringLiteral("last hour");
    why.culprits = {{QStringLiteral("firefox"), 0.62, QStringLiteral("62% of attributed energy samples")}};
    why.summary = QStringLiteral(
        "firefox was responsible for the largest share of energy use while battery dropped ~6% in the last hour.");

    BatSnap battery = onBatterySnap(63, 9.0, 185);
    battery.cycles = 212;
    battery.health = 91;
    BatSnap charging = chargingSnap(57);
    charging.cycles = 212;
    charging.health = 91;
    BatSnap full = fullOnACSnap();
    full.cycles = 212;
    full.health = 91;
    BatSnap held = heldAtLimitSnap(80);
    held.cycles = 212;
    held.health = 91;

    const struct
    {
        const char *name;
        BatSnap snap;
        bool manage;
        double watts;
        QSize size;
    } states[] = {
        {"desktop", desktopSnap(), false, 31.0, {300, 520}},
        {"charging", charging, false, 14.2, {300, 520}},
        {"on-battery", battery, false, 7.4, {300, 520}},
        {"full-on-ac", full, false, 4.1, {300, 520}},
        {"held-at-limit", held, true, 5.3, {300, 520}},
        {"on-battery-min-height", battery, true, 7.4, {300, 400}},
        {"held-at-limit-full-length", held, true, 5.3, {300, 900}},
    };
    for (const auto &state : states) {
        SCOPED_TRACE(state.name);
        PanelFixture f({.manageCharging = state.manage, .size = state.size});
        f.top = apps;
        f.why = why;
        warmHistory(f, state.snap);
        f.show(state.snap, state.watts);
        render(f, QString::fromLatin1(state.name));
    }
}
