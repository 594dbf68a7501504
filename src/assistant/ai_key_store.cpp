#include "assistant/ai_key_store.h"

#include "platform/defaults.h"

#include <QPointer>

#include <memory>

QString PlusAIKeyStore::legacyKey(PlusAIProvider provider)
{
    return QStringLiteral("pendrapro.ai.key.") + PlusAIProviders::displayName(provider);
}

PlusAIKeyStore::PlusAIKeyStore(Keychain &keychain, Defaults &defaults, QObject *parent)
    : QObject(parent)
    , m_keychain(keychain)
    , m_defaults(defaults)
{
}

void PlusAIKeyStore::enqueue(Step step)
{
    m_steps.push_back(std::move(step));
    if (!m_running)
        runNext();
}

void PlusAIKeyStore::runNext()
{
    if (m_steps.empty()) {
        m_running = false;
        return;
    }
    m_running = true;
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    QPointer<PlusAIKeyStore> self(this);
    step([self] {
        if (self)
            self->runNext();
    });
}

void PlusAIKeyStore::load()
{
    if (m_loadStarted)
        return;
    m_loadStarted = true;
    enqueue([this](std::function<void()> finished) { migrate(std::move(finished)); });
    enqueue([this](std::function<void()> finished) { readAll(std::move(finished)); });
}

void PlusAIKeyStore::whenLoaded(QObject *context, std::function<void()> then)
{
    if (m_loaded) {
        then();
        return;
    }
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(this, &PlusAIKeyStore::loaded, context, [connection, then = std::move(then)] {
        QObject::disconnect(*connection);
        then();
    });
    load();
}

void PlusAIKeyStore::migrate(std::function<void()> finished)
{
    if (m_defaults.boolValue(kMigratedKey).value_or(false)) {
        finished();
        return;
    }
    struct Pending
    {
        int remaining = 0;
        bool allStored = true;
    };
    auto pending = std::make_shared<Pending>();
    QPointer<PlusAIKeyStore> self(this);
    auto settle = [self, pending, finished] {
        if (--pending->remaining > 0)
            return;
        // A key that could not be stored keeps its setting and is tried
        // again at the next launch.
        if (self && pending->allStored)
            self->m_defaults.setBool(kMigratedKey, true);
        finished();
    };
    pending->remaining = 1;
    for (PlusAIProvider provider : PlusAIProviders::all()) {
        const QString legacy = m_defaults.stringValue(legacyKey(provider)).value_or(QString());
        if (legacy.isEmpty())
            continue;
        ++pending->remaining;
        m_keychain.write(kService, PlusAIProviders::displayName(provider), legacy,
                         [self, pending, settle, provider, legacy](const Keychain::Result &result) {
                             if (self && result.status == Keychain::Status::ok) {
                                 // Keep a setting that changed while the write ran.
                                 if (self->m_defaults.stringValue(legacyKey(provider)) == legacy)
                                     self->m_defaults.remove(legacyKey(provider));
                             } else {
                                 pending->allStored = false;
                             }
                             settle();
                         });
    }
    settle();
}

void PlusAIKeyStore::readAll(std::function<void()> finished)
{
    auto remaining = std::make_shared<int>(static_cast<int>(PlusAIProviders::all().size()));
    QPointer<PlusAIKeyStore> self(this);
    for (PlusAIProvider provider : PlusAIProviders::all()) {
        m_keychain.read(kService, PlusAIProviders::displayName(provider),
                        [self, remaining, provider, finished](const Keychain::Result &result) {
                            if (!self)
                                return;
                            self->m_keychainValues[provider] =
                                result.status == Keychain::Status::ok ? result.value : QString();
                            if (--*remaining > 0)
                                return;
                            self->m_loaded = true;
                            emit self->loaded();
                            finished();
                        });
    }
}

QString PlusAIKeyStore::keyForProvider(PlusAIProvider provider) const
{
    const QString stored = m_keychainValues.value(provider);
    if (!stored.isEmpty())
        return stored;
    return m_defaults.stringValue(legacyKey(provider)).value_or(QString());
}

void PlusAIKeyStore::saveKey(PlusAIProvider provider, const QString &key, SaveCompletion done)
{
    const QString trimmed = key.trimmed();
    // The read goes first, so it cannot bring back what this save replaces.
    load();
    enqueue([this, provider, trimmed, done = std::move(done)](std::function<void()> finished) {
        QPointer<PlusAIKeyStore> self(this);
        auto apply = [self, provider, trimmed, done, finished](const Keychain::Result &result) {
            if (!self)
                return;
            SaveOutcome outcome;
            outcome.saved = result.status == Keychain::Status::ok;
            outcome.cleared = trimmed.isEmpty();
            outcome.store = result.store;
            outcome.location = result.location;
            outcome.error = result.error;
            if (outcome.saved) {
                self->m_defaults.remove(legacyKey(provider));
                self->m_keychainValues[provider] = trimmed;
                emit self->keyChanged(provider);
            }
            if (done)
                done(outcome);
            finished();
        };
        const QString account = PlusAIProviders::displayName(provider);
        if (trimmed.isEmpty())
            m_keychain.remove(kService, account, apply);
        else
            m_keychain.write(kService, account, trimmed, apply);
    });
}
