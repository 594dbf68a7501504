#include "app/dashboard/dashboard_prefs.h"
#include "app/core/notification_center.h"
#include "platform/defaults.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

using Flag = DashboardPrefs::Flag;
using Density = DashboardPrefs::Density;
using CardWidth = DashboardPrefs::CardWidth;

namespace {

QString key(const char *suffix)
{
    return DashboardPrefs::kKeyPrefix + QLatin1String(suffix);
}

DashboardPrefs::Flags flagsOf(const DashboardPrefs &prefs)
{
    DashboardPrefs::Flags flags{};
    for (int i = 0; i < DashboardPrefs::kFlagCount; ++i)
        flags[i] = prefs.flag(static_cast<Flag>(i));
    return flags;
}

class DashboardPrefsTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("settings.json"))};
    NotificationCenter center;
};

} // namespace

TEST_F(DashboardPrefsTest, ChangesAreStoredAndAnnounced)
{
    int posted = 0;
    QObject context;
    center.observe(AppNotification::dashboardPrefsChanged, &context, [&] { ++posted; });
    DashboardPrefs prefs(defaults, center);
    QSignalSpy changed(&prefs, &DashboardPrefs::changed);

    prefs.setFlag(Flag::health, true);
    prefs.setFlag(Flag::pendraPill, false);
    prefs.setDensity(Density::roomy);
    prefs.setWidth(CardWidth::wide);
    prefs.setWidth(CardWidth::wide); // unchanged: no save
    EXPECT_EQ(posted, 4);
    EXPECT_EQ(changed.count(), 4);
    // Every save writes every value.
    EXPECT_EQ(defaults.boolValue(key("sparkline")), false);
    EXPECT_EQ(defaults.stringValue(key("density")), QStringLiteral("roomy"));
    EXPECT_EQ(defaults.doubleValue(key("corner")), 18.0);

    DashboardPrefs reloaded(defaults, center);
    EXPECT_TRUE(reloaded.flag(Flag::health));
    EXPECT_FALSE(reloaded.flag(Flag::pendraPill));
    EXPECT_EQ(reloaded.density(), Density::roomy);
    EXPECT_EQ(reloaded.width(), CardWidth::wide);
}

TEST_F(DashboardPrefsTest, BadStoredValuesFallBack)
{
    defaults.setString(key("density"), QStringLiteral("dense"));
    defaults.setString(key("width"), QStringLiteral("Wide")); // case matters
    defaults.setDouble(key("corner"), 7.5);
    defaults.setString(key("pill"), QStringLiteral("false")); // not a Boolean
    DashboardPrefs prefs(defaults, center);
    EXPECT_EQ(prefs.density(), Density::comfortable);
    EXPECT_EQ(prefs.width(), CardWidth::regular);
    EXPECT_EQ(prefs.cornerRadius(), 18);
    EXPECT_TRUE(prefs.flag(Flag::pendraPill));

    defaults.setDouble(key("corner"), 8);
    defaults.setString(key("density"), QStringLiteral("compact"));
    EXPECT_EQ(DashboardPrefs(defaults, center).cornerRadius(), 8);
    EXPECT_EQ(DashboardPrefs(defaults, center).density(), Density::compact);
}

TEST_F(DashboardPrefsTest, PresetsSetTheirTable)
{
    using F = DashboardPrefs::Flags;
    const struct
    {
        const char *name;
        F flags; // faux pill pkg large src energy apps why spark list whyD health time dist hist
        Density density;
        CardWidth width;
        double corner; // starting from 30
    } table[] = {
        {"standard", F{1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1, 0}, Density::comfortable, CardWidth::regular, 18},
        {"anything", F{1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1, 0}, Density::comfortable, CardWidth::regular, 18},
        {"minimal", F{0, 0, 1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0}, Density::compact, CardWidth::narrow, 30},
        {"full", F{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, Density::roomy, CardWidth::wide, 30},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.name);
        defaults.setDouble(key("corner"), 30);
        DashboardPrefs prefs(defaults, center);
        prefs.applyPreset(QString::fromLatin1(row.name));
        EXPECT_EQ(flagsOf(prefs), row.flags);
        EXPECT_EQ(prefs.density(), row.density);
        EXPECT_EQ(prefs.width(), row.width);
        EXPECT_EQ(prefs.cornerRadius(), row.corner);
        EXPECT_EQ(flagsOf(DashboardPrefs(defaults, center)), row.flags) << "saved";
    }
}

TEST_F(DashboardPrefsTest, DetailedIsStandardWithChartsAndWithoutChrome)
{
    defaults.setDouble(key("corner"), 30);
    DashboardPrefs prefs(defaults, center);
    prefs.applyPreset(QStringLiteral("full"));
    prefs.applyDetailed();
    EXPECT_EQ(flagsOf(prefs), (DashboardPrefs::Flags{0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1}));
    EXPECT_EQ(prefs.density(), Density::comfortable);
    EXPECT_EQ(prefs.width(), CardWidth::regular);
    EXPECT_EQ(prefs.cornerRadius(), 18);
    EXPECT_EQ(flagsOf(DashboardPrefs(defaults, center)), flagsOf(prefs));
}

TEST_F(DashboardPrefsTest, SeedingRunsOnceAndNeverOverridesTheUser)
{
    DashboardPrefs prefs(defaults, center);
    prefs.seedOnce();
    EXPECT_EQ(flagsOf(prefs), (DashboardPrefs::Flags{0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1}));
    EXPECT_EQ(defaults.boolValue(DashboardPrefs::kSeededKey), true);
    EXPECT_EQ(defaults.boolValue(key("sparkline")), true);

    prefs.setFlag(Flag::sparkline, false);
    prefs.setFlag(Flag::fauxMenubar, true);
    prefs.seedOnce();
    DashboardPrefs later(defaults, center);
    later.seedOnce();
    EXPECT_FALSE(later.flag(Flag::sparkline));
    EXPECT_TRUE(later.flag(Flag::fauxMenubar));
}
