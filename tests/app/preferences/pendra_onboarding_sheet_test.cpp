#include "app/preferences/pendra_onboarding_sheet.h"
#include "fakes/dashboard_fixture.h"
#include "fakes/panel_fixture.h"
#include "platform/defaults.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

PendraOnboardingSheet *sheetOver(QWidget *host)
{
    return host->findChild<PendraOnboardingSheet *>(QString(), Qt::FindDirectChildrenOnly);
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TrayClickHint plasmaHint()
{
    return trayClickHint(trayHostBehaviour(TrayHost::plasma));
}

} // namespace

TEST(PendraOnboardingSheet, ShowsOnceAcrossPopoverAndDashboard)
{
    QTemporaryDir dir;
    Defaults defaults(dir.filePath(QStringLiteral("settings.json")));
    QWidget popover, dashboard;
    popover.resize(300, 480);
    dashboard.resize(440, 560);
    popover.show();

    PendraOnboardingSheet *first = PendraOnboardingSheet::presentOver(&popover, defaults, plasmaHint);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->findChild<QLabel *>(QStringLiteral("onboardingTitle"))->text(),
              QStringLiteral("Welcome to Pendra"));
    EXPECT_EQ(first->geometry(), popover.rect());
    // Asking again over the same host adds no second sheet.
    EXPECT_EQ(PendraOnboardingSheet::presentOver(&popover, defaults, plasmaHint), nullptr);
    ASSERT_NE(PendraOnboardingSheet::presentOver(&dashboard, defaults, plasmaHint), nullptr);

    popover.hide();
    dashboard.show();
    sheetOver(&dashboard)->gotItButton()->click();
    flushDeletes();
    EXPECT_EQ(defaults.boolValue(PendraOnboardingSheet::kSeenKey), true);
    EXPECT_EQ(sheetOver(&dashboard), nullptr);

    // The popover's sheet, waiting from before, leaves as the popover opens.
    popover.show();
    flushDeletes();
    EXPECT_EQ(sheetOver(&popover), nullptr);
    EXPECT_EQ(PendraOnboardingSheet::presentOver(&popover, defaults, plasmaHint), nullptr);
    EXPECT_EQ(PendraOnboardingSheet::presentOver(&dashboard, defaults, plasmaHint), nullptr);
}

TEST(PendraOnboardingSheet, BatteryMenuAndDashboardPresentItWhenTheyAsk)
{
    PanelFixture panel(PanelFixture::Options{.onboardingSeen = false});
    presentOnboardingWhenAsked(panel.root.get(), *panel.defaults, plasmaHint);
    EXPECT_NE(sheetOver(panel.root.get()), nullptr);

    DashboardFixture dash(DashboardFixture::Options{.onboardingSeen = false});
    DashboardRoot &root = dash.build();
    presentOnboardingWhenAsked(&root, *dash.defaults, plasmaHint);
    EXPECT_EQ(sheetOver(&root), nullptr);
    root.show();
    ASSERT_NE(sheetOver(&root), nullptr);
    sheetOver(&root)->gotIt();
    flushDeletes();
    EXPECT_EQ(sheetOver(&root), nullptr);
    EXPECT_EQ(dash.defaults->boolValue(PendraOnboardingSheet::kSeenKey), true);
}

TEST(PendraOnboardingSheet, ClickHintSaysWhatAClickOpensOnTheHostShowingTheItem)
{
    QTemporaryDir dir;
    Defaults defaults(dir.filePath(QStringLiteral("settings.json")));
    QWidget popover;
    popover.resize(300, 480);
    TrayHost host = TrayHost::unknown;
    PendraOnboardingSheet::presentOver(&popover, defaults, [&host] { return trayClickHint(trayHostBehaviour(host)); });
    const auto line = [&popover] { return sheetOver(&popover)->findChild<QLabel *>(QStringLiteral("clickHintLine"))->text(); };

    // Shown before the host is known, then again once it is.
    popover.show();
    EXPECT_EQ(line(), QStringLiteral("Opens a quick battery menu — like the system one, with extra detail."));
    popover.hide();
    host = TrayHost::gnomeShell;
    popover.show();
    EXPECT_EQ(line(), QStringLiteral("Opens a menu — Battery Menu, its first entry, shows the quick view."));
    EXPECT_EQ(sheetOver(&popover)->findChild<QLabel *>(QStringLiteral("clickHintHeading"))->text(),
              QStringLiteral("Click the battery icon"));
}
