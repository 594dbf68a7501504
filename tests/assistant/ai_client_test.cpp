#include "assistant/ai_client.h"
#include "assistant/ai_openrouter_model.h"
#include "assistant/ai_request.h"
#include "platform/defaults.h"
#include "support/event_loop.h"
#include "support/loopback_http_server.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>

#include <optional>

void PrintTo(const PlusAIError &error, std::ostream *out)
{
    *out << '{' << error.domain.toStdString() << ", " << error.code << ", \"" << error.description.toStdString() << "\"}";
}

namespace {

using Response = LoopbackHttpServer::Response;

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(text).object();
}

PlusChatMessage message(const char *role, const char *text, bool isError = false)
{
    PlusChatMessage m;
    m.role = QString::fromLatin1(role);
    m.text = QString::fromLatin1(text);
    m.isError = isError;
    return m;
}

// A user turn, a reply, a system line, an error bubble and another user turn.
const QList<PlusChatMessage> kConversation{
    message("user", "Hi"), message("assistant", "Hello"), message("system", "Be brief"),
    message("assistant", "boom", true), message("user", "Why?"),
};

class PlusAIClientTest : public ::testing::Test
{
protected:
    PlusAIClientTest()
        : defaults(dir.filePath(QStringLiteral("settings.json")))
    {
    }

    PlusAIOutcome send(PlusAIProvider provider, const QString &key, const QList<PlusChatMessage> &conversation,
                       std::optional<QString> model = std::nullopt, std::chrono::milliseconds timeout = PlusAIClient::kRequestTimeout)
    {
        PlusAIClient client(network, defaults, hosts, timeout);
        std::optional<PlusAIOutcome> outcome;
        QObject context;
        client.send(provider, key, conversation, model, &context, [&](const PlusAIOutcome &o) { outcome = o; });
        EXPECT_TRUE(spinUntil([&] { return outcome.has_value(); }));
        return outcome.value_or(PlusAIError{});
    }

    PlusAIError sendExpectingError(PlusAIProvider provider, const QString &key = QStringLiteral("k"))
    {
        const PlusAIOutcome outcome = send(provider, key, {message("user", "hi")});
        EXPECT_TRUE(std::holds_alternative<PlusAIError>(outcome));
        return std::holds_alternative<PlusAIError>(outcome) ? std::get<PlusAIError>(outcome) : PlusAIError{};
    }

    QTemporaryDir dir;
    Defaults defaults;
    QNetworkAccessManager network;
    LoopbackHttpServer server;
    PlusAIHosts hosts{server.baseUrl(), server.baseUrl(), server.baseUrl(), server.baseUrl()};
};

TEST_F(PlusAIClientTest, EachProviderGetsItsOwnRequestShape)
{
    struct Case
    {
        PlusAIProvider provider;
        std::optional<QString> model;
        const char *path;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
    };
    // kConversation in the chat-completions form: the system line goes as the
    // assistant's and the error bubble stays behind.
    const QByteArray messages = R"("messages":[{"role":"user","content":"Hi"},{"role":"assistant","content":"Hello"},
        {"role":"assistant","content":"Be brief"},{"role":"user","content":"Why?"}])";
    const Case cases[] = {
        {PlusAIProvider::openRouter, QStringLiteral("   "), "/api/v1/chat/completions",
         {{"Authorization", "Bearer sk-1"}, {"X-Title", "Pendra Pro"}, {"HTTP-Referer", PlusAIRequests::kReferer}},
         R"({"model":"openrouter/auto",)" + messages + "}"},
        {PlusAIProvider::openai, QStringLiteral("anthropic/claude-3-haiku"), "/v1/chat/completions",
         {{"Authorization", "Bearer sk-1"}}, R"({"model":"gpt-4o-mini",)" + messages + "}"},
        {PlusAIProvider::gemini, std::nullopt, "/v1beta/models/gemini-2.0-flash:generateContent",
         {{"x-goog-api-key", "sk-1"}},
         R"({"contents":[{"role":"user","parts":[{"text":"Hi"}]},{"role":"model","parts":[{"text":"Hello"}]},
             {"role":"model","parts":[{"text":"Be brief"}]},{"role":"user","parts":[{"text":"Why?"}]}]})"},
        {PlusAIProvider::anthropic, std::nullopt, "/v1/messages",
         {{"x-api-key", "sk-1"}, {"anthropic-version", "2023-06-01"}},
         R"({"model":"claude-3-5-haiku-20241022","max_tokens":1024,)" + messages + "}"},
    };
    server.respondWith(Response{200, "{}"});
    for (const Case &c : cases) {
        SCOPED_TRACE(PlusAIProviders::displayName(c.provider).toStdString());
        const qsizetype before = server.requests().size();
        send(c.provider, QStringLiteral(" \n sk-1 \n"), kConversation, c.model);
        ASSERT_EQ(server.requests().size(), before + 1);
        const LoopbackHttpServer::Request request = server.requests().last();
        EXPECT_EQ(request.method, "POST");
        EXPECT_EQ(request.path, c.path);
        EXPECT_EQ(request.header("Content-Type"), "application/json");
        for (const auto &[name, value] : c.headers)
            EXPECT_EQ(request.header(name), value) << name.constData();
        EXPECT_EQ(QJsonDocument::fromJson(request.body).object(), json(c.body.constData()));
    }
}

TEST_F(PlusAIClientTest, OpenRouterUsesTheGivenModelElseTheStoredOneAndErrorBubblesAreNotSent)
{
    server.respondWith(Response{200, "{}"});
    PlusOpenRouterModels::store(defaults, QStringLiteral("  deepseek/deepseek-chat\n"));
    send(PlusAIProvider::openRouter, QStringLiteral("k"), {message("user", "hi")});
    send(PlusAIProvider::openRouter, QStringLiteral("k"), {message("user", "hi")}, QStringLiteral(" qwen/x "));
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(json(server.requests().at(0).body.constData()).value("model"), "deepseek/deepseek-chat");
    EXPECT_EQ(json(server.requests().at(1).body.constData()).value("model"), "qwen/x");

    // Only error bubbles leave an empty message list.
    send(PlusAIProvider::anthropic, QStringLiteral("k"), {message("assistant", "boom", true)});
    ASSERT_EQ(server.requests().size(), 3);
    EXPECT_EQ(json(server.requests().last().body.constData()).value("messages").toArray(), QJsonArray());
}

TEST_F(PlusAIClientTest, RepliesAreReadByProvider)
{
    struct Case
    {
        PlusAIProvider provider;
        Response response;
        PlusAIOutcome expected;
    };
    const QByteArray longBody(500, 'x');
    const Case cases[] = {
        {PlusAIProvider::openai, {200, R"({"choices":[{"message":{"content":" \n ok \n"}},{"message":{"content":"no"}}]})"},
         QStringLiteral("ok")},
        {PlusAIProvider::openRouter, {200, R"({"choices":[{"message":{"content":"  "}}]})"}, QString()},
        {PlusAIProvider::gemini,
         {200, R"({"candidates":[{"content":{"parts":[{"text":"first"},{"text":"second"}]}}]})"},
         QStringLiteral("first")},
        {PlusAIProvider::anthropic, {200, R"({"content":[{"type":"text","text":"hello"}]})"},
         QStringLiteral("hello")},
        {PlusAIProvider::anthropic, {401, R"({"error":"invalid x-api-key"})"},
         PlusAIError{"Anthropic", 401, R"(Anthropic HTTP 401: {"error":"invalid x-api-key"})"}},
        {PlusAIProvider::openRouter, {429, longBody},
         PlusAIError{"OpenRouter", 429, "OpenRouter HTTP 429: " + QString(180, 'x')}},
        {PlusAIProvider::gemini, {500, "\xff\xfe bad"}, PlusAIError{"Gemini", 500, "Gemini HTTP 500: "}},
        {PlusAIProvider::openai, {200, R"({"choices":[]})"}, PlusAIError{"OpenAI", 0, "Empty response from OpenAI"}},
        {PlusAIProvider::openRouter, {200, R"({"choices":[{"message":{"content":7}}]})"},
         PlusAIError{"OpenRouter", 0, "Empty response from OpenRouter"}},
        {PlusAIProvider::gemini, {200, R"([1,2])"}, PlusAIError{"Gemini", 0, "Empty response from Gemini"}},
        {PlusAIProvider::openai, {200, "<html>busy</html>"},
         PlusAIError{PlusAIReplies::kJsonDomain, QJsonParseError::IllegalValue, "illegal value"}},
        // A redirect is not followed: the key would travel with it.
        {PlusAIProvider::openai, {302, "", {{"Location", "http://127.0.0.1:1/elsewhere"}}},
         PlusAIError{"OpenAI", 302, "OpenAI HTTP 302: "}},
        {PlusAIProvider::anthropic, {200, QByteArray(PlusAIClient::kMaxReplyBytes + 1, ' ')},
         PlusAIError{"Anthropic", PlusAIClient::replyTooLarge, "Anthropic reply is larger than 8 MiB and was not read."}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.response.body.left(40).toStdString() + " (" + std::to_string(c.response.body.size()) + " bytes)");
        server.respondWith(c.response);
        const qsizetype before = server.requests().size();
        EXPECT_EQ(send(c.provider, QStringLiteral("k"), {message("user", "hi")}), c.expected);
        EXPECT_EQ(server.requests().size(), before + 1);
    }
}

TEST_F(PlusAIClientTest, RefusalsNeverReachTheNetwork)
{
    const PlusAIError noKey = sendExpectingError(PlusAIProvider::gemini, QStringLiteral("  \n \t"));
    EXPECT_EQ(noKey, (PlusAIError{"Gemini", 401, "Add your Gemini API key in API Config."}));
    EXPECT_EQ(sendExpectingError(PlusAIProvider::openai, QStringLiteral("sk\r\nX-Evil: 1")).code,
              PlusAIClient::unsafeKey);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(PlusAIClientTest, KeysTravelOnlyOverHttpsOrToTheLoopbackTestAddress)
{
    for (const char *base : {"http://localhost:1", "http://example.invalid", "ftp://127.0.0.1:1"}) {
        hosts = PlusAIHosts{QUrl(base), QUrl(base), QUrl(base), QUrl(base)};
        EXPECT_EQ(sendExpectingError(PlusAIProvider::openai).code, PlusAIClient::insecureHost) << base;
    }
    const PlusAIHosts production = PlusAIHosts::production();
    for (PlusAIProvider provider : PlusAIProviders::all())
        EXPECT_EQ(production.base(provider).scheme(), "https");
}

TEST_F(PlusAIClientTest, SilentServerTimesOut)
{
    server.respondWith(Response::silent());
    const PlusAIOutcome outcome =
        send(PlusAIProvider::openai, QStringLiteral("k"), {message("user", "hi")}, std::nullopt,
             std::chrono::milliseconds(50));
    EXPECT_EQ(outcome, (PlusAIOutcome(PlusAIError{PlusAIClient::kNetworkDomain, QNetworkReply::TimeoutError,
                                                  "The request timed out."})));
}

TEST_F(PlusAIClientTest, DroppedCallerNeverHearsBack)
{
    server.setHandler([this](const LoopbackHttpServer::Request &) {
        return server.requests().size() == 1 ? Response::silent() : Response{200, R"({"content":[{"text":"late"}]})"};
    });
    PlusAIClient client(network, defaults, hosts);
    bool called = false;
    auto context = std::make_unique<QObject>();
    client.send(PlusAIProvider::anthropic, QStringLiteral("k"), {message("user", "hi")}, std::nullopt, context.get(),
                [&](const PlusAIOutcome &) { called = true; });
    ASSERT_TRUE(spinUntil([&] { return !server.requests().isEmpty(); }));
    context.reset();
    EXPECT_EQ(send(PlusAIProvider::anthropic, QStringLiteral("k"), {message("user", "hi")}),
              PlusAIOutcome(QStringLiteral("late")));
    EXPECT_FALSE(called);
}

} // namespace
