#include "integration/launch_at_login_helper.h"
#include "platform/defaults.h"
#include "platform/login_items.h"
#include "platform/system_backends.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace {

namespace Login = LaunchAtLoginHelper;

// The [Desktop Entry] keys of a desktop file, values as written; none when
// the file is missing.
QHash<QString, QString> readEntry(const QString &path)
{
    QHash<QString, QString> keys;
    for (const QByteArray &line : readFile(path).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            keys.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
    }
    return keys;
}

class LaunchAtLoginTest : public ::testing::Test
{
protected:
    std::unique_ptr<LoginItem> loginItem(const QString &executable)
    {
        return makeLoginItem(autostartDir(), executable);
    }
    QString autostartDir() const { return dir.filePath(QStringLiteral("config/autostart")); }
    QString entryPath() const { return autostartDir() + QStringLiteral("/com.marblewickhq.pendrapro.desktop"); }

    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
};

TEST_F(LaunchAtLoginTest, SwitchWritesTheAutostartEntryAndTheMirror)
{
    const auto item = loginItem(QStringLiteral("/home/me/.local/bin/pendrapro"));
    Login::syncSetting(*item, defaults);
    EXPECT_EQ(defaults.boolValue(Login::kSettingKey), false);
    EXPECT_FALSE(QFile::exists(entryPath()));

    Login::switchChanged(*item, defaults, true);
    auto entry = readEntry(entryPath());
    EXPECT_EQ(entry.value(QStringLiteral("Exec")), QStringLiteral("/home/me/.local/bin/pendrapro"));
    EXPECT_EQ(entry.value(QStringLiteral("Hidden")), QStringLiteral("false"));
    EXPECT_EQ(entry.value(QStringLiteral("X-GNOME-Autostart-enabled")), QStringLiteral("true"));
    EXPECT_TRUE(Login::isEnabled(*item));
    EXPECT_EQ(defaults.boolValue(Login::kSettingKey), true);

    Login::switchChanged(*item, defaults, false);
    entry = readEntry(entryPath());
    EXPECT_EQ(entry.value(QStringLiteral("Hidden")), QStringLiteral("true"));
    EXPECT_EQ(entry.value(QStringLiteral("X-GNOME-Autostart-enabled")), QStringLiteral("false"));
    EXPECT_FALSE(Login::isEnabled(*item));
    EXPECT_EQ(defaults.boolValue(Login::kSettingKey), false);
}

TEST_F(LaunchAtLoginTest, AlreadyEnabledItemIsLeftUntouched)
{
    const auto item = loginItem(QStringLiteral("/usr/bin/pendrapro"));
    Login::setEnabled(*item, true);
    writeFile(entryPath(), readFile(entryPath()) + "# edited by the user\n");

    Login::setEnabled(*item, true);
    EXPECT_TRUE(readFile(entryPath()).contains("# edited by the user"));
}

TEST_F(LaunchAtLoginTest, RefusedRegistrationLogsOneLineAndStaysOff)
{
    // A file where the autostart folder should be stops even root.
    writeFile(autostartDir(), {});

    const auto item = loginItem(QStringLiteral("/usr/bin/pendrapro"));
    testing::internal::CaptureStderr();
    Login::switchChanged(*item, defaults, true);
    const std::string log = testing::internal::GetCapturedStderr();

    EXPECT_EQ(log, "Pendra LaunchAtLogin: cannot create the folder " + autostartDir().toStdString() + "\n");
    EXPECT_FALSE(Login::isEnabled(*item));
    EXPECT_EQ(defaults.boolValue(Login::kSettingKey), true);
}

// GLib reads autostart entries for GNOME's session; it must find and start
// the program even when its path needs quoting.
TEST_F(LaunchAtLoginTest, GlibStartsTheEntryAtAnAwkwardPath)
{
    const QString folder = dir.filePath(QStringLiteral("Pendra Pro $HOME \"q\" o'k \\b"));
    const QString marker = dir.filePath(QStringLiteral("started"));
    const QString program = folder + QStringLiteral("/pendrapro");
    writeFile(program, "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n", true);

    const auto item = loginItem(program);
    Login::setEnabled(*item, true);
    ASSERT_EQ(QProcess::execute(QStringLiteral("gio"), {QStringLiteral("launch"), entryPath()}), 0);
    EXPECT_TRUE(spinUntil([&] { return QFile::exists(marker); }));
}

} // namespace
