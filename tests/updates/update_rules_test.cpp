#include "support/qt_printers.h"
#include "updates/install_target.h"
#include "updates/update_files.h"
#include "updates/update_texts.h"

#include <gtest/gtest.h>

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

TEST(InstallTarget, ChoosesWhereTheUpdateGoes)
{
    const QString home = QStringLiteral("/home/ann");
    const QString user = QStringLiteral("/home/ann/.local/opt/Pendra.app");
    const struct
    {
        std::optional<QString> bundle;
        bool writable;
        const char *target;
    } cases[] = {
        {std::nullopt, true, "/home/ann/.local/opt/Pendra.app"}, // not an AppDir
        {QStringLiteral("/media/ann/usb/Pendra.app"), true, "/home/ann/.local/opt/Pendra.app"},
        {QStringLiteral("/tmp/.mount_PendraX/Pendra.app"), true, "/home/ann/.local/opt/Pendra.app"},
        {QStringLiteral("/opt/Pendra.app"), false, "/opt/Pendra.app"},
        {QStringLiteral("/opt/tools/Pendra.app"), true, "/opt/Pendra.app"},
        {QStringLiteral("/home/ann/apps/Pendra.app"), true, "/home/ann/apps/Pendra.app"}, // in place
        {QStringLiteral("/srv/Pendra.app"), false, "/home/ann/.local/opt/Pendra.app"},
    };
    for (const auto &c : cases) {
        const QString target = InstallTarget::chooseTarget(c.bundle, home, [&](const QString &) { return c.writable; });
        EXPECT_EQ(target, QString::fromUtf8(c.target)) << c.bundle.value_or(QStringLiteral("none")).toStdString();
    }
    EXPECT_EQ(InstallTarget::bundleOfExecutable(QStringLiteral("/x/Pendra.app/usr/bin/pendrapro")),
              QStringLiteral("/x/Pendra.app"));
    EXPECT_FALSE(InstallTarget::bundleOfExecutable(QStringLiteral("/usr/bin/pendrapro")));
    EXPECT_FALSE(InstallTarget::bundleOfExecutable(QStringLiteral("/work/build/src/pendrapro")));
    EXPECT_TRUE(InstallTarget::isPackageManaged(QStringLiteral("/usr/bin/pendrapro")));
    EXPECT_EQ(user, InstallTarget::userInstallPath(home));
}

} // namespace
