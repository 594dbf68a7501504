#include "app/tray/tray_host_rules.h"

#include "support/event_loop.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QObject>

TEST(TrayHostRules, WatcherOwnerDecidesClicksLabelAndPanel)
{
    const auto behaviourOf = [](const char *process) {
        return trayHostBehaviour(trayHostForProcess(QString::fromLatin1(process)));
    };
    EXPECT_EQ(behaviourOf("gnome-shell"), (TrayHostBehaviour{true, true, true, true, 16}));
    for (const char *process :
         {"kded5", "kded6", "plasmashell", "xfce4-panel", "wrapper-2.0", "lxqt-panel", "snixembed", ""})
        EXPECT_EQ(behaviourOf(process), (TrayHostBehaviour{false, false, false, false, 22})) << process;
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
