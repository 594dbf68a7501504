#include "updates/manifest_fetch.h"

#include "updates/blocking_http.h"
#include "updates/version_manifest.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QTimer>

#include <cstdio>

namespace {

using namespace std::chrono_literals;

constexpr auto kFetchTimeout = 12s;

} // namespace

NetworkManifestFetch::NetworkManifestFetch(QNetworkAccessManager &network)
    : m_network(network)
{
}

void NetworkManifestFetch::fetch(const QUrl &url, Done done)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(static_cast<int>(std::chrono::milliseconds(kFetchTimeout).count()));
    QNetworkReply *reply = m_network.get(request);
    BlockingHttp::abortBeyond(reply, kManifestMaxBytes);
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, done = std::move(done)] {
        reply->deleteLater();
        // The status is not inspected: an error page fails to decode. An
        // aborted (oversized) reply is a failure whatever its status.
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const bool transportFailed = reply->error() == QNetworkReply::OperationCanceledError
            || (reply->error() != QNetworkReply::NoError && !status.isValid());
        const QByteArray body = reply->readAll();
        done(transportFailed || body.size() > kManifestMaxBytes ? std::nullopt : std::optional(body));
    });
}

ChildProcessManifestFetch::ChildProcessManifestFetch(QString program, std::chrono::milliseconds timeLimit,
                                                     QObject *parent)
    : QObject(parent)
    , m_program(std::move(program))
    , m_timeLimit(timeLimit)
{
}

void ChildProcessManifestFetch::fetch(const QUrl &url, Done done)
{
    auto *child = new QProcess(this);
    child->setProcessChannelMode(QProcess::SeparateChannels);
    child->setStandardErrorFile(QProcess::nullDevice());
    auto answer = std::make_shared<Done>(std::move(done));
    // Exactly one answer, whichever of exit, failure to start or the time
    // limit comes first.
    const auto finish = [child, answer](std::optional<QByteArray> body) {
        if (!*answer)
            return;
        const Done callback = std::exchange(*answer, Done());
        child->disconnect();
        child->kill();
        child->deleteLater();
        callback(std::move(body));
    };
    connect(child, &QProcess::readyReadStandardOutput, child, [child, finish] {
        if (child->bytesAvailable() > kManifestMaxBytes)
            finish(std::nullopt);
    });
    connect(child, &QProcess::finished, child, [child, finish](int exitCode, QProcess::ExitStatus status) {
        const QByteArray body = child->readAllStandardOutput();
        const bool ok = status == QProcess::NormalExit && exitCode == 0 && body.size() <= kManifestMaxBytes;
        finish(ok ? std::optional(body) : std::nullopt);
    });
    connect(child, &QProcess::errorOccurred, child, [finish](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish(std::nullopt);
    });
    QTimer::singleShot(m_timeLimit, child, [finish] { finish(std::nullopt); });
    child->start(m_program, {QString::fromLatin1(kChildFlag), url.toString(QUrl::FullyEncoded)});
}

int runManifestFetchChild(int argc, char **argv)
{
    if (argc != 3 || qstrcmp(argv[1], ChildProcessManifestFetch::kChildFlag) != 0)
        return 2;
    QCoreApplication app(argc, argv);
    QNetworkAccessManager network;
    NetworkManifestFetch fetch(network);
    int status = 1;
    fetch.fetch(QUrl(QString::fromUtf8(argv[2]), QUrl::StrictMode), [&status](std::optional<QByteArray> body) {
        if (body && std::fwrite(body->constData(), 1, static_cast<size_t>(body->size()), stdout)
                == static_cast<size_t>(body->size()))
            status = 0;
        QCoreApplication::exit();
    });
    QCoreApplication::exec();
    return std::fflush(stdout) == 0 ? status : 1;
}
