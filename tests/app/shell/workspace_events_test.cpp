#include "app/shell/system_event_router.h"
#include "platform/linux/workspace_linux.h"

#include "fakes/fake_logind.h"
#include "fakes/fake_screensaver.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// Sleep and wake notices from fake services on the private session bus (which
// stands in for the system bus too) reach the power store's transition hook,
// after the named event went out.
struct WorkspaceFixture : ::testing::Test
{
    WorkspaceFixture()
    {
        QObject::connect(&router, &SystemEventRouter::systemEvent, &router,
                         [this](DrainEvent event) {
                             log << drainEventName(event)
                                        + (SystemEventRouter::isWaking(event) ? QStringLiteral(":wake")
                                                                              : QStringLiteral(":sleep"));
                         });
    }

    bool waitForTransitions(int count)
    {
        return spinUntil([&] { return static_cast<int>(transitions.size()) >= count; }, 3000);
    }

    const LinuxWorkspaceEvents::ServiceNames names{
        perProcessBusName(QStringLiteral("org.freedesktop.login1")),
        perProcessBusName(QStringLiteral("org.freedesktop.ScreenSaver")),
        perProcessBusName(QStringLiteral("org.gnome.ScreenSaver")),
    };
    LinuxWorkspaceEvents events{QDBusConnection::sessionBus(), QDBusConnection::sessionBus(), names};
    QStringList log;
    std::vector<bool> transitions;
    SystemEventRouter router{events, [this](bool waking) {
                                 log << (waking ? QStringLiteral("noteTransition(true)")
                                                : QStringLiteral("noteTransition(false)"));
                                 transitions.push_back(waking);
                             }};
};

} // namespace

TEST_F(WorkspaceFixture, LogindSleepAndResumeAndTheScreenSaverBecomeSystemAndDisplayEvents)
{
    ASSERT_TRUE(events.listensForMachineSleep()) << "run under dbus-run-session";
    ASSERT_TRUE(events.listensForDisplaySleep());
    FakeLogind logind(names.logind);
    FakeScreensaver screensaver(names.freedesktopScreenSaver, QStringLiteral("org.freedesktop.ScreenSaver"),
                                QStringLiteral("/org/freedesktop/ScreenSaver"));
    ASSERT_TRUE(logind.isServing());
    ASSERT_TRUE(screensaver.isServing());
    logind.prepareForSleep(true);
    ASSERT_TRUE(waitForTransitions(1));
    logind.prepareForSleep(false);
    ASSERT_TRUE(waitForTransitions(2));
    screensaver.setActive(true);
    ASSERT_TRUE(waitForTransitions(3));
    screensaver.setActive(false);
    ASSERT_TRUE(waitForTransitions(4));
    EXPECT_EQ(log, (QStringList{"system_sleep:sleep", "noteTransition(false)", "system_wake:wake", "noteTransition(true)",
                                "display_sleep:sleep", "noteTransition(false)", "display_wake:wake",
                                "noteTransition(true)"}));
}

TEST_F(WorkspaceFixture, GnomeScreenSaverAnnouncingTheSameChangeCountsOnce)
{
    FakeScreensaver freedesktop(names.freedesktopScreenSaver, QStringLiteral("org.freedesktop.ScreenSaver"),
                                QStringLiteral("/ScreenSaver"));
    FakeScreensaver gnome(names.gnomeScreenSaver, QStringLiteral("org.gnome.ScreenSaver"),
                          QStringLiteral("/org/gnome/ScreenSaver"));
    ASSERT_TRUE(gnome.isServing());
    gnome.setActive(true);
    freedesktop.setActive(true);
    ASSERT_TRUE(waitForTransitions(1));
    gnome.setActive(false);
    ASSERT_TRUE(waitForTransitions(2));
    freedesktop.setActive(false);
    spinUntil([] { return false; }, 200);
    EXPECT_EQ(transitions, (std::vector<bool>{false, true}));
}

TEST_F(WorkspaceFixture, SignalsFromAnUnrelatedSenderAreIgnored)
{
    FakeSignalSource impostor(perProcessBusName(QStringLiteral("org.example.NotLogind")));
    impostor.emitSignal(QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
                        QStringLiteral("PrepareForSleep"), true);
    FakeLogind logind(names.logind);
    logind.prepareForSleep(false);
    ASSERT_TRUE(waitForTransitions(1));
    EXPECT_EQ(transitions, std::vector<bool>{true});
}
