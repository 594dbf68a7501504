#include "integration/system_settings_links.h"
#include "platform/desktop_launcher.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace SystemSettingsLinks;

// A desktop on which only `installed` programs exist; records every attempt.
class FakeLauncher final : public DesktopLauncher
{
public:
    FakeLauncher(QStringList names, QStringList installed) : m_names(std::move(names)), m_installed(std::move(installed)) {}

    QStringList desktopNames() const override { return m_names; }
    bool startDetached(const QString &program, const QStringList &arguments) override
    {
        attempts.append((QStringList{program} + arguments).join(QLatin1Char(' ')));
        return m_installed.contains(program);
    }

    QStringList attempts;

private:
    QStringList m_names;
    QStringList m_installed;
};

TEST(SystemSettingsLinks, EachDesktopOpensItsOwnBatteryPageFirst)
{
    for (const SettingsProgram &page : batteryPages()) {
        FakeLauncher launcher({page.desktop}, {page.command.first()});
        EXPECT_EQ(openBatterySettings(launcher), std::nullopt) << page.desktop.toStdString();
        EXPECT_EQ(launcher.attempts, QStringList{page.command.join(QLatin1Char(' '))}) << page.desktop.toStdString();
    }
}

TEST(SystemSettingsLinks, FallsThroughOtherPagesThenSettingsApps)
{
    FakeLauncher launcher({QStringLiteral("LXQt"), QStringLiteral("KDE")}, {QStringLiteral("lxqt-config")});
    EXPECT_EQ(openBatterySettings(launcher), std::nullopt);
    const qsizetype pages = batteryPages().size();
    ASSERT_EQ(launcher.attempts.size(), pages + 1);
    EXPECT_EQ(launcher.attempts[0], QStringLiteral("lxqt-config-powermanagement"));
    EXPECT_EQ(launcher.attempts[1], QStringLiteral("systemsettings kcm_powerdevilprofilesconfig"));
    EXPECT_EQ(launcher.attempts[2], QStringLiteral("gnome-control-center power"));
    EXPECT_EQ(launcher.attempts.last(), QStringLiteral("lxqt-config"));
}

TEST(SystemSettingsLinks, NothingInstalledGivesTheNotice)
{
    FakeLauncher launcher({}, {});
    EXPECT_EQ(openBatterySettings(launcher), QStringLiteral("No settings app was found on this desktop."));
    EXPECT_EQ(launcher.attempts.size(), batteryPages().size() + settingsApps().size());
}

} // namespace
