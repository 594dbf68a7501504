#pragma once

#include "support/event_loop.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// A real gnome-keyring on this test's private session bus, with a fresh
// login keyring unlocked by a throwaway password. Its runtime and data
// folders are its own, so it never meets another test's keyring.
class TestKeyring
{
public:
    TestKeyring()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        m_daemon.setProcessEnvironment(environment);
        m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_daemon.start(QStringLiteral("gnome-keyring-daemon"),
                       {QStringLiteral("--foreground"), QStringLiteral("--unlock"), QStringLiteral("--components=secrets")});
        if (!m_daemon.waitForStarted())
            return;
        m_daemon.write("pw");
        m_daemon.closeWriteChannel();
        m_ready = spinUntil([] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets"))
                .value();
        });
    }

    ~TestKeyring()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }

    bool ready() const { return m_ready; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    bool m_ready = false;
};
