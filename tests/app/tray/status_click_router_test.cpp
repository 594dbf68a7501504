#include "app/ui/popover_controller.h"
#include "app/tray/status_click_router.h"
#include "app/tray/tray_host_rules.h"

#include "fakes/fake_clock.h"
#include "fakes/recording_app_actions.h"
#include "fakes/recording_status_item.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>

namespace {

struct RouterFixture : ::testing::Test
{
    RouterFixture()
    {
        popover.setScreenArea([](QPoint) { return QRect(0, 0, 1280, 800); });
        router.attach(&item);
    }
    ~RouterFixture() override { popover.close(); }

    QStringList menuTexts() const
    {
        QStringList texts;
        for (const QAction *action : router.contextMenu()->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    }

    FakeClock clock;
    PopoverController popover{clock, [](QSize) { return new QLabel(QStringLiteral("battery menu")); }};
    RecordingAppActions actions;
    RecordingStatusItem item{clock};
    StatusClickRouter router{popover, actions, clock};
};

} // namespace

TEST_F(RouterFixture, LoneActivateFromAMenuOnClickHostOpensTheDashboard)
{
    const struct
    {
        TrayHost host;
        bool popoverShown;
        QStringList calls;
    } cases[] = {
        {TrayHost::gnomeShell, false, {QStringLiteral("openDashboard")}},
        {TrayHost::xfce, true, {}},
        {TrayHost::unknown, true, {}},
    };
    for (const auto &c : cases) {
        actions.calls.clear();
        router.setHostBehaviour(trayHostBehaviour(c.host));
        clock.advance(5);
        item.click();
        EXPECT_EQ(popover.isShown(), c.popoverShown) << int(c.host);
        EXPECT_EQ(actions.calls, c.calls) << int(c.host);
        popover.close();
    }
}

TEST_F(RouterFixture, OneMenuIsGivenToTheItemAndLeadsWithThePopoverWhereAClickOpensIt)
{
    EXPECT_EQ(item.menu, router.contextMenu());
    const QStringList regular{"Full Window",     "Customize…", "Battery Menu", "-", "Open Pendra Pro", "-",
                              "Check for Updates", "Website",  "-",            "Quit Pendra Pro"};
    EXPECT_EQ(menuTexts(), regular);

    router.setHostBehaviour(trayHostBehaviour(TrayHost::gnomeShell));
    EXPECT_EQ(menuTexts(), (QStringList{"Battery Menu", "Full Window", "-", "Customize…", "-", "Open Pendra Pro", "-",
                                        "Check for Updates", "Website", "-", "Quit Pendra Pro"}));
    router.contextMenu()->actions().first()->trigger();
    EXPECT_EQ(actions.calls, QStringList{QStringLiteral("forceShowPopover")});

    router.setHostBehaviour(trayHostBehaviour(TrayHost::plasma));
    EXPECT_EQ(menuTexts(), regular);
    EXPECT_EQ(router.contextMenu()->actions().size(), regular.size()) << "old separators are not kept";
}

TEST_F(RouterFixture, APressOnTheItemSoonAfterTheOpeningClickIsADoubleClick)
{
    const struct
    {
        double after;
        QPoint press;
        bool dashboard;
    } cases[] = {
        {0.1, {110, 14}, true},
        {0.1, {400, 300}, false}, // elsewhere: just closes the popover
        {1.0, {110, 14}, false},  // too late for a double click
    };
    for (const auto &c : cases) {
        actions.calls.clear();
        clock.advance(5);
        item.click({100, 10});
        ASSERT_TRUE(popover.isShown());
        clock.advance(c.after);
        emit popover.pressedOutside(c.press);
        EXPECT_EQ(actions.calls.contains(QStringLiteral("openDashboard")), c.dashboard) << c.after;
        popover.close();
    }
}
