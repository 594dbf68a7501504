#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

class QLocalServer;
class QLockFile;

// One running copy per user session. The first launch holds a lock and
// listens on a local socket in the runtime folder; a later launch finds the
// lock taken, asks the running copy to come forward, and exits.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // `runtimeDir` holds the lock and the socket (the user's runtime folder).
    explicit SingleInstance(QString runtimeDir, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the running copy. Otherwise the running copy
    // has been asked to activate (when it could be reached) and this process
    // should exit. `waitForRelease` is for a copy started by the one it
    // replaces, which still holds the lock while it quits: it waits that long
    // for the lock instead of asking the quitting copy to come forward.
    bool claim(std::chrono::milliseconds waitForRelease = std::chrono::milliseconds(0));

    // The user's runtime folder (XDG_RUNTIME_DIR), or the temp folder.
    static QString defaultRuntimeDir();

signals:
    // Another launch asked this copy to come forward.
    void activationRequested();

private:
    bool askRunningCopyToActivate() const;

    QString m_lockPath;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
