#include "app/shell/single_instance.h"

#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

TEST(SingleInstanceTest, SecondLaunchActivatesTheFirstAndStandsDown)
{
    QTemporaryDir runtime;
    SingleInstance first(runtime.path());
    ASSERT_TRUE(first.claim());
    QSignalSpy activations(&first, &SingleInstance::activationRequested);

    SingleInstance second(runtime.path());
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(spinUntil([&] { return activations.count() == 1; }));
}

TEST(SingleInstanceTest, LeftoverSocketFromACrashDoesNotBlockLaunch)
{
    QTemporaryDir runtime;
    writeFile(QDir(runtime.path()).filePath(QStringLiteral("pendrapro.socket")), "stale");
    SingleInstance instance(runtime.path());
    EXPECT_TRUE(instance.claim());
    QSignalSpy activations(&instance, &SingleInstance::activationRequested);
    SingleInstance again(runtime.path());
    EXPECT_FALSE(again.claim());
    EXPECT_TRUE(spinUntil([&] { return activations.count() == 1; }));
}

TEST(SingleInstanceTest, ReleasedLockLetsTheNextLaunchRun)
{
    QTemporaryDir runtime;
    {
        SingleInstance first(runtime.path());
        ASSERT_TRUE(first.claim());
    }
    SingleInstance next(runtime.path());
    EXPECT_TRUE(next.claim());
}
