#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

// HTTP GETs that block the calling thread, for background queues only (never
// the main thread). Each runs its own network manager and event loop on the
// caller's thread; local caches are never used.
namespace BlockingHttp {

// The body of a GET, whatever the status; absent on a transport error.
std::optional<QByteArray> fetch(const QUrl &url, std::chrono::milliseconds timeout);

struct Download
{
    // Transport error text; empty on success.
    QString error;
    // The HTTP status, when the server sent one.
    std::optional<int> httpStatus;
};

// Streams the body into `path` (replacing it) when the transfer succeeds;
// nothing is left at `path` otherwise. `progress(received, total)` runs on the
// calling thread; total is -1 when unknown.
Download download(const QUrl &url, const QString &path, std::chrono::milliseconds timeout,
                  const std::function<void(std::int64_t, std::int64_t)> &progress);

} // namespace BlockingHttp
