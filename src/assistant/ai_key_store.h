#pragma once

#include "assistant/ai_provider.h"
#include "platform/keychain.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <deque>
#include <functional>

class Defaults;

// The user's provider API keys, one secret per provider under the service
// "com.marblewickhq.pendrapro.ai" with the display name as account. Keys
// that older versions kept in the settings file are moved into the keychain
// once. The keychain is first touched when a key is needed, since reading it
// may start the desktop's secret service or ask to unlock it. The keychain
// answers asynchronously, so the store keeps what it last read or saved and
// answers `keyForProvider` from memory; keychain work runs one operation at a
// time, in call order.
class PlusAIKeyStore : public QObject
{
    Q_OBJECT

public:
    static inline const QString kService = QStringLiteral("com.marblewickhq.pendrapro.ai");
    static inline const QString kMigratedKey = QStringLiteral("pendrapro.ai.keychain.migrated.v1");
    // "pendrapro.ai.key.<display name>": a plain-text key from older versions.
    static QString legacyKey(PlusAIProvider provider);

    struct SaveOutcome
    {
        bool saved = false; // the key (or its removal) is stored
        bool cleared = false; // the trimmed key was empty, so the item was removed
        Keychain::Store store = Keychain::Store::secretService;
        QString location; // the file that holds the key, when it went to the secrets file
        QString error; // when not saved
    };
    using SaveCompletion = std::function<void(const SaveOutcome &)>;

    PlusAIKeyStore(Keychain &keychain, Defaults &defaults, QObject *parent = nullptr);

    // Moves legacy keys into the keychain unless that was done before, then
    // reads every provider's key. Emits `loaded` when done. Only the first
    // call does anything.
    void load();
    bool isLoaded() const { return m_loaded; }
    // Runs `then` once the keys are read, starting the read if needed; at
    // once when they already are. Dropped when `context` goes away first.
    void whenLoaded(QObject *context, std::function<void()> then);

    // The keychain value when it is non-empty, else the legacy setting, else
    // "". Not trimmed. Before `loaded`, only the legacy setting is known.
    QString keyForProvider(PlusAIProvider provider) const;

    // Trims `key`; stores it, or removes the item when nothing is left. The
    // legacy setting goes only once the keychain has the key, so a failed
    // save loses nothing. `done` runs on the main thread.
    void saveKey(PlusAIProvider provider, const QString &key, SaveCompletion done = {});

signals:
    void loaded();
    void keyChanged(PlusAIProvider provider);

private:
    using Step = std::function<void(std::function<void()> finished)>;
    void enqueue(Step step);
    void runNext();
    void migrate(std::function<void()> finished);
    void readAll(std::function<void()> finished);

    Keychain &m_keychain;
    Defaults &m_defaults;
    QHash<PlusAIProvider, QString> m_keychainValues;
    std::deque<Step> m_steps;
    bool m_running = false;
    bool m_loadStarted = false;
    bool m_loaded = false;
};
