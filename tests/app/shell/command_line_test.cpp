#include "support/qt_printers.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Answer
{
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

// The built app with no display at all: both options must answer without one.
Answer runApp(const QStringList &arguments, const QString &home)
{
    QProcessEnvironment env = TestPaths::appEnvironment(home);
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess app;
    app.setProcessEnvironment(env);
    app.start(TestPaths::appBinary(), arguments);
    app.waitForFinished(20000);
    return {app.exitStatus() == QProcess::NormalExit ? app.exitCode() : -1, app.readAllStandardOutput(),
            app.readAllStandardError()};
}

} // namespace

TEST(CommandLine, VersionAndHelpAnswerOnStandardOutputWithoutStartingTheApp)
{
    QTemporaryDir home;
    const Answer version = runApp({QStringLiteral("--version")}, home.path());
    EXPECT_EQ(version.exitCode, 0) << version.errors.toStdString();
    EXPECT_EQ(version.output, "pendrapro v0.1.6-Pro-Beta\n");

    for (const char *option : {"--help", "-h"}) {
        const Answer help = runApp({QString::fromLatin1(option)}, home.path());
        EXPECT_EQ(help.exitCode, 0) << option;
        EXPECT_TRUE(help.output.startsWith("Usage: pendrapro [OPTION]\n")) << help.output.toStdString();
        EXPECT_TRUE(help.output.contains("      --version  output version information and exit\n"));
        EXPECT_TRUE(help.errors.isEmpty()) << help.errors.toStdString();
    }
    // Nothing was started: no settings, no drain log.
    EXPECT_TRUE(QDir(home.path()).isEmpty());
}
