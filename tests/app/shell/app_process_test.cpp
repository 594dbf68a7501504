#include "assistant/ai_key_store.h"
#include "platform/linux/secret_service_keychain.h"

#include "fakes/fake_secret_service.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <optional>

namespace {

// The built app in a home of its own, running until its first power record
// is on disk: launch is over and the event loop runs.
class LaunchedApp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(secrets.registered());
        app.setProcessEnvironment(TestPaths::appEnvironment(home.path()));
        app.start(TestPaths::appBinary(), {});
        ASSERT_TRUE(app.waitForStarted());
        ASSERT_TRUE(waitForFirstRecord()) << "the app wrote no power record: "
                                          << app.readAllStandardError().toStdString();
    }
    void TearDown() override
    {
        if (app.state() == QProcess::Running) {
            terminate();
            app.waitForFinished(10000);
        }
    }

    void terminate() { ::kill(static_cast<pid_t>(app.processId()), SIGTERM); }

    FakeSecretService secrets;
    QTemporaryDir home;
    QProcess app;

private:
    bool waitForFirstRecord()
    {
        const QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired() && app.state() == QProcess::Running) {
            QFile file(home.filePath(QStringLiteral("data/Pendra/drain.jsonl")));
            if (file.open(QIODevice::ReadOnly) && file.readAll().endsWith('\n'))
                return true;
            app.waitForFinished(100);
        }
        return false;
    }
};

} // namespace

// The stand-in sees what a real keychain read sends, so a count of zero below
// means the app sent nothing.
TEST(FakeSecretService, CountsAKeychainRead)
{
    FakeSecretService secrets;
    ASSERT_TRUE(secrets.registered());
    SecretServiceKeychain keychain;
    std::optional<Keychain::Result> result;
    keychain.read(PlusAIKeyStore::kService, QStringLiteral("OpenAI"), [&](const Keychain::Result &r) { result = r; });
    ASSERT_TRUE(spinUntil([&] { return result.has_value(); }));
    EXPECT_GT(secrets.calls(), 0);
}

// Reading the keychain may start the desktop's secret service or ask to unlock
// it, so a launch leaves it alone until a key is needed. Logout and
// `systemctl --user stop` send SIGTERM: the app leaves through its normal quit
// path, with its records on disk, and reports success.
TEST_F(LaunchedApp, MakesNoSecretServiceCallAndExitsCleanlyOnSigterm)
{
    EXPECT_EQ(secrets.calls(), 0);
    terminate();
    ASSERT_TRUE(app.waitForFinished(10000));
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.exitCode(), 0);
}
