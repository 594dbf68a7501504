#include "app/shell/single_instance.h"

#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_files.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>
#include <memory>

// A socket file left behind by a crashed copy must not block the launch, and
// once the first copy is gone the next launch runs.
TEST(SingleInstanceTest, SecondLaunchActivatesTheFirstDespiteALeftoverSocketUntilTheFirstIsGone)
{
    QTemporaryDir runtime;
    writeFile(QDir(runtime.path()).filePath(QStringLiteral("pendrapro.socket")), "stale");
    auto first = std::make_unique<SingleInstance>(runtime.path());
    ASSERT_TRUE(first->claim());
    QSignalSpy activations(first.get(), &SingleInstance::activationRequested);

    SingleInstance second(runtime.path());
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(spinUntil([&] { return activations.count() == 1; }));

    first.reset();
    SingleInstance next(runtime.path());
    EXPECT_TRUE(next.claim());
}

// After an update the new copy starts while the copy it replaces still holds
// the lock on its way out. Two real processes: this test holds the lock like
// the quitting copy; the app, started as the updater starts it, must wait for
// the lock instead of standing down.
TEST(SingleInstanceTest, CopyStartedByTheUpdaterWaitsForTheOneItReplaces)
{
    QTemporaryDir home;
    auto quitting = std::make_unique<SingleInstance>(home.path());
    ASSERT_TRUE(quitting->claim());

    QProcess app;
    app.setProcessEnvironment(TestPaths::appEnvironment(home.path()));
    app.setProcessChannelMode(QProcess::MergedChannels);
    app.start(TestPaths::appBinary(), {QStringLiteral("--after-update")});
    ASSERT_TRUE(app.waitForStarted());
    QByteArray output;
    while (!output.contains("Waiting for the copy being replaced to quit") && app.waitForReadyRead(10000))
        output += app.readAll();
    ASSERT_TRUE(output.contains("Waiting for the copy being replaced to quit")) << output.toStdString();

    quitting.reset();
    QLockFile lock(QDir(home.path()).filePath(QStringLiteral("pendrapro.lock")));
    EXPECT_TRUE(spinUntil(
        [&] {
            qint64 holder = 0;
            QString host;
            QString name;
            return lock.getLockInfo(&holder, &host, &name) && holder == app.processId();
        },
        15000));
    ::kill(static_cast<pid_t>(app.processId()), SIGTERM);
    EXPECT_TRUE(app.waitForFinished(10000));
}
