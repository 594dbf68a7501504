#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// A manifest is a few hundred bytes; anything past this is refused while it
// streams in.
inline constexpr std::int64_t kManifestMaxBytes = 64 * 1024;

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
    // The ZIP's SHA-256 as hexadecimal text; absent in older manifests.
    std::optional<QString> sha256;
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

struct ReleaseFile
{
    QString zip;
    // From the same channel entry as `zip`; absent for the default name.
    std::optional<QString> sha256;
};

// The ZIP to download for `version`: the matching channel's `zip`, else any
// beta `zip`, else "Pendra-<version>.zip". A missing manifest gives the default.
ReleaseFile releaseFile(const std::optional<VersionManifest> &manifest, const QString &version);
