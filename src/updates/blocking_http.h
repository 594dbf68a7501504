#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

class QNetworkReply;

// HTTP GETs that block the calling thread, for background queues only (never
// the main thread). Each runs its own network manager and event loop on the
// caller's thread; local caches are never used.
namespace BlockingHttp {

// Aborts `reply` as soon as it announces or delivers more than `maxBytes`;
// `exceeded` (when given) then runs once, before the abort.
void abortBeyond(QNetworkReply *reply, std::int64_t maxBytes, const std::function<void()> &exceeded = {});

// The body of a GET, whatever the status; absent on a transport error or
// when the body would be larger than `maxBytes`.
std::optional<QByteArray> fetch(const QUrl &url, std::chrono::milliseconds timeout, std::int64_t maxBytes);

struct DownloadLimits
{
    std::int64_t maxBytes = 0;
    // The transfer fails once no byte has arrived for this long.
    std::chrono::milliseconds stallTimeout{0};
};

struct Download
{
    enum class Failure { none, transport, tooLarge, stalled };

    Failure failure = Failure::none;
    // The transport error text, for Failure::transport.
    QString error;
    // The HTTP status, when the server sent one.
    std::optional<int> httpStatus;
};

// Streams the body into `path` (replacing it) when the transfer succeeds;
// nothing is left at `path` otherwise. `progress(received, total)` runs on the
// calling thread; total is -1 when unknown.
Download download(const QUrl &url, const QString &path, const DownloadLimits &limits,
                  const std::function<void(std::int64_t, std::int64_t)> &progress);

} // namespace BlockingHttp
