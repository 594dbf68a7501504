#include "platform/linux/freedesktop_file_manager.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QUrl>

FreedesktopFileManager::FreedesktopFileManager(QDBusConnection connection, OpenFolder openFolder)
    : m_connection(std::move(connection))
    , m_openFolder(std::move(openFolder))
{
}

void FreedesktopFileManager::revealFile(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    QDBusMessage message = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                          QLatin1String(kInterface), QStringLiteral("ShowItems"));
    // The second argument is a startup-notification id; none is known here.
    message << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
    // Asynchronous: a file manager started by D-Bus activation can take
    // seconds to answer, and the UI must not wait for it.
    auto *watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(message));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, folder, openFolder = m_openFolder] {
                         if (watcher->isError() && openFolder)
                             openFolder(folder);
                         watcher->deleteLater();
                     });
}
