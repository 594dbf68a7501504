#include "assistant/ai_key_store.h"
#include "platform/defaults.h"
#include "platform/linux/secrets_file_keychain.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <optional>
#include <sys/stat.h>

namespace {

class PlusAIKeyStoreTest : public ::testing::Test
{
protected:
    PlusAIKeyStoreTest()
        : defaults(dir.filePath(QStringLiteral("settings.json")))
        , keychain(dir.filePath(QStringLiteral("secrets")))
    {
    }

    // What the keychain itself holds for a provider, read past the store.
    std::optional<QString> inKeychain(PlusAIProvider provider)
    {
        std::optional<Keychain::Result> result;
        keychain.read(PlusAIKeyStore::kService, PlusAIProviders::displayName(provider),
                      [&](const Keychain::Result &r) { result = r; });
        EXPECT_TRUE(spinUntil([&] { return result.has_value(); }));
        if (!result || result->status != Keychain::Status::ok)
            return std::nullopt;
        return result->value;
    }

    void load(PlusAIKeyStore &store)
    {
        QSignalSpy loaded(&store, &PlusAIKeyStore::loaded);
        store.load();
        ASSERT_TRUE(spinUntil([&] { return loaded.count() == 1; }));
    }

    PlusAIKeyStore::SaveOutcome save(PlusAIKeyStore &store, PlusAIProvider provider, const QString &key)
    {
        std::optional<PlusAIKeyStore::SaveOutcome> outcome;
        store.saveKey(provider, key, [&](const PlusAIKeyStore::SaveOutcome &o) { outcome = o; });
        EXPECT_TRUE(spinUntil([&] { return outcome.has_value(); }));
        return outcome.value_or(PlusAIKeyStore::SaveOutcome{});
    }

    QByteArray settingsFile() const
    {
        QFile file(defaults.filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    Defaults defaults;
    SecretsFileKeychain keychain;
};

TEST_F(PlusAIKeyStoreTest, LegacyKeysMoveIntoTheKeychainOnce)
{
    defaults.setString(PlusAIKeyStore::legacyKey(PlusAIProvider::gemini), QStringLiteral("g-legacy"));
    defaults.setString(PlusAIKeyStore::legacyKey(PlusAIProvider::openai), QString());
    {
        PlusAIKeyStore store(keychain, defaults);
        EXPECT_EQ(store.keyForProvider(PlusAIProvider::gemini), "g-legacy"); // before the keychain answers
        load(store);
        EXPECT_EQ(store.keyForProvider(PlusAIProvider::gemini), "g-legacy");
    }
    EXPECT_EQ(inKeychain(PlusAIProvider::gemini), "g-legacy");
    EXPECT_FALSE(defaults.contains(PlusAIKeyStore::legacyKey(PlusAIProvider::gemini)));
    EXPECT_TRUE(defaults.contains(PlusAIKeyStore::legacyKey(PlusAIProvider::openai))); // empty is left alone
    EXPECT_EQ(defaults.boolValue(PlusAIKeyStore::kMigratedKey), true);
    EXPECT_FALSE(settingsFile().contains("g-legacy"));

    // Once migrated, a legacy key is still read but no longer moved.
    defaults.setString(PlusAIKeyStore::legacyKey(PlusAIProvider::anthropic), QStringLiteral("a-legacy"));
    PlusAIKeyStore again(keychain, defaults);
    load(again);
    EXPECT_EQ(again.keyForProvider(PlusAIProvider::anthropic), "a-legacy");
    EXPECT_EQ(inKeychain(PlusAIProvider::anthropic), std::nullopt);
    EXPECT_EQ(again.keyForProvider(PlusAIProvider::openRouter), "");
}

TEST_F(PlusAIKeyStoreTest, MigrationThatCannotStoreKeepsTheLegacyKeyForNextLaunch)
{
    defaults.setString(PlusAIKeyStore::legacyKey(PlusAIProvider::openRouter), QStringLiteral("or-legacy"));
    QDir().mkpath(dir.filePath(QStringLiteral("secrets")));
    ::chmod(QFile::encodeName(dir.filePath(QStringLiteral("secrets"))).constData(), 0755); // refused
    PlusAIKeyStore store(keychain, defaults);
    load(store);
    EXPECT_EQ(store.keyForProvider(PlusAIProvider::openRouter), "or-legacy");
    EXPECT_EQ(defaults.stringValue(PlusAIKeyStore::legacyKey(PlusAIProvider::openRouter)), "or-legacy");
    EXPECT_FALSE(defaults.contains(PlusAIKeyStore::kMigratedKey));
}

TEST_F(PlusAIKeyStoreTest, SaveTrimsStoresAndDropsTheLegacyKey)
{
    defaults.setBool(PlusAIKeyStore::kMigratedKey, true);
    defaults.setString(PlusAIKeyStore::legacyKey(PlusAIProvider::openai), QStringLiteral("old"));
    PlusAIKeyStore store(keychain, defaults);
    load(store);
    QSignalSpy changed(&store, &PlusAIKeyStore::keyChanged);

    const PlusAIKeyStore::SaveOutcome saved = save(store, PlusAIProvider::openai, QStringLiteral("  sk-new \n"));
    EXPECT_TRUE(saved.saved);
    EXPECT_FALSE(saved.cleared);
    EXPECT_EQ(store.keyForProvider(PlusAIProvider::openai), "sk-new");
    EXPECT_EQ(inKeychain(PlusAIProvider::openai), "sk-new");
    EXPECT_FALSE(defaults.contains(PlusAIKeyStore::legacyKey(PlusAIProvider::openai)));
    EXPECT_FALSE(settingsFile().contains("sk-new"));

    const PlusAIKeyStore::SaveOutcome cleared = save(store, PlusAIProvider::openai, QStringLiteral("   "));
    EXPECT_TRUE(cleared.saved);
    EXPECT_TRUE(cleared.cleared);
    EXPECT_EQ(store.keyForProvider(PlusAIProvider::openai), "");
    EXPECT_EQ(inKeychain(PlusAIProvider::openai), std::nullopt);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(PlusAIKeyStoreTest, FailedSaveKeepsWhatWasThere)
{
    defaults.setBool(PlusAIKeyStore::kMigratedKey, true);
    defaults.setString(PlusAIKeyStore::legacyKey(PlusAIProvider::gemini), QStringLiteral("old"));
    PlusAIKeyStore store(keychain, defaults);
    load(store);
    QDir().mkpath(dir.filePath(QStringLiteral("secrets")));
    ::chmod(QFile::encodeName(dir.filePath(QStringLiteral("secrets"))).constData(), 0777);

    const PlusAIKeyStore::SaveOutcome outcome = save(store, PlusAIProvider::gemini, QStringLiteral("new"));
    EXPECT_FALSE(outcome.saved);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_EQ(store.keyForProvider(PlusAIProvider::gemini), "old");
}

} // namespace
