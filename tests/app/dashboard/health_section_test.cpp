#include "app/ui/panel_rows.h"
#include "fakes/dashboard_fixture.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

QStringList packLines(const DashboardFixture &f)
{
    QStringList lines;
    for (const StatusKVRow *row : f.root->findChildren<StatusKVRow *>(QStringLiteral("batteryPackRow"))) {
        if (row->isVisibleTo(f.root.get()))
            lines << row->label() + QStringLiteral(": ") + row->value();
    }
    return lines;
}

TEST(DashboardHealth, ALinePerPackWhileTheBatteryIsSeveral)
{
    DashboardFixture f;
    f.prefs->applyPreset(QStringLiteral("full"));
    BatSnap twoPacks = onBatterySnap(46, 9.1);
    twoPacks.health = 93;
    twoPacks.packs = {{"Internal", 94, 95, 215}, {"External", 29, 93, std::nullopt}};
    f.power.publish(twoPacks);
    f.build();

    EXPECT_EQ(packLines(f), (QStringList{"Internal: 94% · health 95% · 215 cycles", "External: 29% · health 93%"}));
    EXPECT_EQ(f.child<StatusKVRow>("capacityRow")->value(), QStringLiteral("93%"));

    f.power.publish(onBatterySnap(88, 7.3));
    EXPECT_EQ(packLines(f), QStringList());
}

} // namespace
