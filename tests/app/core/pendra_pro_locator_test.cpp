#include "app/core/pendra_pro_locator.h"

#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

TEST(PendraProLocatorTest, ExecLineLosesFieldCodesAndKeepsQuotedArguments)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("app.desktop"));
    writeFile(path, "[Desktop Entry]\nName=Pendra Pro\nExec=\"/opt/Pendra Pro.app/AppRun\" --flag %U\n"
                    "[Desktop Action other]\nExec=wrong\n");
    const auto command = PendraProLocator::commandFromDesktopFile(path);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->program, QStringLiteral("/opt/Pendra Pro.app/AppRun"));
    EXPECT_EQ(command->arguments, QStringList{QStringLiteral("--flag")});
}

TEST(PendraProLocatorTest, DesktopIdsComeFirstInTheirOrder)
{
    QTemporaryDir dir;
    const QString apps = dir.filePath(QStringLiteral("applications"));
    writeFile(apps + QStringLiteral("/com.marblewickhq.pendraproplus.desktop"), "[Desktop Entry]\nExec=plus\n");
    writeFile(dir.filePath(QStringLiteral("Pendra Pro.app/AppRun")), "#!/bin/sh\n", true);
    const QStringList bundles{dir.filePath(QStringLiteral("Pendra Pro.app"))};

    EXPECT_EQ(PendraProLocator::locate({apps}, bundles), (PendraProLocator::LaunchCommand{QStringLiteral("plus"), {}}));
    writeFile(apps + QStringLiteral("/com.marblewickhq.pendrapro.desktop"), "[Desktop Entry]\nExec=pendrapro\n");
    EXPECT_EQ(PendraProLocator::locate({apps}, bundles)->program, QStringLiteral("pendrapro"));
}

TEST(PendraProLocatorTest, FallsBackToTheFirstBundleWithAnAppRun)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("PendraPro.app/AppRun")), "#!/bin/sh\n", true);
    writeFile(dir.filePath(QStringLiteral("Pendra Plus.app/AppRun")), "#!/bin/sh\n", true);
    const QStringList bundles{dir.filePath(QStringLiteral("Pendra Pro.app")), dir.filePath(QStringLiteral("PendraPro.app")),
                              dir.filePath(QStringLiteral("Pendra Plus.app"))};
    const auto command = PendraProLocator::locate({dir.filePath(QStringLiteral("none"))}, bundles);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->program, dir.filePath(QStringLiteral("PendraPro.app/AppRun")));
    EXPECT_FALSE(PendraProLocator::locate({}, {}).has_value());
}
