#include "fakes/fake_clock.h"
#include "platform/tool_runner.h"
#include "support/loopback_http_server.h"
#include "support/qt_printers.h"
#include "support/test_files.h"
#include "update_test_support.h"
#include "updates/update_installer.h"
#include "updates/update_package.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString kVersion = QStringLiteral("v0.1.7-Pro-Beta");
const QString kZip = QStringLiteral("Pendra-v0.1.7-Pro-Beta.zip");
const QByteArray kZipPath = "/pendra-pro/" + kZip.toLatin1();

class InstallerTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString home = dir.filePath(QStringLiteral("home"));
    QString installed = home + QStringLiteral("/.local/opt/Pendra.app");
    UpdateFiles files = UpdateFiles::under(dir.filePath(QStringLiteral("state")));
    FakeClock clock{1'750'000'000};
    UpdateLog log{files.logPath, clock};
    LoopbackHttpServer server{LoopbackHttpServer::Thread::own};
    ProcessToolRunner lister;
    SynchronousInstallTools tools;
    QString executable; // not an AppDir: the update goes to ~/.local/opt

    void SetUp() override
    {
        writeAppDir(home + QStringLiteral("/.local/opt"), "old");
        QDir().mkpath(dir.filePath(QStringLiteral("work")));
        server.respond("/pendra-pro/version.json", R"({"latest":"v0.1.7-Pro-Beta"})");
    }

    UpdateInstaller::Result install()
    {
        UpdateInstaller installer({server.url("/pendra-pro/version.json"),
                                   server.url("/pendra-pro/")},
                                  files, log, {QStringLiteral("v0.1.6-Pro-Beta"), executable, exitedPid(), home},
                                  lister, tools, [](const QString &) { return true; });
        return installer.install(kVersion, {});
    }

    // A release ZIP of `entries` (paths below the work folder), served at the
    // default name.
    void serveZip(const QStringList &entries)
    {
        const QByteArray bytes = zipEntries(dir.filePath(QStringLiteral("work")), dir.filePath(QStringLiteral("r.zip")), entries);
        serveBody(bytes);
    }

    void serveBody(const QByteArray &body, bool truncated = false)
    {
        LoopbackHttpServer::Response response{200, body};
        response.truncated = truncated;
        server.respond(kZipPath, response);
    }

    void expectOldAppKeptAndTempCleared()
    {
        EXPECT_EQ(appMarker(installed), "old");
        EXPECT_FALSE(tools.helperStarted);
        EXPECT_FALSE(QFile::exists(files.tempDir + QLatin1Char('/') + kZip));
        EXPECT_FALSE(QFile::exists(files.extractDir()));
    }
};

TEST_F(InstallerTest, RefusesBadDownloadsInOrder)
{
    QByteArray zipHead("PK\x03\x04");
    const struct
    {
        QByteArray body;
        const char *failure;
    } cases[] = {
        {"<html><body>Not Found</body></html>", "Got HTML instead of App ZIP. File may be missing on the server."},
        {"PK", "Downloaded file is not a valid ZIP."},
        {QByteArray(50000, 'x'), "Downloaded file is not a valid ZIP."},
        {zipHead + QByteArray(39995, '\0'), "Downloaded package is too small (39999 bytes)."},
    };
    for (const auto &c : cases) {
        serveBody(c.body);
        EXPECT_EQ(install().failure, QString::fromUtf8(c.failure));
        expectOldAppKeptAndTempCleared();
    }
}

TEST_F(InstallerTest, AcceptsExactlyTheMinimumSize)
{
    const QString path = dir.filePath(QStringLiteral("min.zip"));
    writeFile(path, QByteArray("PK\x03\x04") + QByteArray(UpdatePackage::kMinimumSize - 4, '\0'));
    EXPECT_EQ(UpdatePackage::validate(path), std::nullopt);
}

TEST_F(InstallerTest, ReportsServerAndTransferFailures)
{
    server.respond(kZipPath, "<html>gone</html>", 404);
    EXPECT_EQ(install().failure, QStringLiteral("Server returned HTTP 404 for ") + kZip
                                     + QStringLiteral(". Download manually from ")
                                     + server.url("/pendra-pro/").toString() + QStringLiteral("."));
    serveBody(QByteArray(60000, 'P'), true);
    EXPECT_TRUE(install().failure->startsWith(QStringLiteral("Could not download ") + kZip + QStringLiteral(": ")));
    expectOldAppKeptAndTempCleared();
}

TEST_F(InstallerTest, RefusesArchivesWithoutARunnableApp)
{
    const QString work = dir.filePath(QStringLiteral("work"));
    writeAppDir(work + QStringLiteral("/broken"), "new", 60000, false);
    QFile::copy(installed + QStringLiteral("/usr/bin/pendrapro"), work + QStringLiteral("/Other.bin"));
    for (const QStringList &entries : {QStringList{QStringLiteral("Other.bin")}, QStringList{QStringLiteral("broken")}}) {
        serveZip(entries);
        EXPECT_EQ(install().failure, QStringLiteral("Pendra.app not found inside ") + kZip + QStringLiteral("."));
        expectOldAppKeptAndTempCleared();
        QFile::remove(dir.filePath(QStringLiteral("r.zip")));
    }
}

TEST_F(InstallerTest, RefusesEntriesThatEscapeTheExtractionFolder)
{
    const QString work = dir.filePath(QStringLiteral("work"));
    writeAppDir(work, "new");
    const QString outside = dir.filePath(QStringLiteral("evil"));
    writeFile(outside, "x");
    serveZip({QStringLiteral("Pendra.app"), QStringLiteral("../evil")});
    QFile::remove(outside);

    EXPECT_EQ(install().failure, QStringLiteral("Could not extract ") + kZip
                                     + QStringLiteral(": The entry \"../evil\" points outside the extraction folder."));
    EXPECT_FALSE(QFile::exists(outside));
    EXPECT_FALSE(QFile::exists(files.tempDir + QStringLiteral("/evil")));
    expectOldAppKeptAndTempCleared();
}

TEST_F(InstallerTest, RefusedAdministratorAccessKeepsTheSystemApp)
{
    writeAppDir(dir.filePath(QStringLiteral("work/Pendra-v0.1.7")), "new");
    serveZip({QStringLiteral("Pendra-v0.1.7")});
    executable = QStringLiteral("/opt/Pendra.app/usr/bin/pendrapro");
    tools.pkexecStatus = 126;

    const UpdateInstaller::Result result = install();
    EXPECT_EQ(result.failure,
              QStringLiteral("Could not replace Pendra in /opt. Use ~/.local/opt or download from the website."));
    ASSERT_EQ(tools.pkexecArguments.size(), 3);
    EXPECT_EQ(tools.pkexecArguments[0], QStringLiteral("/bin/sh"));
    EXPECT_TRUE(tools.pkexecArguments[2].contains(QStringLiteral("'/opt/Pendra.app'")));
    // The nested app was found and staged for the privileged copy.
    EXPECT_EQ(appMarker(files.stagedAppPath()), "new");
    EXPECT_FALSE(QFile::exists(files.resultPath));

    tools.pkexecStatus = 0;
    const UpdateInstaller::Result approved = install();
    EXPECT_FALSE(approved.failure);
    EXPECT_TRUE(approved.installedDirectly);
    EXPECT_EQ(approved.installPath, QStringLiteral("/opt/Pendra.app"));
    EXPECT_EQ(readFile(files.resultPath), "ok|\n");
}

} // namespace
