#include "support/qt_printers.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

namespace {

QByteArray waitForDrainLog(const QString &path, QProcess &app)
{
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && app.state() == QProcess::Running) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray text = file.readAll();
            if (text.endsWith('\n'))
                return text;
        }
        app.waitForFinished(100);
    }
    return {};
}

} // namespace

// Logout and `systemctl --user stop` send SIGTERM: the app leaves through its
// normal quit path, with its records on disk, and reports success.
TEST(QuitOnSignals, TheAppExitsCleanlyOnSigterm)
{
    QTemporaryDir home;
    QProcess app;
    app.setProcessEnvironment(TestPaths::appEnvironment(home.path()));
    app.start(TestPaths::appBinary(), {});
    ASSERT_TRUE(app.waitForStarted());

    const QByteArray log = waitForDrainLog(home.filePath(QStringLiteral("data/Pendra/drain.jsonl")), app);
    ASSERT_FALSE(log.isEmpty()) << "the app wrote no power record: " << app.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(app.processId()), SIGTERM);
    ASSERT_TRUE(app.waitForFinished(10000));
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.exitCode(), 0);
}
