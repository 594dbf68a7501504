#include "fakes/fake_clock.h"
#include "support/loopback_http_server.h"
#include "support/qt_printers.h"
#include "support/test_files.h"
#include "update_test_support.h"
#include "updates/update_installer.h"
#include "updates/update_package.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const QString kVersion = QStringLiteral("v0.1.7-Pro-Beta");
const QString kZip = QStringLiteral("Pendra-v0.1.7-Pro-Beta.zip");
const QByteArray kZipPath = "/pendra-pro/" + kZip.toLatin1();

// A link whose text is exactly `target`, relative or not.
bool symlinkTo(const char *target, const QString &path)
{
    return ::symlink(target, QFile::encodeName(path).constData()) == 0;
}

class InstallerTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString home = dir.filePath(QStringLiteral("home"));
    QString installed = home + QStringLiteral("/.local/opt/Pendra.app");
    QString work = dir.filePath(QStringLiteral("work"));
    UpdateFiles files = UpdateFiles::under(dir.filePath(QStringLiteral("state")));
    FakeClock clock{1'750'000'000};
    UpdateLog log{files.logPath, clock};
    LoopbackHttpServer server{LoopbackHttpServer::Thread::own};
    UpdateEndpoints endpoints = loopbackEndpoints(server);
    UpdateDownloadLimits limits;
    SynchronousInstallTools tools;
    QString target = installed;

    void SetUp() override
    {
        writeAppDir(home + QStringLiteral("/.local/opt"), "old");
        QDir().mkpath(work);
        serveManifest(R"({"latest":"v0.1.7-Pro-Beta"})");
    }

    void serveManifest(const QByteArray &body) { server.respond("/pendra-pro/version.json", body); }

    UpdateInstaller::Result install()
    {
        UpdateInstaller installer(endpoints, files, log,
                                  {QStringLiteral("v0.1.6-Pro-Beta"), installed + QStringLiteral("/usr/bin/pendrapro"),
                                   exitedPid(), home},
                                  tools, limits);
        return installer.install(kVersion, target, {});
    }

    // A release ZIP of `entries` (paths below the work folder).
    QByteArray zipOf(const QStringList &entries)
    {
        QFile::remove(dir.filePath(QStringLiteral("r.zip")));
        return zipEntries(work, dir.filePath(QStringLiteral("r.zip")), entries);
    }

    // A release ZIP holding a new Pendra.app, served at the default name.
    QByteArray serveRelease()
    {
        writeAppDir(work + QStringLiteral("/Pendra-v0.1.7"), "new");
        const QByteArray zip = zipOf({QStringLiteral("Pendra-v0.1.7")});
        serveBody(zip);
        return zip;
    }

    void serveBody(const QByteArray &body, bool truncated = false)
    {
        LoopbackHttpServer::Response response{200, body};
        response.truncated = truncated;
        server.respond(kZipPath, response);
    }

    QStringList workFolders() const
    {
        return QDir(files.workParent).entryList({QStringLiteral("pendra-update-*")}, QDir::AllEntries | QDir::Hidden);
    }

    void expectNothingInstalled()
    {
        EXPECT_EQ(appMarker(installed), "old");
        EXPECT_FALSE(tools.helperStarted);
        EXPECT_TRUE(workFolders().isEmpty()) << workFolders().join(QLatin1Char(' ')).toStdString();
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
        {zipHead + QByteArray(50000, '\0'), "Could not extract Pendra-v0.1.7-Pro-Beta.zip: Could not list the archive."},
    };
    for (const auto &c : cases) {
        serveBody(c.body);
        EXPECT_EQ(install().failure, QString::fromUtf8(c.failure));
        expectNothingInstalled();
    }
}

TEST_F(InstallerTest, AcceptsExactlyTheMinimumSize)
{
    const QString path = dir.filePath(QStringLiteral("min.zip"));
    writeFile(path, QByteArray("PK\x03\x04") + QByteArray(UpdatePackage::kMinimumSize - 4, '\0'));
    EXPECT_EQ(UpdatePackage::validate(path), std::nullopt);
}

TEST_F(InstallerTest, ReportsServerAndTransferFailuresAndCutsOffTricklingOrOversizedDownloads)
{
    server.respond(kZipPath, "<html>gone</html>", 404);
    EXPECT_EQ(install().failure, QStringLiteral("Server returned HTTP 404 for ") + kZip
                                     + QStringLiteral(". Download manually from ")
                                     + server.url("/pendra-pro/").toString() + QStringLiteral("."));
    serveBody(QByteArray(60000, 'P'), true);
    EXPECT_TRUE(install().failure->startsWith(QStringLiteral("Could not download ") + kZip + QStringLiteral(": ")));
    expectNothingInstalled();

    // Downloads that trickle or grow too large are cut off.
    LoopbackHttpServer::Response trickle{200, QByteArray(100, 'P')};
    trickle.stalls = true;
    server.respond(kZipPath, trickle);
    limits.stallTimeout = 200ms;
    EXPECT_EQ(install().failure, QStringLiteral("Could not download ") + kZip + QStringLiteral(": the server stopped sending it."));
    expectNothingInstalled();

    serveRelease();
    limits = {};
    limits.zipBytes = 40000;
    EXPECT_EQ(install().failure, QStringLiteral("Could not download ") + kZip + QStringLiteral(": it is larger than 39 K."));
    expectNothingInstalled();
}

TEST_F(InstallerTest, RefusesArchivesWithoutARunnableApp)
{
    writeAppDir(work + QStringLiteral("/broken"), "new", 60000, false);
    QFile::copy(installed + QStringLiteral("/usr/bin/pendrapro"), work + QStringLiteral("/Other.bin"));
    for (const QStringList &entries : {QStringList{QStringLiteral("Other.bin")}, QStringList{QStringLiteral("broken")}}) {
        serveBody(zipOf(entries));
        EXPECT_EQ(install().failure, QStringLiteral("Pendra.app not found inside ") + kZip + QStringLiteral("."));
        expectNothingInstalled();
    }
}

TEST_F(InstallerTest, RefusesEntriesThatEscapeTheExtractionFolder)
{
    writeAppDir(work, "new");
    const QString outside = dir.filePath(QStringLiteral("evil"));
    writeFile(outside, "x");
    serveBody(zipOf({QStringLiteral("Pendra.app"), QStringLiteral("../evil")}));
    QFile::remove(outside);

    EXPECT_EQ(install().failure, QStringLiteral("Could not extract ") + kZip
                                     + QStringLiteral(": The entry \"../evil\" points outside the extraction folder."));
    EXPECT_FALSE(QFile::exists(outside));
    expectNothingInstalled();
}

TEST_F(InstallerTest, RefusedAdministratorAccessKeepsTheSystemAppAndApprovedAccessCopiesFromAPrivateFolder)
{
    serveRelease();
    target = QStringLiteral("/opt/Pendra.app");
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
    EXPECT_TRUE(workFolders().isEmpty());

    // Approved, the copy is made from a work folder only this user can open,
    // which is gone afterwards.
    tools.pkexecStatus = 0;
    QStringList seen;
    QFileDevice::Permissions permissions;
    tools.beforePkexec = [&] {
        seen = workFolders();
        if (seen.size() == 1)
            permissions = QFileInfo(QDir(files.workParent).filePath(seen.first())).permissions();
    };
    const UpdateInstaller::Result approved = install();
    EXPECT_FALSE(approved.failure);
    EXPECT_TRUE(approved.installedDirectly);
    EXPECT_EQ(approved.installPath, QStringLiteral("/opt/Pendra.app"));
    EXPECT_EQ(readFile(files.resultPath), "ok|\n");
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(permissions, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                               | QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
    EXPECT_TRUE(workFolders().isEmpty());
}

// A folder of the right name that is no AppDir (a user's own folder, a half
// copied app) is refused before anything is fetched, and kept as it was.
TEST_F(InstallerTest, NeverReplacesAFolderThatIsNotAnAppDir)
{
    serveRelease();
    target = home + QStringLiteral("/apps/Pendra.app");
    writeFile(target + QStringLiteral("/usr/bin/pendrapro"), "mine", true);
    writeFile(target + QStringLiteral("/notes.txt"), "precious");

    EXPECT_EQ(install().failure, QStringLiteral("~/apps/Pendra.app is not a Pendra.app folder. It was left as it is."));
    EXPECT_EQ(readFile(target + QStringLiteral("/notes.txt")), "precious");
    EXPECT_EQ(readFile(target + QStringLiteral("/usr/bin/pendrapro")), "mine");
    for (const LoopbackHttpServer::Request &request : server.requests())
        EXPECT_NE(request.path, kZipPath);
    EXPECT_FALSE(tools.helperStarted);
}

// Another local user plants things under the names an updater might use in
// the shared temporary folder: a link to a file of the victim's, a
// world-writable folder holding an app of their own, and a plain file.
TEST_F(InstallerTest, HostileNeighbourInTheSharedTempFolderIsIgnored)
{
    const QString shared = dir.filePath(QStringLiteral("state/tmp"));
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", shared.toUtf8());
    const QString victim = dir.filePath(QStringLiteral("victim.txt"));
    writeFile(victim, "precious");
    QDir().mkpath(shared);
    ASSERT_TRUE(QFile::link(victim, shared + QLatin1Char('/') + kZip));
    const QString planted = shared + QStringLiteral("/Pendra-update-extract");
    writeAppDir(planted, "planted");
    ::chmod(QFile::encodeName(planted).constData(), 0777);
    const QString blocker = shared + QStringLiteral("/pendra-apply-update.sh");
    writeFile(blocker, "planted");
    serveRelease();

    const UpdateInstaller::Result result = install();
    qputenv("TMPDIR", oldTmp);
    EXPECT_EQ(result.failure, std::nullopt);
    EXPECT_EQ(appMarker(installed), "new");
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_EQ(QFileInfo(victim).permissions() & QFileDevice::ExeOther, 0);
    EXPECT_EQ(appMarker(planted + QStringLiteral("/Pendra.app")), "planted");
    EXPECT_EQ(readFile(blocker), "planted");
    EXPECT_EQ(QDir(shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(), 3);
    EXPECT_TRUE(workFolders().isEmpty()); // the helper removed its folder
}

// What a hostile or broken server can send. Each attempt ends with a text
// that says what was wrong, and the old app stays as it was.
TEST_F(InstallerTest, HostileServerInstallsNothing)
{
    serveRelease();
    const QString wrongSha = QString(64, QLatin1Char('0'));
    const struct
    {
        const char *name;
        QByteArray manifest;
        QString failure;
    } cases[] = {
        {"plain-HTTP zip", R"({"latest":"v0.1.7-Pro-Beta","releases":{"beta":{"zip":"http://example.invalid/P.zip"}}})",
         QStringLiteral("Could not download http://example.invalid/P.zip: the address is not HTTPS.")},
        {"zip on another host",
         R"({"latest":"v0.1.7-Pro-Beta","releases":{"beta":{"zip":"https://example.invalid/P.zip"}}})",
         QStringLiteral("Could not download https://example.invalid/P.zip: the address is not on 127.0.0.1.")},
        {"wrong sha256",
         R"({"latest":"v0.1.7-Pro-Beta","releases":{"beta":{"zip":")" + kZip.toLatin1() + R"(","sha256":")"
             + wrongSha.toLatin1() + R"("}}})",
         QStringLiteral("Downloaded update is damaged.")},
    };
    for (const auto &c : cases) {
        serveManifest(c.manifest);
        EXPECT_EQ(install().failure, c.failure) << c.name;
        expectNothingInstalled();
    }
    for (const LoopbackHttpServer::Request &request : server.requests())
        EXPECT_TRUE(request.path == "/pendra-pro/version.json" || request.path == kZipPath) << request.path.constData();
}

TEST_F(InstallerTest, RefusesArchivesThatCarrySpecialFiles)
{
    const QString app = writeAppDir(work + QStringLiteral("/Pendra-v0.1.7"), "new");
    const QString setuid = app + QStringLiteral("/usr/bin/helper");
    writeFile(setuid, "#!/bin/sh\n", true);
    ::chmod(QFile::encodeName(setuid).constData(), 04755);
    serveBody(zipOf({QStringLiteral("Pendra-v0.1.7")}));
    EXPECT_EQ(install().failure, QStringLiteral("Could not extract ") + kZip
                                     + QStringLiteral(": The entry \"Pendra-v0.1.7/Pendra.app/usr/bin/helper\" is setuid or setgid."));
    expectNothingInstalled();

    QFile::remove(setuid);
    ASSERT_TRUE(symlinkTo("../../../../../etc", app + QStringLiteral("/usr/lib")));
    serveBody(zipOf({QStringLiteral("Pendra-v0.1.7")}));
    EXPECT_EQ(install().failure, QStringLiteral("The entry \"Pendra.app/usr/lib\" links outside Pendra.app."));
    expectNothingInstalled();
}

TEST_F(InstallerTest, SignedReleasesNeedTheirPublishersSignature)
{
    const TestSigningKey key = makeSigningKey();
    endpoints.signingKey = key.publicKey;
    const QByteArray release = serveRelease();
    const QByteArray signaturePath = kZipPath + ".sig";
    const QString unsigned_ = QStringLiteral("Downloaded update is not signed by its publisher.");

    EXPECT_EQ(install().failure, unsigned_); // no signature at all: 404
    expectNothingInstalled();
    server.respond(signaturePath, key.sign(release + "tampered"));
    EXPECT_EQ(install().failure, unsigned_);
    expectNothingInstalled();
    server.respond(signaturePath, makeSigningKey().sign(release));
    EXPECT_EQ(install().failure, unsigned_);
    expectNothingInstalled();

    server.respond(signaturePath, key.sign(release));
    const QByteArray sha = QCryptographicHash::hash(release, QCryptographicHash::Sha256).toHex().toUpper();
    serveManifest(R"({"latest":"v0.1.7-Pro-Beta","releases":{"stable":{"zip":")" + kZip.toLatin1()
                  + R"(","sha256":")" + sha + R"("}}})");
    EXPECT_EQ(install().failure, std::nullopt);
    EXPECT_EQ(appMarker(installed), "new");
}

TEST(UpdatePackage, RefusesTreesThatGiveAwayRights)
{
    QTemporaryDir dir;
    const QString app = writeAppDir(dir.path(), "new", 0);
    EXPECT_EQ(UpdatePackage::checkTree(app), std::nullopt);
    ASSERT_TRUE(symlinkTo("usr/bin/pendrapro", app + QStringLiteral("/inside")));
    EXPECT_EQ(UpdatePackage::checkTree(app), std::nullopt);

    const QString entry = app + QStringLiteral("/usr/entry");
    const struct
    {
        const char *name;
        std::function<void()> make;
        const char *failure;
    } cases[] = {
        {"setgid", [&] { writeFile(entry, "x"); ::chmod(QFile::encodeName(entry).constData(), 02755); },
         "The entry \"Pendra.app/usr/entry\" is setuid or setgid."},
        {"fifo", [&] { ::mkfifo(QFile::encodeName(entry).constData(), 0600); },
         "The entry \"Pendra.app/usr/entry\" is a device, FIFO or socket."},
        {"absolute link", [&] { symlinkTo("/etc/passwd", entry); },
         "The entry \"Pendra.app/usr/entry\" links outside Pendra.app."},
        {"dangling link", [&] { symlinkTo("missing", entry); },
         "The entry \"Pendra.app/usr/entry\" links outside Pendra.app."},
        // Lexically inside, really outside: "self/.." is the app's parent.
        {"link through a link", [&] {
             symlinkTo(".", app + QStringLiteral("/usr/self"));
             symlinkTo("self/self/../../x", entry);
             writeFile(dir.filePath(QStringLiteral("x")), "outside");
         },
         "The entry \"Pendra.app/usr/entry\" links outside Pendra.app."},
    };
    for (const auto &c : cases) {
        c.make();
        EXPECT_EQ(UpdatePackage::checkTree(app), QString::fromUtf8(c.failure)) << c.name;
        QFile::remove(entry);
    }
}

} // namespace
