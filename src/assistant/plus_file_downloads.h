#pragma once

#include "assistant/public_address.h"
#include "platform/serial_queue.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>

class FileManager;
class QHostAddress;
class QHostInfo;
class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

// Finds the web links in a chat message and downloads each into the user's
// Downloads folder under a name that overwrites nothing. Nothing is ever
// written outside that folder: a link only chooses the last component of the
// saved name, and that is sanitised first. Nothing is fetched from this
// machine or its network either: every address a link's host (or a redirect's)
// resolves to must be allowed, and the connection goes to the address that
// was checked, so a second lookup cannot swap in another.
class PlusFileDownloads : public QObject
{
    Q_OBJECT

public:
    // A reply's link can point at anything; a download larger than this is
    // abandoned rather than filling the disk.
    static constexpr qint64 kMaxDownloadBytes = qint64(256) * 1024 * 1024;
    // A download that receives nothing for this long is abandoned.
    static constexpr std::chrono::milliseconds kStallTimeout{30'000};
    static constexpr int kMaxRedirects = 10;
    static inline const QString kErrorDomain = QStringLiteral("Download");

    // Which resolved addresses a download may connect to.
    using DestinationCheck = std::function<bool(const QHostAddress &)>;

    // How a "Download links" action reports: a new status line, and the path
    // of each saved file.
    struct Reporter
    {
        std::function<void(const QString &status)> status;
        std::function<void(const QString &path)> saved;
    };

    // `downloadsFolder` is created when the first file is saved into it.
    // Tests widen `allowedDestination` to reach their loopback server.
    PlusFileDownloads(QNetworkAccessManager &network, FileManager &fileManager, QString downloadsFolder,
                      qint64 maxDownloadBytes = kMaxDownloadBytes, DestinationCheck allowedDestination = isPublicAddress,
                      std::chrono::milliseconds stallTimeout = kStallTimeout, QObject *parent = nullptr);
    ~PlusFileDownloads() override;

    const QString &downloadsFolder() const { return m_folder; }

    // The web links in `text`, in order, duplicates kept: each is the exact
    // piece of the text, and only pieces starting with "http://" or
    // "https://" (case-sensitive) count.
    static QStringList linksIn(const QString &text);

    // The user's Downloads folder, or "Downloads" in the home folder when
    // the desktop names none.
    static QString userDownloadsFolder();

    // A safe file name from a link's last path component: no separators or
    // control characters, no leading dots, at most 200 UTF-8 bytes; "download"
    // when nothing is left. Pure and total, so it can be fuzzed.
    static QString sanitizedFileName(const QString &lastPathComponent);

    // `folder`/`fileName`, or with "-2", "-3", … before the extension (the
    // part after the last dot) while that name is taken.
    static QString freeFilePath(const QString &folder, const QString &fileName);
    // The free "<base>.<extension>" in `folder`, with "/" and ":" in `base`
    // turned into "-".
    static QString freeFileLocation(const QString &folder, QString base, const QString &extension);

    // Downloads every link of `text` at once. `owner` is held weakly: once it
    // is gone, reports are dropped but the downloads finish.
    void downloadAll(const QString &text, QObject *owner, Reporter reporter);

private:
    struct Action;
    struct Transfer;

    void downloadOne(const QString &link, const std::shared_ptr<Action> &action);
    void resolve(const QUrl &url, const std::shared_ptr<Transfer> &transfer);
    void checkDestination(const QHostInfo &host, const std::shared_ptr<Transfer> &transfer);
    void connectNext(const std::shared_ptr<Transfer> &transfer);
    void followRedirect(QNetworkReply *reply, const std::shared_ptr<Transfer> &transfer);
    void fail(const std::shared_ptr<Transfer> &transfer, const QString &error);
    void receive(QNetworkReply *reply, const std::shared_ptr<Transfer> &transfer);
    void complete(QNetworkReply *reply, const std::shared_ptr<Transfer> &transfer);
    void finish(const std::shared_ptr<Action> &action, const QString &savedPath, const QString &error);

    QNetworkAccessManager &m_network;
    FileManager &m_fileManager;
    QString m_folder;
    qint64 m_maxBytes;
    DestinationCheck m_allowedDestination;
    std::chrono::milliseconds m_stallTimeout;
    // Temporary files, writes and moves into the Downloads folder.
    SerialQueue m_files{"pendrapro.downloads"};
};
