#include "platform/linux/fallback_keychain.h"
#include "platform/linux/secret_service_keychain.h"
#include "platform/linux/secrets_file_keychain.h"
#include "platform/system_backends.h"
#include "support/test_keyring.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QFile>
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

// Stands in for a desktop without a Secret Service; such a bus cannot be
// arranged next to the real keyring that other tests start.
class UnansweredKeychain : public Keychain
{
public:
    void read(const QString &, const QString &, Callback done) override { answer(std::move(done)); }
    void write(const QString &, const QString &, const QString &, Callback done) override { answer(std::move(done)); }
    void remove(const QString &, const QString &, Callback done) override { answer(std::move(done)); }

private:
    void answer(Callback done)
    {
        QMetaObject::invokeMethod(
            qApp, [done = std::move(done)] { done(Result{Status::failed, {}, QStringLiteral("no Secret Service")}); },
            Qt::QueuedConnection);
    }
};

TEST(SecretServiceKeychain, RoundTripThroughGnomeKeyring)
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
}

TEST(SystemKeychain, KeyringWriteLeavesNoCopyInTheSecretsFile)
{
    TestKeyring keyring;
    ASSERT_TRUE(keyring.ready());
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("secrets"));
    {
        SecretsFileKeychain file(folder);
        writeTo(file, QStringLiteral("OpenAI"), QStringLiteral("stale"));
    }
    std::unique_ptr<Keychain> keychain = makeSystemKeychain(folder);
    const Keychain::Result written = writeTo(*keychain, QStringLiteral("OpenAI"), QStringLiteral("fresh"));
    EXPECT_EQ(written.status, Status::ok);
    EXPECT_EQ(written.store, Store::secretService);
    SecretsFileKeychain file(folder);
    EXPECT_EQ(readFrom(file, QStringLiteral("OpenAI")).status, Status::notFound);
    EXPECT_EQ(readFrom(*keychain, QStringLiteral("OpenAI")).value, "fresh");
}

TEST(FallbackKeychain, WithoutSecretServiceTheKeyLivesInAPrivateFile)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("config/secrets"));
    {
        FallbackKeychain keychain(std::make_unique<UnansweredKeychain>(),
                                  std::make_unique<SecretsFileKeychain>(folder));
        const Keychain::Result written = writeTo(keychain, QStringLiteral("Anthropic"), QStringLiteral("a-1"));
        EXPECT_EQ(written.status, Status::ok);
        EXPECT_EQ(written.store, Store::secretsFile);
    }
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(folder + QStringLiteral("/secrets.json")), 0600u);

    FallbackKeychain reloaded(std::make_unique<UnansweredKeychain>(), std::make_unique<SecretsFileKeychain>(folder));
    const Keychain::Result read = readFrom(reloaded, QStringLiteral("Anthropic"));
    EXPECT_EQ(read.status, Status::ok);
    EXPECT_EQ(read.value, "a-1");
    EXPECT_EQ(removeFrom(reloaded, QStringLiteral("Anthropic")).status, Status::ok);
    EXPECT_EQ(readFrom(reloaded, QStringLiteral("Anthropic")).status, Status::notFound);
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
