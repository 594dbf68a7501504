#include "app/tray/tray_host_rules.h"

#include "support/event_loop.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QObject>
#include <QUuid>

TEST(TrayHostRules, WatcherOwnerDecidesClicksLabelAndPanel)
{
    const struct
    {
        const char *process;
        bool menuOnLeftClick, drawsLabel, loneActivateIsDoubleClick, panelAlwaysDark;
        int iconSizePx;
    } cases[] = {
        {"gnome-shell", true, true, true, true, 16},
        {"kded5", false, false, false, false, 22},
        {"kded6", false, false, false, false, 22},
        {"plasmashell", false, false, false, false, 22},
        {"xfce4-panel", false, false, false, false, 22},
        {"wrapper-2.0", false, false, false, false, 22},
        {"lxqt-panel", false, false, false, false, 22},
        {"snixembed", false, false, false, false, 22},
        {"", false, false, false, false, 22},
    };
    for (const auto &c : cases) {
        const TrayHostBehaviour expected{c.menuOnLeftClick, c.drawsLabel, c.loneActivateIsDoubleClick,
                                         c.panelAlwaysDark, c.iconSizePx};
        EXPECT_EQ(trayHostBehaviour(trayHostForProcess(QString::fromLatin1(c.process))), expected) << c.process;
    }
}

TEST(TrayHostRules, LooksUpTheProcessOwningTheWatcherName)
{
    QFile self(QStringLiteral("/proc/self/comm"));
    ASSERT_TRUE(self.open(QIODevice::ReadOnly));
    const QString ownName = QString::fromLocal8Bit(self.readAll()).trimmed();

    const QString service = QStringLiteral("org.pendra.test.Watcher") + QString::number(QCoreApplication::applicationPid());
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.registerService(service)) << "run under dbus-run-session";

    QObject context;
    std::optional<QString> owner, missing;
    lookUpWatcherOwnerProcess(bus, service, &context, [&](uint, const QString &name) { owner = name; });
    lookUpWatcherOwnerProcess(bus, service + QStringLiteral("Gone"), &context, [&](uint, const QString &name) { missing = name; });
    EXPECT_TRUE(spinUntil([&] { return owner && missing; }));
    EXPECT_EQ(owner, ownName);
    EXPECT_EQ(missing, QString());
    bus.unregisterService(service);
}
