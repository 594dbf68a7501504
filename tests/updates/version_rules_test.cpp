#include "support/qt_printers.h"
#include "updates/version_manifest.h"
#include "updates/version_rules.h"

#include <gtest/gtest.h>

namespace {

const QString kRunning = QStringLiteral("v0.1.6-Pro-Beta");

TEST(VersionRules, IsNewerThanRunningBuild)
{
    const struct
    {
        const char *candidate;
        bool newer;
    } cases[] = {
        {"v0.1.6-Pro-Beta", false}, // identical
        {"v0.1.7-Pro", true}, // 7 > 6
        {"v0.1.6-Pro", false}, // equal numbers, rank 0 < 2
        {"v0.1.6-Pro-Experimental", true}, // rank 3 > 2
        {"0.1.6.1", true}, // extra component beats a missing 0
        {"v0.1.5-Pro-Experimental", false},
        {"v0.1.10", true}, // numeric, not textual
        {"V0.2", true},
        {"v0.1.6-pro-beta", false}, // same text but for case
    };
    for (const auto &c : cases)
        EXPECT_EQ(VersionRules::isNewer(QString::fromUtf8(c.candidate), kRunning), c.newer) << c.candidate;
}

TEST(VersionRules, ComponentsRankAndDisplay)
{
    EXPECT_EQ(VersionRules::numericComponents(QStringLiteral(" v0.1.6-Pro-Beta ")), (QList<int>{0, 1, 6}));
    EXPECT_EQ(VersionRules::numericComponents(QStringLiteral("1.10")), (QList<int>{1, 10}));
    EXPECT_EQ(VersionRules::numericComponents(QStringLiteral("1.99999999999999.2")), (QList<int>{1, 2}));
    EXPECT_EQ(VersionRules::channelRank(QStringLiteral("1.0-STABLE")), 1);
    EXPECT_EQ(VersionRules::channelRank(QStringLiteral("1.0-Final")), 1);
    EXPECT_EQ(VersionRules::channelRank(QStringLiteral("1.0")), 0);
    EXPECT_EQ(VersionRules::displayForm(kRunning), QStringLiteral("v0.1.6-Pro Beta"));
    EXPECT_EQ(VersionRules::displayForm(QStringLiteral("v1-Experimental-Final")), QStringLiteral("v1 Experimental Final"));
}

TEST(VersionManifest, DecodesFixtures)
{
    const auto latestOnly = decodeVersionInfo(R"({"latest":"v0.1.7","extra":[1]})");
    ASSERT_TRUE(latestOnly);
    EXPECT_EQ(VersionRules::candidateVersion(*latestOnly), QStringLiteral("v0.1.7"));

    const auto full = decodeVersionManifest(
        R"({"latest":"v1","beta":"v2-Beta","experimental":"v3","releases":{"beta":{"zip":"b.zip"},"stable":{}}})");
    ASSERT_TRUE(full);
    EXPECT_EQ(VersionRules::candidateVersion(full->info), QStringLiteral("v2-Beta"));
    ASSERT_TRUE(full->releases && full->releases->beta);
    EXPECT_EQ(full->releases->beta->zip, QStringLiteral("b.zip"));
    EXPECT_FALSE(full->releases->stable->zip);
    EXPECT_FALSE(full->releases->experimental);

    for (const char *bad : {"<html><body>Not Found</body></html>", R"({"beta":"v2"})", R"({"latest":7})",
                            R"(["latest"])", R"({"latest":"v1","releases":{"beta":{"zip":3}}})", ""})
        EXPECT_FALSE(decodeVersionManifest(bad)) << bad;
}

TEST(VersionManifest, ChoosesReleaseZip)
{
    const auto manifest = decodeVersionManifest(R"({"latest":"v1","beta":"v2","experimental":"v3",
        "releases":{"stable":{"zip":"s.zip"},"beta":{"zip":"b.zip"},"experimental":{"zip":"e.zip"}}})");
    const auto noBeta = decodeVersionManifest(
        R"({"latest":"v1","experimental":"v3","releases":{"stable":{"zip":"s.zip"},"experimental":{"zip":"e.zip"}}})");
    const auto noReleases = decodeVersionManifest(R"({"latest":"v1"})");
    const struct
    {
        std::optional<VersionManifest> manifest;
        const char *version;
        const char *zip;
    } cases[] = {
        {manifest, "v2", "b.zip"}, {manifest, "v1", "b.zip"}, // the beta zip wins for latest too
        {manifest, "v3", "e.zip"}, {manifest, "v9", "b.zip"}, // an unknown version takes any beta zip
        {noBeta, "v1", "s.zip"},   {noBeta, "v3", "e.zip"},   {noBeta, "v9", "Pendra-v9.zip"},
        {noReleases, "v1", "Pendra-v1.zip"}, {std::nullopt, "v1", "Pendra-v1.zip"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(releaseFile(c.manifest, QString::fromUtf8(c.version)).zip, QString::fromUtf8(c.zip)) << c.version;
}

TEST(VersionManifest, ChecksumComesFromTheChosenChannel)
{
    const auto manifest = decodeVersionManifest(R"({"latest":"v1","beta":"v2",
        "releases":{"stable":{"zip":"s.zip","sha256":"AB12"},"beta":{"zip":"b.zip","sha256":"cd34","size":7}}})");
    ASSERT_TRUE(manifest);
    EXPECT_EQ(releaseFile(manifest, QStringLiteral("v2")).sha256, QStringLiteral("cd34"));
    const auto stableOnly = decodeVersionManifest(R"({"latest":"v1","releases":{"stable":{"zip":"s.zip","sha256":"AB12"}}})");
    EXPECT_EQ(releaseFile(stableOnly, QStringLiteral("v1")).sha256, QStringLiteral("AB12"));
    EXPECT_EQ(releaseFile(stableOnly, QStringLiteral("v9")).sha256, std::nullopt); // default name, no checksum
    EXPECT_FALSE(decodeVersionManifest(R"({"latest":"v1","releases":{"beta":{"zip":"b.zip","sha256":5}}})"));
}

} // namespace
