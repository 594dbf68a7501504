#include "support/qt_printers.h"
#include "support/test_files.h"
#include "update_test_support.h"
#include "updates/helper_script.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Runs the generated helper in a temp tree. Tools come from PATH, where a
// folder of fakes comes first: `sleep` returns at once (so waits cost
// nothing) and `mv` fails for the source named in FAIL_MV_FROM.
class HelperRun : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString install = dir.filePath(QStringLiteral("Apps/Pendra.app"));
    QString staged = dir.filePath(QStringLiteral("stage/Pendra.app"));
    QString result = dir.filePath(QStringLiteral("result.txt"));
    QString work = dir.filePath(QStringLiteral("work"));
    QString fakes = dir.filePath(QStringLiteral("fakes"));
    QString failMoveFrom;
    qint64 pid = exitedPid();

    void SetUp() override
    {
        writeAppDir(dir.filePath(QStringLiteral("Apps")), "old");
        writeAppDir(dir.filePath(QStringLiteral("stage")), "new");
        writeFile(work + QStringLiteral("/leftover"), "x");
        writeFile(fakes + QStringLiteral("/sleep"), "#!/bin/sh\nexit 0\n", true);
        writeFile(fakes + QStringLiteral("/mv"),
                  "#!/bin/sh\n[ -n \"$FAIL_MV_FROM\" ] && [ \"$1\" = \"$FAIL_MV_FROM\" ] && exit 1\n"
                  "exec /bin/mv \"$@\"\n",
                  true);
    }

    int runHelper()
    {
        const QString script = dir.filePath(QStringLiteral("helper.sh"));
        const HelperScript::Inputs inputs{dir.filePath(QStringLiteral("update.log")), result, pid, install, staged, work};
        writeFile(script, HelperScript::text(inputs).toUtf8());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"), fakes + QStringLiteral(":/usr/bin:/bin"));
        env.insert(QStringLiteral("FAIL_MV_FROM"), failMoveFrom);
        QProcess bash;
        bash.setProcessEnvironment(env);
        bash.start(QStringLiteral("/bin/bash"), {script});
        bash.waitForFinished(-1);
        return bash.exitCode();
    }
};

// The app's process id here belongs to a long-lived process (this test): the
// wait for the app to quit is bounded.
TEST_F(HelperRun, ReplacesTheAppRelaunchesItAndRemovesItsWorkFolder)
{
    pid = QCoreApplication::applicationPid();
    install = dir.filePath(QStringLiteral("O'Neil apps/Pendra.app"));
    writeAppDir(dir.filePath(QStringLiteral("O'Neil apps")), "old");
    EXPECT_EQ(runHelper(), 0);
    EXPECT_EQ(readFile(result), "ok|\n");
    EXPECT_EQ(appMarker(install), "new");
    EXPECT_EQ(readFile(install + QStringLiteral("/relaunched")), "--after-update\n");
    EXPECT_FALSE(QFile::exists(install + QStringLiteral(".old")));
    EXPECT_FALSE(QFile::exists(install + QStringLiteral(".new")));
    EXPECT_FALSE(QFile::exists(work));
}

TEST_F(HelperRun, FailedCopyKeepsTheOldApp)
{
    QDir(staged).removeRecursively();
    EXPECT_EQ(runHelper(), 1);
    EXPECT_EQ(readFile(result), "fail|cp failed\n");
    EXPECT_EQ(appMarker(install), "old");
    EXPECT_FALSE(QFile::exists(install + QStringLiteral(".new")));
    EXPECT_FALSE(QFile::exists(work));
}

TEST_F(HelperRun, FailedMoveSaysSoAndPutsTheOldAppBack)
{
    failMoveFrom = install + QStringLiteral(".new");
    EXPECT_EQ(runHelper(), 1);
    EXPECT_EQ(readFile(result), "fail|Could not move the new Pendra.app into place\n");
    EXPECT_EQ(appMarker(install), "old");
    EXPECT_FALSE(QFile::exists(install + QStringLiteral(".new")));
    EXPECT_FALSE(QFile::exists(install + QStringLiteral("/relaunched")));
}

// The command pkexec runs as root, run here on paths outside the system folder.
TEST_F(HelperRun, PrivilegedCommandSwapsOrKeepsTheOldApp)
{
    const auto runCommand = [&] {
        QProcess sh;
        sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), HelperScript::privilegedReplaceCommand(install, staged)});
        sh.waitForFinished(-1);
        return sh.exitCode();
    };
    if (::geteuid() != 0)
        GTEST_SKIP() << "the command hands the copy to root";
    const QString plugin = staged + QStringLiteral("/usr/lib/plugin.so");
    writeFile(plugin, "x");
    ::chmod(QFile::encodeName(plugin).constData(), 06777);
    ::chown(QFile::encodeName(plugin).constData(), 1234, 1234);

    EXPECT_EQ(runCommand(), 0);
    EXPECT_EQ(appMarker(install), "new");
    EXPECT_FALSE(QFile::exists(install + QStringLiteral(".old")));
    struct stat copied{};
    ASSERT_EQ(::lstat(QFile::encodeName(install + QStringLiteral("/usr/lib/plugin.so")).constData(), &copied), 0);
    EXPECT_EQ(copied.st_uid, 0u);
    EXPECT_EQ(copied.st_gid, 0u);
    EXPECT_EQ(copied.st_mode & 07777, 0755u); // no setuid, setgid or write bit for others

    QDir(staged).removeRecursively();
    EXPECT_NE(runCommand(), 0);
    EXPECT_EQ(appMarker(install), "new");
    EXPECT_FALSE(QFile::exists(install + QStringLiteral(".new")));
}

} // namespace
