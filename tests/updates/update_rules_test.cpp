#include "support/qt_printers.h"
#include "support/test_files.h"
#include "updates/install_target.h"
#include "updates/package_ownership.h"
#include "updates/update_files.h"
#include "updates/update_texts.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

TEST(UpdateTexts, ByteSizesAndProgress)
{
    const struct
    {
        std::int64_t bytes;
        const char *text;
    } sizes[] = {{0, "0 B"}, {1023, "1023 B"}, {1024, "1 K"}, {1535, "1 K"}, {1536, "2 K"},
                 {1048575, "1024 K"}, {1048576, "1.0 M"}, {1101004, "1.0 M"}, {3355443, "3.2 M"}};
    for (const auto &c : sizes)
        EXPECT_EQ(UpdateTexts::byteSize(c.bytes), QString::fromUtf8(c.text)) << c.bytes;

    EXPECT_EQ(UpdateTexts::downloadProgress(999, 1000, QStringLiteral("v2")), QStringLiteral("99% · 999 B of 1000 B"));
    // Servers that under-announce the size must not push the text past 100 %.
    EXPECT_EQ(UpdateTexts::downloadProgress(5000, 1000, QStringLiteral("v2")), QStringLiteral("100% · 5 K of 1000 B"));
    EXPECT_EQ(UpdateTexts::downloadProgress(2048, -1, QStringLiteral("v2")), QStringLiteral("2 K downloaded · v2"));
    EXPECT_EQ(UpdateTexts::homeRelative(QStringLiteral("/home/ann/.local/state/Pendra/update.log"), QStringLiteral("/home/ann")),
              QStringLiteral("~/.local/state/Pendra/update.log"));
    EXPECT_EQ(UpdateTexts::homeRelative(QStringLiteral("/home/annex/x"), QStringLiteral("/home/ann")),
              QStringLiteral("/home/annex/x"));
}

TEST(UpdateFiles, PreviousResultMessage)
{
    const QString incomplete = QStringLiteral("The update helper did not finish successfully.");
    const struct
    {
        const char *file;
        std::optional<QString> message;
    } cases[] = {
        {"", std::nullopt}, {" \n", std::nullopt}, {"ok|\n", std::nullopt}, {"ok|anything", std::nullopt},
        {"fail|ditto failed\n", QStringLiteral("ditto failed")}, {"pending", incomplete}, {"fail|", incomplete},
        {"pending|Update in progress…\n", QStringLiteral("Update in progress…")}, {"fail|a|b", QStringLiteral("a|b")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(previousResultMessage(QString::fromUtf8(c.file)), c.message) << c.file;
}

TEST(UpdateTexts, EveryInstallButAnAppDirNamesItsUpdater)
{
    using Kind = InstallTarget::InstallKind;
    EXPECT_EQ(UpdateTexts::updatedElsewhere(Kind::appDir), std::nullopt);
    EXPECT_EQ(UpdateTexts::updatedElsewhere(Kind::package),
              QStringLiteral("Pendra Pro was installed by your package manager. Update it there."));
    EXPECT_EQ(UpdateTexts::updatedElsewhere(Kind::byHand),
              QStringLiteral("Pendra Pro was installed by hand. Install the new version the same way."));
    EXPECT_EQ(UpdateTexts::updatedElsewhere(Kind::unrecognised),
              QStringLiteral("Pendra Pro is running from a build, not an installed copy. Rebuild it to update."));
}

// Every kind of install, laid out in a real tree below a temporary folder
// that stands for "/": each has one updater, and only a real AppDir is the
// app's own. A DESTDIR staging tree ends in usr/bin/pendrapro too.
TEST(InstallTarget, EachKindOfInstallHasOneUpdater)
{
    using Kind = InstallTarget::InstallKind;
    QTemporaryDir root;
    for (const char *appDir : {"/opt/Pendra.app", "/home/ann/.local/opt/Pendra.app"}) {
        writeFile(root.path() + QLatin1String(appDir) + QStringLiteral("/AppRun"), "#!/bin/sh\n", true);
        writeFile(root.path() + QLatin1String(appDir) + QStringLiteral("/usr/bin/pendrapro"), "", true);
    }
    writeFile(root.filePath(QStringLiteral("home/ann/stage/usr/bin/pendrapro")), "", true);
    writeFile(root.filePath(QStringLiteral("home/ann/stage/AppRun")), "#!/bin/sh\n", true);
    writeFile(root.filePath(QStringLiteral("home/ann/half/Pendra.app/usr/bin/pendrapro")), "", true);
    QStringList askedDpkg;
    const InstallTarget::InstallProbes probes{
        [&](const QString &path) {
            askedDpkg.append(path);
            return path == QLatin1String("/usr/bin/pendrapro");
        },
        [&](const QString &folder) { return InstallTarget::isAppDir(root.path() + folder); },
        [](const QString &) { return true; }};
    const struct
    {
        const char *executable;
        Kind kind;
        const char *target;
    } cases[] = {
        {"/usr/bin/pendrapro", Kind::package, ""},
        {"/usr/games/pendrapro", Kind::byHand, ""}, // below /usr, but no package's
        {"/usr/local/bin/pendrapro", Kind::byHand, ""},
        {"/opt/Pendra.app/usr/bin/pendrapro", Kind::appDir, "/opt/Pendra.app"},
        {"/home/ann/.local/opt/Pendra.app/usr/bin/pendrapro", Kind::appDir, "/home/ann/.local/opt/Pendra.app"},
        {"/home/ann/stage/usr/bin/pendrapro", Kind::unrecognised, ""},
        {"/home/ann/half/Pendra.app/usr/bin/pendrapro", Kind::unrecognised, ""}, // no AppRun
        {"/home/ann/src/build/src/pendrapro", Kind::unrecognised, ""},
    };
    for (const auto &c : cases) {
        const InstallTarget::InstallPlan plan =
            InstallTarget::plan(QString::fromUtf8(c.executable), QStringLiteral("/home/ann"), probes);
        EXPECT_EQ(plan.kind, c.kind) << c.executable;
        EXPECT_EQ(plan.target, QString::fromUtf8(c.target)) << c.executable;
    }
    EXPECT_FALSE(askedDpkg.contains(QStringLiteral("/usr/local/bin/pendrapro")));
}

TEST(InstallTarget, ChoosesWhereAnAppDirsUpdateGoes)
{
    const QString home = QStringLiteral("/home/ann");
    const struct
    {
        const char *bundle;
        bool writable;
        const char *target;
    } cases[] = {
        {"/media/ann/usb/Pendra.app", true, "/home/ann/.local/opt/Pendra.app"},
        {"/tmp/.mount_PendraX/Pendra.app", true, "/home/ann/.local/opt/Pendra.app"},
        {"/opt/Pendra.app", false, "/opt/Pendra.app"},
        {"/opt/tools/Pendra.app", true, "/opt/Pendra.app"},
        {"/home/ann/apps/Pendra.app", true, "/home/ann/apps/Pendra.app"}, // in place
        {"/srv/Pendra.app", false, "/home/ann/.local/opt/Pendra.app"},
    };
    for (const auto &c : cases) {
        const QString target = InstallTarget::chooseTarget(QString::fromUtf8(c.bundle), home,
                                                           [&](const QString &) { return c.writable; });
        EXPECT_EQ(target, QString::fromUtf8(c.target)) << c.bundle;
    }
}

// The real dpkg database of the machine the tests run on (Debian).
TEST(PackageOwnership, AsksDpkgForExactlyThatFile)
{
    QTemporaryDir dir;
    const QString loose = dir.filePath(QStringLiteral("pendrapro"));
    writeFile(loose, "", true);
    EXPECT_TRUE(PackageOwnership::dpkgOwns(QStringLiteral("/usr/bin/dpkg")));
    EXPECT_FALSE(PackageOwnership::dpkgOwns(loose));
    // A pattern would match dpkg's own files.
    EXPECT_FALSE(PackageOwnership::dpkgOwns(QStringLiteral("/usr/bin/dpk?")));
    EXPECT_FALSE(PackageOwnership::dpkgOwns(QStringLiteral("usr/bin/dpkg")));
}

} // namespace
