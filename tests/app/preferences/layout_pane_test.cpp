#include "app/preferences/layout_pane.h"
#include "fakes/dashboard_fixture.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QPushButton>

namespace {

// Every part of the dashboard a layout choice can show or hide.
const char *const kDashboardParts[] = {
    "fauxMenubar", "pillRow",  "packageLine", "timeHeadline", "powerCard", "powerChart", "powerDistribution",
    "energyModeCard", "appsCard", "appList",  "whyCard",      "whyDetail", "healthCard",
};

QStringList partsSeen(const DashboardFixture &f)
{
    QStringList seen;
    for (const char *name : kDashboardParts) {
        QWidget *part = f.child(name);
        if (part && part->isVisibleTo(f.root.get()))
            seen << QString::fromLatin1(name);
    }
    return seen;
}

} // namespace

TEST(LayoutPane, PresetButtonsDecideWhatTheDashboardShows)
{
    QStringList everything;
    for (const char *name : kDashboardParts)
        everything << QString::fromLatin1(name);
    const struct
    {
        const char *button;
        const char *startingPreset;
        QStringList seen;
    } table[] = {
        {"simplePreset", "full", {"packageLine", "timeHeadline", "whyCard"}},
        {"detailedPreset",
         "full",
         {"packageLine", "timeHeadline", "powerCard", "powerChart", "powerDistribution", "energyModeCard", "appsCard",
          "appList", "whyCard", "whyDetail"}},
        {"proPreset", "minimal", everything},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.button);
        DashboardFixture f;
        PackageReading sensor{6, QStringLiteral("sensor (3 domains)"), SocPowerSample{3, 1, 0, 1, 1}};
        f.power.store.publish(onBatterySnap(70), sensor, false, {});
        f.prefs->applyPreset(QString::fromLatin1(row.startingPreset));
        f.build();
        LayoutPane pane(*f.prefs, f.center);

        auto *button = pane.findChild<QPushButton *>(QString::fromLatin1(row.button));
        ASSERT_NE(button, nullptr);
        button->click();
        EXPECT_EQ(partsSeen(f), row.seen);
    }
}
