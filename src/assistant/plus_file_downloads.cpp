#include "assistant/plus_file_downloads.h"

#include "platform/file_manager.h"
#include "platform/main_thread.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

namespace {

constexpr qsizetype kMaxFileNameBytes = 200; // leaves room for "-NN" under the usual 255-byte limit
constexpr int kMaxNameAttempts = 10'000;
const QString kFallbackName = QStringLiteral("download");
const QString kNotDownloadable = QStringLiteral("Not a downloadable URL");
const QString kEmptyDownload = QStringLiteral("Empty download");
const QString kRefusedDestination = QStringLiteral("Not downloading from a local or private address");
const QString kTooManyRedirects = QStringLiteral("Too many redirects");
const QString kStalled = QStringLiteral("Download stalled");

// Anything a link detector would take for an address: a scheme with "//",
// "www." or "mailto:", up to white space or a character that cannot stand
// in an address written in text.
const QRegularExpression &linkPattern()
{
    static const QRegularExpression pattern(QStringLiteral(R"((?:\b[A-Za-z][A-Za-z0-9+.\-]*://|\bwww\.|\bmailto:)[^\s<>"`]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// Sentence punctuation and Markdown around a link are not part of it; a
// closing bracket stays when the link itself opened one.
qsizetype trimmedLinkLength(QStringView link)
{
    qsizetype length = link.size();
    while (length > 0) {
        const QChar last = link.at(length - 1);
        if (QStringLiteral(".,;:!?'*").contains(last)) {
            --length;
            continue;
        }
        const QChar open = last == u')' ? u'(' : last == u']' ? u'[' : last == u'}' ? u'{' : QChar();
        if (!open.isNull() && link.first(length).count(open) < link.first(length).count(last)) {
            --length;
            continue;
        }
        break;
    }
    return length;
}

QString byteSize(qint64 bytes)
{
    constexpr qint64 kMiB = 1024 * 1024;
    if (bytes >= kMiB)
        return QString::number(bytes / kMiB) + QStringLiteral(" MiB");
    return QString::number(bytes / 1024) + QStringLiteral(" KiB");
}

bool isDownloadable(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

// The request for `url` sent to `address`, one of the addresses its host
// resolved to, with the host still named where the server and TLS look.
QNetworkRequest pinnedRequest(const QUrl &url, const QHostAddress &address)
{
    QUrl pinned = url;
    pinned.setHost(address.toString());
    QNetworkRequest request(pinned);
    request.setRawHeader("Host", url.authority(QUrl::RemoveUserInfo | QUrl::FullyEncoded).toLatin1());
    request.setPeerVerifyName(url.host());
    // HTTP/2 would name the address instead of the host in :authority.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    // Each redirect's host is resolved and checked like the link's own.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    return request;
}

QString withCounter(const QString &fileName, int n)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return fileName + u'-' + QString::number(n);
    return fileName.left(dot) + u'-' + QString::number(n) + fileName.mid(dot);
}

// Cuts `text` to at most `maxBytes` of UTF-8 without splitting a character.
QString utf8Prefix(const QString &text, qsizetype maxBytes)
{
    qsizetype bytes = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const qsizetype step = (text.at(end).isHighSurrogate() && end + 1 < text.size()) ? 2 : 1;
        const qsizetype size = text.mid(end, step).toUtf8().size();
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        end += step;
    }
    return text.left(end);
}

} // namespace

// One "Download links" action: how many of its downloads are still running.
struct PlusFileDownloads::Action
{
    int pending = 0;
    QPointer<QObject> owner;
    Reporter reporter;
};

// One link's download. `url`, `redirects`, `redirectTo`, `received` and
// `tooLarge` belong to the main thread; `file` and `writeError` to the file
// queue.
struct PlusFileDownloads::Transfer
{
    std::shared_ptr<Action> action;
    QString fileName;
    QUrl url; // the link, or the redirect being followed
    QList<QHostAddress> addresses; // checked, not tried yet
    int redirects = 0;
    QUrl redirectTo;
    qint64 received = 0;
    bool tooLarge = false;
    std::unique_ptr<QTemporaryFile> file;
    QString writeError;
};

PlusFileDownloads::PlusFileDownloads(QNetworkAccessManager &network, FileManager &fileManager,
                                     QString downloadsFolder, qint64 maxDownloadBytes,
                                     DestinationCheck allowedDestination, std::chrono::milliseconds stallTimeout,
                                     QObject *parent)
    : QObject(parent)
    , m_network(network)
    , m_fileManager(fileManager)
    , m_folder(std::move(downloadsFolder))
    , m_maxBytes(maxDownloadBytes)
    , m_allowedDestination(std::move(allowedDestination))
    , m_stallTimeout(stallTimeout)
{
}

PlusFileDownloads::~PlusFileDownloads() = default;

QStringList PlusFileDownloads::linksIn(const QString &text)
{
    QStringList links;
    QRegularExpressionMatchIterator matches = linkPattern().globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const QStringView piece = QStringView(text).mid(match.capturedStart(), match.capturedLength());
        const QString link = piece.first(trimmedLinkLength(piece)).toString();
        if (link.startsWith(QLatin1String("http://")) || link.startsWith(QLatin1String("https://")))
            links << link;
    }
    return links;
}

QString PlusFileDownloads::userDownloadsFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!folder.isEmpty())
        return folder;
    return QDir::home().filePath(QStringLiteral("Downloads"));
}

QString PlusFileDownloads::sanitizedFileName(const QString &lastPathComponent)
{
    QString name;
    name.reserve(lastPathComponent.size());
    for (const QChar c : lastPathComponent) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            name += u'-';
        else
            name += c;
    }
    // A leading dot would hide the file; "." and ".." would name a folder.
    qsizetype start = 0;
    while (start < name.size() && (name.at(start) == u'.' || name.at(start).isSpace()))
        ++start;
    name = name.mid(start).trimmed();
    if (name.toUtf8().size() > kMaxFileNameBytes) {
        const qsizetype dot = name.lastIndexOf(u'.');
        const QString extension = (dot > 0 && name.size() - dot <= 16) ? name.mid(dot) : QString();
        const QString base = name.left(name.size() - extension.size());
        name = utf8Prefix(base, kMaxFileNameBytes - extension.toUtf8().size()).trimmed() + extension;
    }
    return name.isEmpty() || name.startsWith(u'.') ? kFallbackName : name;
}

QString PlusFileDownloads::freeFilePath(const QString &folder, const QString &fileName)
{
    const QDir dir(folder);
    QString candidate = dir.filePath(fileName);
    for (int n = 2; QFileInfo::exists(candidate) && n < kMaxNameAttempts; ++n)
        candidate = dir.filePath(withCounter(fileName, n));
    return candidate;
}

QString PlusFileDownloads::freeFileLocation(const QString &folder, QString base, const QString &extension)
{
    base.replace(u'/', u'-').replace(u':', u'-');
    const QDir dir(folder);
    QString candidate = dir.filePath(base + u'.' + extension);
    for (int n = 2; QFileInfo::exists(candidate) && n < kMaxNameAttempts; ++n)
        candidate = dir.filePath(base + u'-' + QString::number(n) + u'.' + extension);
    return candidate;
}

void PlusFileDownloads::downloadAll(const QString &text, QObject *owner, Reporter reporter)
{
    const QStringList links = linksIn(text);
    if (links.isEmpty()) {
        if (reporter.status)
            reporter.status(QStringLiteral("No download links in that message"));
        return;
    }
    auto action = std::make_shared<Action>();
    action->pending = int(links.size());
    action->owner = owner;
    action->reporter = std::move(reporter);
    if (action->reporter.status)
        action->reporter.status(QStringLiteral("Downloading ") + QString::number(links.size())
                                + QStringLiteral(" file(s)…"));
    for (const QString &link : links)
        downloadOne(link, action);
}

void PlusFileDownloads::downloadOne(const QString &link, const std::shared_ptr<Action> &action)
{
    const QUrl url(link, QUrl::StrictMode);
    if (!isDownloadable(url)) {
        // Reported after this call returns, like every other outcome.
        QMetaObject::invokeMethod(this, [this, action] { finish(action, {}, kNotDownloadable); },
                                  Qt::QueuedConnection);
        return;
    }
    auto transfer = std::make_shared<Transfer>();
    transfer->action = action;
    transfer->fileName = sanitizedFileName(url.fileName(QUrl::FullyDecoded));
    resolve(url, transfer);
}

void PlusFileDownloads::resolve(const QUrl &url, const std::shared_ptr<Transfer> &transfer)
{
    transfer->url = url;
    QHostInfo::lookupHost(url.host(), this, [this, transfer](const QHostInfo &host) { checkDestination(host, transfer); });
}

void PlusFileDownloads::checkDestination(const QHostInfo &host, const std::shared_ptr<Transfer> &transfer)
{
    if (host.error() != QHostInfo::NoError || host.addresses().isEmpty()) {
        fail(transfer, host.errorString());
        return;
    }
    // One bad address refuses the name: the resolver may hand any of them
    // to the next connection.
    for (const QHostAddress &address : host.addresses()) {
        if (!m_allowedDestination(address)) {
            fail(transfer, kRefusedDestination);
            return;
        }
    }
    transfer->addresses = host.addresses();
    connectNext(transfer);
}

void PlusFileDownloads::connectNext(const std::shared_ptr<Transfer> &transfer)
{
    QNetworkRequest request = pinnedRequest(transfer->url, transfer->addresses.takeFirst());
    request.setTransferTimeout(int(m_stallTimeout.count()));
    QNetworkReply *reply = m_network.get(request);
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply, transfer] {
        const QVariant redirect = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
        if (redirect.isValid()) {
            transfer->redirectTo = transfer->url.resolved(redirect.toUrl());
            reply->abort();
            return;
        }
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_maxBytes) {
            transfer->tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply, transfer] { receive(reply, transfer); });
    connect(reply, &QNetworkReply::finished, this, [this, reply, transfer] {
        const bool unanswered = reply->error() != QNetworkReply::NoError
                                && !reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
        if (!transfer->redirectTo.isEmpty()) {
            followRedirect(reply, transfer);
        } else if (unanswered && !transfer->addresses.isEmpty()) {
            // The next address of the name, as a browser would (IPv6 first
            // on a machine whose IPv6 goes nowhere, say).
            reply->deleteLater();
            connectNext(transfer);
        } else {
            complete(reply, transfer);
        }
    });
}

void PlusFileDownloads::followRedirect(QNetworkReply *reply, const std::shared_ptr<Transfer> &transfer)
{
    reply->deleteLater();
    const QUrl target = std::exchange(transfer->redirectTo, QUrl());
    if (!isDownloadable(target)) {
        fail(transfer, kNotDownloadable);
        return;
    }
    if (++transfer->redirects > kMaxRedirects) {
        fail(transfer, kTooManyRedirects);
        return;
    }
    resolve(target, transfer);
}

void PlusFileDownloads::fail(const std::shared_ptr<Transfer> &transfer, const QString &error)
{
    // Reported after the call that failed returns, like every other outcome.
    QMetaObject::invokeMethod(
        this, [this, transfer, error] { finish(transfer->action, {}, error); }, Qt::QueuedConnection);
}

void PlusFileDownloads::receive(QNetworkReply *reply, const std::shared_ptr<Transfer> &transfer)
{
    if (transfer->tooLarge || !transfer->redirectTo.isEmpty())
        return;
    const QByteArray chunk = reply->readAll();
    transfer->received += chunk.size();
    if (transfer->received > m_maxBytes) {
        transfer->tooLarge = true;
        reply->abort();
        return;
    }
    m_files.post([transfer, chunk, folder = m_folder] {
        if (!transfer->writeError.isEmpty())
            return;
        if (!transfer->file) {
            QDir().mkpath(folder);
            // In the target folder so that the final move is a rename.
            transfer->file = std::make_unique<QTemporaryFile>(QDir(folder).filePath(QStringLiteral(".pendra-download-XXXXXX.part")));
            if (!transfer->file->open()) {
                transfer->writeError = transfer->file->errorString();
                return;
            }
        }
        if (transfer->file->write(chunk) != chunk.size())
            transfer->writeError = transfer->file->errorString();
    });
}

void PlusFileDownloads::complete(QNetworkReply *reply, const std::shared_ptr<Transfer> &transfer)
{
    reply->deleteLater();
    if (!transfer->tooLarge && reply->error() == QNetworkReply::NoError && reply->bytesAvailable() > 0)
        receive(reply, transfer);

    QString error;
    if (transfer->tooLarge)
        error = QStringLiteral("Download larger than ") + byteSize(m_maxBytes);
    else if (reply->error() == QNetworkReply::OperationCanceledError || reply->error() == QNetworkReply::TimeoutError)
        error = kStalled; // the transfer timeout is all that cancels a download here
    else if (reply->error() != QNetworkReply::NoError)
        error = reply->errorString().replace(reply->url().toString(), transfer->url.toString());
    else if (transfer->received == 0)
        error = kEmptyDownload;

    QPointer<PlusFileDownloads> self(this);
    m_files.post([self, transfer, error, folder = m_folder] {
        QString outcome = error;
        QString savedPath;
        if (outcome.isEmpty())
            outcome = transfer->writeError;
        if (outcome.isEmpty() && transfer->file) {
            if (!transfer->file->flush()) {
                outcome = transfer->file->errorString();
            } else {
                const QString temporary = transfer->file->fileName();
                transfer->file->close();
                // rename() never replaces an existing file, so a name taken
                // since the check only costs another try.
                for (int attempt = 0; attempt < 100 && savedPath.isEmpty(); ++attempt) {
                    const QString candidate = freeFilePath(folder, transfer->fileName);
                    if (QFile::rename(temporary, candidate)) {
                        savedPath = candidate;
                        transfer->file->setAutoRemove(false);
                    } else if (!QFileInfo::exists(candidate)) {
                        outcome = QStringLiteral("Could not move the download into ") + folder;
                        break;
                    }
                }
            }
        }
        transfer->file.reset(); // removes the temporary file unless it was moved
        postToMain(self, [transfer, savedPath, outcome](PlusFileDownloads *downloads) {
            downloads->finish(transfer->action, savedPath, outcome);
        });
    });
}

void PlusFileDownloads::finish(const std::shared_ptr<Action> &action, const QString &savedPath, const QString &error)
{
    --action->pending;
    const bool reporting = !action->owner.isNull();
    if (!error.isEmpty()) {
        if (reporting && action->reporter.status)
            action->reporter.status(error);
        return;
    }
    if (reporting) {
        if (action->reporter.saved)
            action->reporter.saved(savedPath);
        if (action->reporter.status) {
            action->reporter.status(action->pending > 0
                                        ? QStringLiteral("Downloaded ") + QFileInfo(savedPath).fileName()
                                              + QStringLiteral("…")
                                        : QStringLiteral("Downloaded to Downloads"));
        }
    }
    if (action->pending == 0)
        m_fileManager.revealFile(savedPath);
}
