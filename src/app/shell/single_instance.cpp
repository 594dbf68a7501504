#include "app/shell/single_instance.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {

const QByteArray kActivate = QByteArrayLiteral("activate\n");
constexpr int kConnectTimeoutMs = 1000;

} // namespace

SingleInstance::SingleInstance(QString runtimeDir, QObject *parent)
    : QObject(parent)
    , m_lockPath(QDir(runtimeDir).filePath(QStringLiteral("pendrapro.lock")))
    , m_socketPath(QDir(runtimeDir).filePath(QStringLiteral("pendrapro.socket")))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultRuntimeDir()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime;
    // Never the shared temp folder, where another user could plant the lock
    // or the socket: a folder of this user's own that only they may enter.
    const QString own = Paths::cacheDir();
    QDir().mkpath(own);
    QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return own;
}

bool SingleInstance::claim(std::chrono::milliseconds waitForRelease)
{
    if (m_server)
        return true;
    auto lock = std::make_unique<QLockFile>(m_lockPath);
    // A lock left by a crashed copy is taken over (its process is gone).
    lock->setStaleLockTime(0);
    if (!lock->tryLock()) {
        if (waitForRelease.count() <= 0) {
            askRunningCopyToActivate();
            return false;
        }
        qInfo("Waiting for the copy being replaced to quit");
        if (!lock->tryLock(static_cast<int>(waitForRelease.count())))
            return false;
    }
    m_lock = std::move(lock);

    // Holding the lock makes any socket file here a leftover.
    QLocalServer::removeServer(m_socketPath);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains(kActivate.trimmed()))
                    emit activationRequested();
            });
        }
    });
    // Without the socket this copy still runs; it just cannot be raised.
    m_server->listen(m_socketPath);
    return true;
}

bool SingleInstance::askRunningCopyToActivate() const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kActivate);
    const bool written = socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return written;
}
