#include "support/qt_printers.h"
#include "support/test_files.h"
#include "update_test_support.h"
#include "updates/helper_script.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const HelperScript::Inputs kGoldenInputs{
    QStringLiteral("/home/ann/.local/state/Pendra/update.log"),
    QStringLiteral("/home/ann/.local/state/Pendra/update-result.txt"), 4242,
    QStringLiteral("/home/ann/O'Neil apps/Pendra.app"), QStringLiteral("/home/ann/.cache/Pendra/update-staging/Pendra.app")};

TEST(HelperScript, MatchesGoldenFile)
{
    const QByteArray golden = readFile(QStringLiteral(PENDRA_FIXTURES "/updates/pendra-apply-update.sh"));
    ASSERT_FALSE(golden.isEmpty());
    EXPECT_EQ(HelperScript::text(kGoldenInputs).toUtf8(), golden);
    // Generating again yields the same bytes.
    EXPECT_EQ(HelperScript::text(kGoldenInputs), HelperScript::text(kGoldenInputs));
    EXPECT_TRUE(golden.contains("'/home/ann/O'\\''Neil apps/Pendra.app'"));
}

class HelperRun : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString install = dir.filePath(QStringLiteral("Apps/Pendra.app"));
    QString staged = dir.filePath(QStringLiteral("stage/Pendra.app"));
    QString result = dir.filePath(QStringLiteral("result.txt"));

    void SetUp() override
    {
        writeAppDir(dir.filePath(QStringLiteral("Apps")), "old");
        writeAppDir(dir.filePath(QStringLiteral("stage")), "new");
    }

    int runHelper()
    {
        const QString script = dir.filePath(QStringLiteral("helper.sh"));
        const HelperScript::Inputs inputs{dir.filePath(QStringLiteral("update.log")), result, exitedPid(), install, staged};
        writeFile(script, HelperScript::text(inputs).toUtf8());
        QProcess bash;
        bash.start(QStringLiteral("/bin/bash"), {script});
        bash.waitForFinished(-1);
        return bash.exitCode();
    }
};

TEST_F(HelperRun, ReplacesTheAppAndRelaunchesIt)
{
    EXPECT_EQ(runHelper(), 0);
    EXPECT_EQ(readFile(result), "ok|\n");
    EXPECT_EQ(appMarker(install), "new");
    EXPECT_TRUE(QFile::exists(install + QStringLiteral("/relaunched")));
    EXPECT_FALSE(QFile::exists(install + QStringLiteral(".old")));
    EXPECT_FALSE(QFile::exists(install + QStringLiteral(".new")));
}

TEST_F(HelperRun, FailedCopyKeepsTheOldApp)
{
    QDir(staged).removeRecursively();
    EXPECT_EQ(runHelper(), 1);
    EXPECT_EQ(readFile(result), "fail|cp failed\n");
    EXPECT_EQ(appMarker(install), "old");
    EXPECT_FALSE(QFile::exists(install + QStringLiteral(".new")));
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
    EXPECT_EQ(runCommand(), 0);
    EXPECT_EQ(appMarker(install), "new");
    EXPECT_FALSE(QFile::exists(install + QStringLiteral(".old")));

    QDir(staged).removeRecursively();
    EXPECT_NE(runCommand(), 0);
    EXPECT_EQ(appMarker(install), "new");
    EXPECT_FALSE(QFile::exists(install + QStringLiteral(".new")));
}

} // namespace
