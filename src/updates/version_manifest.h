#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The update manifest published on the product's web site, in the two views
// the checker and the installer need.
struct VersionInfo
{
    QString latest;
    std::optional<QString> beta;
    std::optional<QString> experimental;
};

struct ReleaseChannel
{
    // The release ZIP's file name, relative to the product's web page folder.
    std::optional<QString> zip;
};

struct ReleaseMap
{
    std::optional<ReleaseChannel> stable;
    std::optional<ReleaseChannel> beta;
    std::optional<ReleaseChannel> experimental;
};

struct VersionManifest
{
    VersionInfo info;
    std::optional<ReleaseMap> releases;
};

// Decodes a manifest body. Absent unless the body is a JSON object whose
// `latest` is a string; an optional key of the wrong type also fails, as any
// strict decoder would. Unknown keys are ignored. Pure: safe for any input.
std::optional<VersionManifest> decodeVersionManifest(const QByteArray &body);
std::optional<VersionInfo> decodeVersionInfo(const QByteArray &body);

// The ZIP to download for `version`: the matching channel's `zip`, else any
// beta `zip`, else "Pendra-<version>.zip". A missing manifest gives the default.
QString releaseZipName(const std::optional<VersionManifest> &manifest, const QString &version);
