#include "platform/linux/fallback_keychain.h"
#include "platform/linux/secret_service_keychain.h"
#include "platform/linux/secret_service_presence.h"
#include "platform/linux/secrets_file_keychain.h"
#include "platform/system_backends.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_files.h"
#include "support/test_keyring.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <optional>
#include <sys/stat.h>

namespace {

const QString kService = QStringLiteral("com.marblewickhq.pendrapro.ai");

using Status = Keychain::Status;
using Store = Keychain::Store;

Keychain::Result await(const std::function<void(Keychain::Callback)> &start)
{
    std::optional<Keychain::Result> result;
    start([&](const Keychain::Result &r) { result = r; });
    EXPECT_FALSE(result.has_value()) << "callback ran inside the call";
    EXPECT_TRUE(spinUntil([&] { return result.has_value(); }));
    return result.value_or(Keychain::Result{});
}

Keychain::Result readFrom(Keychain &keychain, const QString &account)
{
    return await([&](Keychain::Callback done) { keychain.read(kService, account, done); });
}

Keychain::Result writeTo(Keychain &keychain, const QString &account, const QString &value)
{
    return await([&](Keychain::Callback done) { keychain.write(kService, account, value, done); });
}

Keychain::Result removeFrom(Keychain &keychain, const QString &account)
{
    return await([&](Keychain::Callback done) { keychain.remove(kService, account, done); });
}

mode_t modeOf(const QString &path)
{
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 0777;
}

// A secret store in memory that answers later, as a real one does; `refuse`
// makes it fail every call the way a locked keyring or a cancelled prompt
// does.
class MemoryKeychain : public Keychain
{
public:
    bool refuse = false;
    QHash<QString, QString> items;

    void read(const QString &, const QString &account, Callback done) override
    {
        answer(std::move(done), items.contains(account) ? Result{Status::ok, items.value(account)}
                                                          : Result{Status::notFound});
    }
    void write(const QString &, const QString &account, const QString &value, Callback done) override
    {
        if (!refuse)
            items.insert(account, value);
        answer(std::move(done), Result{Status::ok});
    }
    void remove(const QString &, const QString &account, Callback done) override
    {
        if (!refuse)
            items.remove(account);
        answer(std::move(done), Result{Status::ok});
    }

private:
    void answer(Callback done, Result result)
    {
        if (refuse)
            result = Result{Status::failed, {}, QStringLiteral("Cannot unlock the collection\nPrompt dismissed")};
        QMetaObject::invokeMethod(
            qApp, [done = std::move(done), result] { done(result); }, Qt::QueuedConnection);
    }
};

// A FallbackKeychain over a keyring in memory that can come and go, and a
// real secrets file.
struct KeyringAndFile
{
    explicit KeyringAndFile(const QString &folder)
        : keyring(new MemoryKeychain)
        , keychain(std::unique_ptr<Keychain>(keyring), std::make_unique<SecretsFileKeychain>(folder),
                   [this] { return keyringPresent; })
        , file(folder)
    {
    }

    MemoryKeychain *keyring;
    bool keyringPresent = true;
    FallbackKeychain keychain;
    SecretsFileKeychain file;
};

// The system keychain is the keyring whenever one answers.
TEST(SecretServiceKeychain, RoundTripThroughGnomeKeyringAndTheSystemKeychainUsesIt)
{
    TestKeyring keyring;
    ASSERT_TRUE(keyring.ready());
    SecretServiceKeychain keychain;
    EXPECT_EQ(readFrom(keychain, QStringLiteral("Gemini")).status, Status::notFound);
    EXPECT_EQ(writeTo(keychain, QStringLiteral("Gemini"), QStringLiteral("g-1")).status, Status::ok);
    EXPECT_EQ(writeTo(keychain, QStringLiteral("Gemini"), QStringLiteral("g-2")).status, Status::ok);
    const Keychain::Result read = readFrom(keychain, QStringLiteral("Gemini"));
    EXPECT_EQ(read.status, Status::ok);
    EXPECT_EQ(read.value, "g-2");
    EXPECT_EQ(readFrom(keychain, QStringLiteral("OpenAI")).status, Status::notFound);
    EXPECT_EQ(removeFrom(keychain, QStringLiteral("Gemini")).status, Status::ok);
    EXPECT_EQ(removeFrom(keychain, QStringLiteral("Gemini")).status, Status::ok);
    EXPECT_EQ(readFrom(keychain, QStringLiteral("Gemini")).status, Status::notFound);

    QTemporaryDir dir;
    std::unique_ptr<Keychain> system = makeSystemKeychain(dir.filePath(QStringLiteral("secrets")));
    const Keychain::Result written = writeTo(*system, QStringLiteral("OpenAI"), QStringLiteral("fresh"));
    EXPECT_EQ(written.status, Status::ok);
    EXPECT_EQ(written.store, Store::secretService);
    EXPECT_EQ(readFrom(keychain, QStringLiteral("OpenAI")).value, "fresh");
}

TEST(FallbackKeychain, WithoutSecretServiceTheKeyLivesInAPrivateFile)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("config/secrets"));
    {
        KeyringAndFile stores(folder);
        stores.keyringPresent = false;
        const Keychain::Result written = writeTo(stores.keychain, QStringLiteral("Anthropic"), QStringLiteral("a-1"));
        EXPECT_EQ(written.status, Status::ok);
        EXPECT_EQ(written.store, Store::secretsFile);
        EXPECT_EQ(written.location, folder + QStringLiteral("/secrets.json"));
    }
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(folder + QStringLiteral("/secrets.json")), 0600u);

    KeyringAndFile reloaded(folder);
    reloaded.keyringPresent = false;
    const Keychain::Result read = readFrom(reloaded.keychain, QStringLiteral("Anthropic"));
    EXPECT_EQ(read.status, Status::ok);
    EXPECT_EQ(read.value, "a-1");
    EXPECT_EQ(removeFrom(reloaded.keychain, QStringLiteral("Anthropic")).status, Status::ok);
    EXPECT_EQ(readFrom(reloaded.keychain, QStringLiteral("Anthropic")).status, Status::notFound);
}

TEST(FallbackKeychain, AKeyringThatRefusesGetsNoPlainTextCopyAndAClearIsDoneEverywhereOrReportedAsNotDone)
{
    QTemporaryDir dir;
    KeyringAndFile stores(dir.filePath(QStringLiteral("secrets")));
    stores.keyring->refuse = true;

    const Keychain::Result written = writeTo(stores.keychain, QStringLiteral("OpenAI"), QStringLiteral("o-1"));
    EXPECT_EQ(written.status, Status::failed);
    EXPECT_EQ(written.error, "the keyring did not store it (Cannot unlock the collection)");
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("secrets/secrets.json"))));
    EXPECT_EQ(readFrom(stores.keychain, QStringLiteral("OpenAI")).status, Status::failed);

    // A clear is done everywhere or reported as not done.
    stores.keyring->refuse = false;
    stores.keyring->items.insert(QStringLiteral("Gemini"), QStringLiteral("in-keyring"));
    writeTo(stores.file, QStringLiteral("Gemini"), QStringLiteral("in-file"));

    stores.keyring->refuse = true;
    const Keychain::Result refused = removeFrom(stores.keychain, QStringLiteral("Gemini"));
    EXPECT_EQ(refused.status, Status::failed);
    EXPECT_EQ(refused.error, "the keyring kept it (Cannot unlock the collection)");

    stores.keyring->refuse = false;
    EXPECT_EQ(removeFrom(stores.keychain, QStringLiteral("Gemini")).status, Status::ok);
    EXPECT_EQ(readFrom(stores.keychain, QStringLiteral("Gemini")).status, Status::notFound);
    EXPECT_EQ(readFrom(stores.file, QStringLiteral("Gemini")).status, Status::notFound);
}

// A key saved while the desktop had no keyring must not give way to an older
// keyring item once the keyring is back, and the next save moves it there.
TEST(FallbackKeychain, TheLastSavedKeyIsTheOneRead)
{
    QTemporaryDir dir;
    KeyringAndFile stores(dir.filePath(QStringLiteral("secrets")));
    writeTo(stores.keychain, QStringLiteral("OpenRouter"), QStringLiteral("first"));

    stores.keyringPresent = false;
    writeTo(stores.keychain, QStringLiteral("OpenRouter"), QStringLiteral("second"));
    stores.keyringPresent = true;
    EXPECT_EQ(readFrom(stores.keychain, QStringLiteral("OpenRouter")).value, "second");

    const Keychain::Result third = writeTo(stores.keychain, QStringLiteral("OpenRouter"), QStringLiteral("third"));
    EXPECT_EQ(third.store, Store::secretService);
    EXPECT_EQ(readFrom(stores.keychain, QStringLiteral("OpenRouter")).value, "third");
    EXPECT_EQ(readFrom(stores.file, QStringLiteral("OpenRouter")).status, Status::notFound);
}

TEST(SecretStorePresence, FollowsTheNamesOnTheBus)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected()) << "run under dbus-run-session";
    // The test bus starts nothing, so only a name someone holds counts.
    EXPECT_FALSE(secretStoreOnBus(bus));
    for (const QString &name : {QStringLiteral("org.freedesktop.secrets"), QStringLiteral("org.kde.kwalletd5")}) {
        QDBusConnection owner = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        ASSERT_TRUE(owner.registerService(name));
        EXPECT_TRUE(secretStoreOnBus(bus)) << name.toStdString();
        owner.unregisterService(name);
        QDBusConnection::disconnectFromBus(name);
        EXPECT_TRUE(spinUntil([&] { return !secretStoreOnBus(bus); })) << name.toStdString();
    }
}

TEST(SecretsFileKeychain, RefusesAFileOrFolderOthersCanOpen)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("secrets"));
    SecretsFileKeychain keychain(folder);
    ASSERT_EQ(writeTo(keychain, QStringLiteral("Gemini"), QStringLiteral("g")).status, Status::ok);
    const QString file = keychain.filePath();

    ::chmod(QFile::encodeName(file).constData(), 0644);
    for (const Keychain::Result &result :
         {readFrom(keychain, QStringLiteral("Gemini")), writeTo(keychain, QStringLiteral("Gemini"), QStringLiteral("h"))}) {
        EXPECT_EQ(result.status, Status::failed);
        EXPECT_TRUE(result.error.contains(QStringLiteral("mode 0644"))) << result.error.toStdString();
        EXPECT_FALSE(result.error.contains(QStringLiteral("g\""))) << "the secret leaked into the error";
    }

    ::chmod(QFile::encodeName(file).constData(), 0600);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    const Keychain::Result folderOpen = readFrom(keychain, QStringLiteral("Gemini"));
    EXPECT_EQ(folderOpen.status, Status::failed);
    EXPECT_TRUE(folderOpen.error.contains(QStringLiteral("chmod 700"))) << folderOpen.error.toStdString();
}

TEST(SecretsFileKeychain, DamagedFileIsMovedAsideNotOverwritten)
{
    QTemporaryDir dir;
    SecretsFileKeychain keychain(dir.path());
    writeFile(keychain.filePath(), "{ half");
    QFile::setPermissions(keychain.filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    EXPECT_EQ(readFrom(keychain, QStringLiteral("OpenAI")).status, Status::failed);
    EXPECT_EQ(writeTo(keychain, QStringLiteral("OpenAI"), QStringLiteral("o")).status, Status::ok);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("secrets.json.corrupt-*")}, QDir::Files).size(), 1);
    EXPECT_EQ(readFrom(keychain, QStringLiteral("OpenAI")).value, "o");
}

} // namespace
