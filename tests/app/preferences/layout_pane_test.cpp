#include "app/preferences/layout_pane.h"
#include "fakes/dashboard_fixture.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QPushButton>

using Density = DashboardPrefs::Density;
using CardWidth = DashboardPrefs::CardWidth;

// Which parts each preset shows is the prefs' table; the pane only has to
// apply the preset its button names. Density, width and the chart tell the
// presets apart.
TEST(LayoutPane, PresetButtonsApplyTheirPreset)
{
    const struct
    {
        const char *button;
        const char *startingPreset;
        Density density;
        CardWidth width;
        bool chart;
    } table[] = {
        {"simplePreset", "full", Density::compact, CardWidth::narrow, false},
        {"detailedPreset", "full", Density::comfortable, CardWidth::regular, true},
        {"proPreset", "minimal", Density::roomy, CardWidth::wide, true},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.button);
        DashboardFixture f;
        f.prefs->applyPreset(QString::fromLatin1(row.startingPreset));
        LayoutPane pane(*f.prefs, f.center);

        auto *button = pane.findChild<QPushButton *>(QString::fromLatin1(row.button));
        ASSERT_NE(button, nullptr);
        button->click();
        EXPECT_EQ(f.prefs->density(), row.density);
        EXPECT_EQ(f.prefs->width(), row.width);
        EXPECT_EQ(f.prefs->flag(DashboardPrefs::Flag::sparkline), row.chart);
    }
}
