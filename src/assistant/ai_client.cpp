#include "assistant/ai_client.h"

#include "assistant/ai_openrouter_model.h"
#include "assistant/ai_request.h"

#include <QJsonDocument>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

#include <memory>

namespace {

// Any control character would let a pasted key end the header line and
// start another one.
bool hasControlCharacters(const QString &key)
{
    for (QChar c : key) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

bool isAllowedBase(const QUrl &base)
{
    if (base.scheme() == QLatin1String("https"))
        return !base.host().isEmpty();
    return base.scheme() == QLatin1String("http") && base.host() == QLatin1String("127.0.0.1");
}

void finishLater(QObject *context, PlusAIClient::Completion done, PlusAIOutcome outcome)
{
    QMetaObject::invokeMethod(
        context, [done = std::move(done), outcome = std::move(outcome)] { done(outcome); },
        Qt::QueuedConnection);
}

struct ReplyState
{
    bool tooLarge = false;
};

PlusAIOutcome outcomeOf(PlusAIProvider provider, QNetworkReply *reply, const ReplyState &state)
{
    const QString name = PlusAIProviders::displayName(provider);
    if (state.tooLarge) {
        return PlusAIError{name, PlusAIClient::replyTooLarge,
                           name + QStringLiteral(" reply is larger than 8 MiB and was not read.")};
    }
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        return PlusAIReplies::parse(provider, status.toInt(), reply->readAll());
    if (reply->error() == QNetworkReply::OperationCanceledError) {
        // Only the transfer timeout cancels a reply that is still wanted.
        return PlusAIError{PlusAIClient::kNetworkDomain, QNetworkReply::TimeoutError,
                           QStringLiteral("The request timed out.")};
    }
    if (reply->error() != QNetworkReply::NoError)
        return PlusAIError{PlusAIClient::kNetworkDomain, reply->error(), reply->errorString()};
    return PlusAIError{PlusAIClient::kNetworkDomain, QNetworkReply::ProtocolFailure,
                       QStringLiteral("The server returned a bad response.")};
}

} // namespace

PlusAIHosts PlusAIHosts::production()
{
    return PlusAIHosts{
        QUrl(QStringLiteral("https://openrouter.ai")),
        QUrl(QStringLiteral("https://generativelanguage.googleapis.com")),
        QUrl(QStringLiteral("https://api.openai.com")),
        QUrl(QStringLiteral("https://api.anthropic.com")),
    };
}

QUrl PlusAIHosts::base(PlusAIProvider provider) const
{
    switch (provider) {
    case PlusAIProvider::openRouter:
        return openRouter;
    case PlusAIProvider::gemini:
        return gemini;
    case PlusAIProvider::openai:
        return openai;
    case PlusAIProvider::anthropic:
        return anthropic;
    }
    return {};
}

PlusAIClient::PlusAIClient(QNetworkAccessManager &network, const Defaults &defaults, PlusAIHosts hosts,
                           std::chrono::milliseconds timeout)
    : m_network(network)
    , m_defaults(defaults)
    , m_hosts(std::move(hosts))
    , m_timeout(timeout)
{
}

QString PlusAIClient::openRouterModel(const std::optional<QString> &model) const
{
    const QString given = model.value_or(QString()).trimmed();
    return given.isEmpty() ? PlusOpenRouterModels::stored(m_defaults) : given;
}

void PlusAIClient::send(PlusAIProvider provider, const QString &key, const QList<PlusChatMessage> &conversation,
                        const std::optional<QString> &model, QObject *context, Completion done) const
{
    const QString name = PlusAIProviders::displayName(provider);
    const QString trimmedKey = key.trimmed();
    if (trimmedKey.isEmpty()) {
        finishLater(context, std::move(done),
                    PlusAIError{name, 401, QStringLiteral("Add your ") + name + QStringLiteral(" API key in API Config.")});
        return;
    }
    if (hasControlCharacters(trimmedKey)) {
        finishLater(context, std::move(done),
                    PlusAIError{name, unsafeKey,
                                QStringLiteral("The ") + name
                                    + QStringLiteral(" API key contains line breaks or control characters.")});
        return;
    }
    const QUrl base = m_hosts.base(provider);
    if (!isAllowedBase(base)) {
        finishLater(context, std::move(done),
                    PlusAIError{name, insecureHost,
                                name + QStringLiteral(" address is not HTTPS; the key was not sent.")});
        return;
    }

    const PlusAIRequest built = PlusAIRequests::build(provider, trimmedKey, conversation, openRouterModel(model));
    QUrl url = base;
    url.setPath(built.path);
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    for (const auto &[header, value] : built.headers)
        request.setRawHeader(header, value);
    request.setTransferTimeout(static_cast<int>(m_timeout.count()));
    // A redirect would carry the key's header to whatever host it names.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);

    QNetworkReply *reply =
        m_network.post(request, QJsonDocument(built.body).toJson(QJsonDocument::Compact));
    auto state = std::make_shared<ReplyState>();
    QPointer<QNetworkReply> guard(reply);
    auto capSize = [reply, state](qint64 size) {
        if (size > kMaxReplyBytes && !state->tooLarge) {
            state->tooLarge = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, capSize] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            capSize(length.toLongLong());
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [capSize](qint64 received, qint64) { capSize(received); });
    QObject::connect(reply, &QNetworkReply::finished, context,
                     [reply, state, provider, done = std::move(done)] {
                         reply->deleteLater();
                         done(outcomeOf(provider, reply, *state));
                     });
    // Dropping the caller drops its request.
    QObject::connect(context, &QObject::destroyed, reply, [guard] {
        if (guard) {
            QObject::disconnect(guard, &QNetworkReply::finished, nullptr, nullptr);
            guard->abort();
            guard->deleteLater();
        }
    });
}
