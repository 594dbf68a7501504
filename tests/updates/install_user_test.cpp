#include "fakes/fake_clock.h"
#include "support/loopback_http_server.h"
#include "support/qt_printers.h"
#include "support/test_files.h"
#include "support/test_paths.h"
#include "update_test_support.h"
#include "updates/install_target.h"
#include "updates/update_installer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

// A stand-in for the built app that notes, beside its AppDir, which build
// started and with what arguments. Random comment lines after its exit keep
// a release of it above the installer's minimum size.
QByteArray launcherBinary(const QByteArray &marker)
{
    QByteArray script = "#!/bin/sh\necho " + marker + " \"$@\" > \"$(dirname \"$0\")/../../started\"\nexit 0\n";
    QRandomGenerator random(11);
    QByteArray noise;
    for (int i = 0; i < 60000; ++i)
        noise.append(static_cast<char>(random.bounded(256)));
    return script + "# " + noise.toBase64() + '\n';
}

bool runScript(const QString &script, const QStringList &arguments, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("/bin/bash"), QStringList{script} + arguments);
    process.waitForFinished(60000);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString execOf(const QString &desktopEntry)
{
    for (const QByteArray &line : readFile(desktopEntry).split('\n')) {
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5));
    }
    return {};
}

} // namespace

// The per-user install, then an update from a loopback release: the menu's
// desktop entry and ~/.local/bin/pendrapro start the new build afterwards.
TEST(InstallUser, AnUpdateTakesEffectAtTheNextStart)
{
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString app = home + QStringLiteral("/.local/opt/Pendra.app");
    const QString started = app + QStringLiteral("/started");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    const QString built = dir.filePath(QStringLiteral("build/pendrapro"));
    writeFile(built, launcherBinary("old"), true);
    ASSERT_TRUE(runScript(TestPaths::packaging() + QStringLiteral("/install-user"), {built}, env));

    const QString entry = home + QStringLiteral("/.local/share/applications/com.marblewickhq.pendrapro.desktop");
    const QString link = home + QStringLiteral("/.local/bin/pendrapro");
    EXPECT_EQ(execOf(entry), QLatin1Char('"') + app + QStringLiteral("/AppRun\""));
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), app + QStringLiteral("/AppRun"));

    const QString work = dir.filePath(QStringLiteral("work"));
    writeFile(dir.filePath(QStringLiteral("new/pendrapro")), launcherBinary("new"), true);
    ASSERT_TRUE(runScript(TestPaths::packaging() + QStringLiteral("/make-appdir"),
                          {dir.filePath(QStringLiteral("new/pendrapro")), work + QStringLiteral("/Pendra.app")}, env));
    LoopbackHttpServer server{LoopbackHttpServer::Thread::own};
    server.respond("/pendra-pro/version.json", R"({"latest":"v0.1.7"})");
    server.respond("/pendra-pro/Pendra-v0.1.7.zip",
                   zipEntries(work, dir.filePath(QStringLiteral("release.zip")), {QStringLiteral("Pendra.app")}));
    const UpdateFiles files = UpdateFiles::under(dir.filePath(QStringLiteral("state")));
    FakeClock clock{1'750'000'000};
    const UpdateLog log{files.logPath, clock};
    SynchronousInstallTools tools;
    const RunningApp running{QStringLiteral("v0.1.6-Pro-Beta"), app + QStringLiteral("/usr/bin/pendrapro"),
                             exitedPid(), home};
    const InstallTarget::InstallPlan plan =
        InstallTarget::plan(running.executablePath, home, InstallTarget::InstallProbes::system());
    ASSERT_EQ(plan.kind, InstallTarget::InstallKind::appDir);
    UpdateInstaller installer(loopbackEndpoints(server), files, log, running, tools);
    EXPECT_EQ(installer.install(QStringLiteral("v0.1.7"), plan.target, {}).failure, std::nullopt);

    for (const QString &program : {QString(execOf(entry)).remove(QLatin1Char('"')), link}) {
        QFile::remove(started);
        QProcess start;
        start.setProcessEnvironment(env);
        start.start(program, {});
        start.waitForFinished(10000);
        EXPECT_EQ(readFile(started), "new\n") << program.toStdString();
    }
}
