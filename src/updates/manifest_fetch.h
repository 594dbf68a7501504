#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;

// Loads the version manifest's bytes and answers on the calling (main)
// thread: the body, or none on any transport failure or an oversized body.
class ManifestFetch
{
public:
    using Done = std::function<void(std::optional<QByteArray>)>;

    virtual ~ManifestFetch() = default;
    virtual void fetch(const QUrl &url, Done done) = 0;
};

// In this process, through its network manager (12 s, no cache).
class NetworkManifestFetch final : public ManifestFetch
{
public:
    explicit NetworkManifestFetch(QNetworkAccessManager &network);
    void fetch(const QUrl &url, Done done) override;

private:
    QNetworkAccessManager &m_network;
};

// In a short-lived copy of the app started with kChildFlag. The check at
// launch runs for everyone; the TLS stack it needs would otherwise stay
// loaded in the tray process for its whole life (several megabytes) for a
// request made once.
class ChildProcessManifestFetch final : public QObject, public ManifestFetch
{
    Q_OBJECT

public:
    static constexpr const char *kChildFlag = "--fetch-update-manifest";

    ChildProcessManifestFetch(QString program, std::chrono::milliseconds timeLimit, QObject *parent = nullptr);
    void fetch(const QUrl &url, Done done) override;

private:
    QString m_program;
    std::chrono::milliseconds m_timeLimit;
};

// The child's side: `arguments` follow kChildFlag. Writes the body to
// standard output; returns the exit status (0 only with a body).
int runManifestFetchChild(int argc, char **argv);
