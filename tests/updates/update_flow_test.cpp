#include "fakes/fake_clock.h"
#include "support/event_loop.h"
#include "support/loopback_http_server.h"
#include "support/qt_printers.h"
#include "support/test_files.h"
#include "update_test_support.h"
#include "updates/manifest_fetch.h"
#include "updates/update_checker.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryDir>

namespace {

const QByteArray kManifestPath = "/pendra-pro/version.json";

class UpdateFlowTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString home = dir.filePath(QStringLiteral("home"));
    QString installed = home + QStringLiteral("/.local/opt/Pendra.app");
    UpdateFiles files = UpdateFiles::under(dir.filePath(QStringLiteral("state")));
    FakeClock clock{1'750'000'000};
    UpdateLog log{files.logPath, clock};
    LoopbackHttpServer server{LoopbackHttpServer::Thread::own};
    UpdateEndpoints endpoints = loopbackEndpoints(server);
    RunningApp app{QStringLiteral("v0.1.6-Pro-Beta"), installed + QStringLiteral("/usr/bin/pendrapro"), exitedPid(), home};
    QStringList packageFiles; // what dpkg would say it installed
    InstallTarget::InstallProbes probes = InstallTarget::InstallProbes::system();
    SynchronousInstallTools tools;
    QNetworkAccessManager network;
    NetworkManifestFetch manifestFetch{network};
    RecordingPresenter presenter;
    std::unique_ptr<UpdateInstaller> installer;
    std::unique_ptr<UpdateChecker> checker;

    void SetUp() override { writeAppDir(home + QStringLiteral("/.local/opt"), "old"); }

    void makeChecker()
    {
        probes.isPackageOwned = [this](const QString &path) { return packageFiles.contains(path); };
        installer = std::make_unique<UpdateInstaller>(endpoints, files, log, app, tools);
        checker = std::make_unique<UpdateChecker>(manifestFetch, presenter, *installer, log, endpoints, app,
                                                  files.resultPath, probes);
    }

    void serveManifest(const QByteArray &body) { server.respond(kManifestPath, body); }

    bool waitForAlerts(int count)
    {
        return spinUntil([&] { return presenter.alerts.size() >= count; }, 60000);
    }
};

TEST_F(UpdateFlowTest, CheckNowAnswersEveryOutcome)
{
    makeChecker();
    server.respond(kManifestPath, "<html><body>Not Found</body></html>");
    checker->checkNow();
    ASSERT_TRUE(waitForAlerts(1));
    EXPECT_EQ(presenter.alerts[0].title, QStringLiteral("Could Not Check for Updates"));
    EXPECT_EQ(presenter.alerts[0].text, QStringLiteral("Could not reach 127.0.0.1. Check your internet connection and try again."));

    serveManifest(R"({"latest":"v0.1.6-Pro"})");
    checker->checkNow();
    ASSERT_TRUE(waitForAlerts(2));
    EXPECT_EQ(presenter.alerts[1].title, QStringLiteral("You're Up to Date"));
    EXPECT_EQ(presenter.alerts[1].text, QStringLiteral("Pendra Pro v0.1.6-Pro Beta is the newest build available."));

    serveManifest(R"({"latest":"v0.1.6-Pro","beta":"v0.1.7-Pro-Beta"})");
    presenter.choose = [](const UpdateAlert &) { return 1; }; // Later
    checker->checkNow();
    ASSERT_TRUE(waitForAlerts(3));
    EXPECT_EQ(presenter.alerts[2].title, QStringLiteral("Pendra Pro Update Available"));
    EXPECT_EQ(presenter.alerts[2].text,
              QStringLiteral("You're running v0.1.6-Pro Beta.\n\nv0.1.7-Pro Beta is available.\n\n"
                             "Download and install now? Pendra Pro will restart when done."));
    EXPECT_EQ(presenter.alerts[2].buttons, (QStringList{QStringLiteral("Install Update"), QStringLiteral("Later")}));
    EXPECT_TRUE(presenter.panelEvents == QStringList{QStringLiteral("front")});
}

// An install the app does not update itself is told who updates it, and
// nothing is downloaded. A copy run from a DESTDIR staging tree ends in
// usr/bin/pendrapro like an AppDir's: the staging folder comes through whole.
TEST_F(UpdateFlowTest, SilentWhenNotNewerAndNamesTheUpdaterOfAnInstallItDoesNotOwn)
{
    makeChecker();
    checker->showResult(false, false, QStringLiteral("v0.1.6-Pro"));
    EXPECT_TRUE(presenter.alerts.isEmpty());

    const QString stage = dir.filePath(QStringLiteral("stage"));
    writeFile(stage + QStringLiteral("/usr/bin/pendrapro"), "staged", true);
    writeFile(stage + QStringLiteral("/usr/share/doc/pendrapro/copyright"), "kept");
    writeFile(stage + QStringLiteral("/AppRun"), "#!/bin/sh\n", true);
    packageFiles = {QStringLiteral("/usr/bin/pendrapro")};
    const struct
    {
        QString executable;
        const char *updater;
    } cases[] = {
        {QStringLiteral("/usr/bin/pendrapro"), "Pendra Pro was installed by your package manager. Update it there."},
        {stage + QStringLiteral("/usr/bin/pendrapro"),
         "Pendra Pro is running from a build, not an installed copy. Rebuild it to update."},
    };
    for (const auto &c : cases) {
        presenter.alerts.clear();
        app.executablePath = c.executable;
        makeChecker();
        checker->showResult(true, false, QStringLiteral("v0.2"));
        ASSERT_TRUE(waitForAlerts(1)) << c.updater;
        EXPECT_EQ(presenter.alerts[0].text,
                  QStringLiteral("You're running v0.1.6-Pro Beta.\n\nv0.2 is available.\n\n") + QString::fromUtf8(c.updater));
        EXPECT_EQ(presenter.alerts[0].buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("Open Website")}));
    }
    EXPECT_TRUE(presenter.panelEvents.filter(QStringLiteral("open")).isEmpty());
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_FALSE(tools.helperStarted);
    EXPECT_EQ(readFile(stage + QStringLiteral("/usr/bin/pendrapro")), "staged");
    EXPECT_EQ(readFile(stage + QStringLiteral("/usr/share/doc/pendrapro/copyright")), "kept");
    EXPECT_EQ(appMarker(installed), "old");
}

TEST_F(UpdateFlowTest, ReportsAnUnfinishedPreviousUpdateOnce)
{
    makeChecker();
    writeFile(files.resultPath, "ok|\n");
    checker->reportPreviousResult();
    EXPECT_TRUE(presenter.alerts.isEmpty());
    EXPECT_FALSE(QFile::exists(files.resultPath));

    writeFile(files.resultPath, "fail|ditto failed\n");
    checker->reportPreviousResult();
    ASSERT_EQ(presenter.alerts.size(), 1);
    EXPECT_EQ(presenter.alerts[0].title, QStringLiteral("Previous Update Did Not Complete"));
    EXPECT_EQ(presenter.alerts[0].text, QStringLiteral("ditto failed\n\nCheck ~/state/logs/update.log or reinstall from ")
                                            .replace(QStringLiteral("~/state"), dir.filePath(QStringLiteral("state")))
                                            + endpoints.webAddress() + QStringLiteral("."));
    EXPECT_EQ(presenter.openedUrls, QList<QUrl>{endpoints.webPage});
    EXPECT_FALSE(QFile::exists(files.resultPath));
}

// A real release ZIP, served from loopback, replaces an older AppDir in the
// user's apps folder through the helper script.
TEST_F(UpdateFlowTest, InstallsAReleaseEndToEnd)
{
    const QString work = dir.filePath(QStringLiteral("work"));
    writeAppDir(work + QStringLiteral("/Pendra-v0.1.7"), "new");
    const QByteArray zip = zipEntries(work, dir.filePath(QStringLiteral("release.zip")), {QStringLiteral("Pendra-v0.1.7")});
    serveManifest(R"({"latest":"v0.1.6","beta":"v0.1.7-Pro-Beta","releases":{"beta":{"zip":"downloads/beta.zip"}}})");
    server.respond("/pendra-pro/downloads/beta.zip", zip);
    makeChecker();

    checker->checkNow();
    ASSERT_TRUE(waitForAlerts(2));
    EXPECT_EQ(presenter.alerts[1].title, QStringLiteral("Update Installed"));
    EXPECT_EQ(presenter.alerts[1].text, QStringLiteral("Pendra will restart now to finish applying v0.1.7-Pro Beta."));
    EXPECT_EQ(presenter.quits, 1);
    EXPECT_TRUE(presenter.launchedApps.isEmpty()); // the helper relaunches

    EXPECT_EQ(appMarker(installed), "new");
    EXPECT_EQ(presenter.panelEvents,
              (QStringList{QStringLiteral("front"), QStringLiteral("open v0.1.7-Pro-Beta 127.0.0.1"),
                           QStringLiteral("progress complete"), QStringLiteral("installing v0.1.7-Pro-Beta"),
                           QStringLiteral("close")}));
    const QString logText = QString::fromUtf8(readFile(files.logPath));
    EXPECT_TRUE(logText.startsWith(QStringLiteral("[2025-06-15T15:06:40Z] Update requested for v0.1.7-Pro-Beta from v0.1.6-Pro-Beta\n")));
    EXPECT_TRUE(logText.contains(QStringLiteral("] Resolved zip: downloads/beta.zip\n")));
    EXPECT_TRUE(logText.contains(QStringLiteral("] Downloaded downloads/beta.zip: ") + QString::number(zip.size())
                                 + QStringLiteral(" bytes\n")));
    EXPECT_TRUE(logText.contains(QStringLiteral("] Installing to ") + installed + QLatin1Char('\n')));
}

// A manifest that will not stop growing, and one offered over plain HTTP
// from anywhere but the loopback origin the test trusts, are failed fetches.
TEST_F(UpdateFlowTest, RefusesOversizedOrInsecureManifests)
{
    makeChecker();
    serveManifest(R"({"latest":"v9","padding":")" + QByteArray(kManifestMaxBytes, 'x') + R"("})");
    checker->checkNow();
    ASSERT_TRUE(waitForAlerts(1));
    EXPECT_EQ(presenter.alerts[0].title, QStringLiteral("Could Not Check for Updates"));

    LoopbackHttpServer elsewhere{LoopbackHttpServer::Thread::own};
    elsewhere.respond(kManifestPath, R"({"latest":"v9"})");
    endpoints.manifestUrl = elsewhere.url(kManifestPath);
    makeChecker();
    checker->checkNow();
    ASSERT_TRUE(waitForAlerts(2));
    EXPECT_EQ(presenter.alerts[1].title, QStringLiteral("Could Not Check for Updates"));
    EXPECT_TRUE(elsewhere.requests().isEmpty());
}

} // namespace
