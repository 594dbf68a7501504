#include "support/event_loop.h"
#include "support/loopback_http_server.h"
#include "support/test_paths.h"
#include "updates/manifest_fetch.h"
#include "updates/version_manifest.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// The check at launch runs in a copy of the built app, which must hand back
// exactly what the server sent and nothing when the server misbehaves.
std::optional<QByteArray> fetchThroughChild(const QString &program, const QUrl &url,
                                            std::chrono::milliseconds timeLimit = 20s)
{
    ChildProcessManifestFetch fetch(program, timeLimit);
    bool answered = false;
    std::optional<QByteArray> result;
    fetch.fetch(url, [&](std::optional<QByteArray> body) {
        answered = true;
        result = std::move(body);
    });
    EXPECT_TRUE(spinUntil([&] { return answered; }, 30000));
    return result;
}

TEST(ChildProcessManifestFetch, HandsBackTheBodyOrNothing)
{
    LoopbackHttpServer server(LoopbackHttpServer::Thread::own);
    const QByteArray manifest = R"({"latest":"v0.1.7-Pro"})";
    server.respond("/version.json", manifest);
    server.respond("/huge.json", QByteArray(kManifestMaxBytes + 1, 'x'));
    server.respond("/hangs-up.json", QByteArray(), 0);
    server.respond("/silent.json", LoopbackHttpServer::Response::silent());

    const QString app = TestPaths::appBinary();
    EXPECT_EQ(fetchThroughChild(app, server.url("/version.json")), std::optional(manifest));
    EXPECT_EQ(fetchThroughChild(app, server.url("/huge.json")), std::nullopt);
    EXPECT_EQ(fetchThroughChild(app, server.url("/hangs-up.json")), std::nullopt);
    EXPECT_EQ(fetchThroughChild(app, server.url("/silent.json"), 1500ms), std::nullopt);
    EXPECT_EQ(fetchThroughChild(QStringLiteral("/nonexistent/pendrapro"), server.url("/version.json")), std::nullopt);
}

} // namespace
