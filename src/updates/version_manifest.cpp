#include "updates/version_manifest.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace {

// A key that is absent or null decodes to none; present with another type is
// a decoding failure (the outer optional).
std::optional<std::optional<QString>> optionalString(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return std::optional<QString>{};
    if (!value.isString())
        return std::nullopt;
    return std::optional<QString>{value.toString()};
}

std::optional<std::optional<ReleaseChannel>> decodeChannel(const QJsonObject &releases, const QString &key)
{
    const QJsonValue value = releases.value(key);
    if (value.isUndefined() || value.isNull())
        return std::optional<ReleaseChannel>{};
    if (!value.isObject())
        return std::nullopt;
    const auto zip = optionalString(value.toObject(), QStringLiteral("zip"));
    const auto sha256 = optionalString(value.toObject(), QStringLiteral("sha256"));
    if (!zip || !sha256)
        return std::nullopt;
    return std::optional<ReleaseChannel>{ReleaseChannel{*zip, *sha256}};
}

std::optional<QJsonObject> rootObject(const QByteArray &body)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

std::optional<VersionInfo> decodeInfo(const QJsonObject &root)
{
    const QJsonValue latest = root.value(QStringLiteral("latest"));
    if (!latest.isString())
        return std::nullopt;
    const auto beta = optionalString(root, QStringLiteral("beta"));
    const auto experimental = optionalString(root, QStringLiteral("experimental"));
    if (!beta || !experimental)
        return std::nullopt;
    return VersionInfo{latest.toString(), *beta, *experimental};
}

} // namespace

std::optional<VersionInfo> decodeVersionInfo(const QByteArray &body)
{
    const auto root = rootObject(body);
    return root ? decodeInfo(*root) : std::nullopt;
}

std::optional<VersionManifest> decodeVersionManifest(const QByteArray &body)
{
    const auto root = rootObject(body);
    if (!root)
        return std::nullopt;
    const auto info = decodeInfo(*root);
    if (!info)
        return std::nullopt;

    VersionManifest manifest{*info, std::nullopt};
    const QJsonValue releases = root->value(QStringLiteral("releases"));
    if (releases.isUndefined() || releases.isNull())
        return manifest;
    if (!releases.isObject())
        return std::nullopt;
    const QJsonObject map = releases.toObject();
    const auto stable = decodeChannel(map, QStringLiteral("stable"));
    const auto beta = decodeChannel(map, QStringLiteral("beta"));
    const auto experimental = decodeChannel(map, QStringLiteral("experimental"));
    if (!stable || !beta || !experimental)
        return std::nullopt;
    manifest.releases = ReleaseMap{*stable, *beta, *experimental};
    return manifest;
}

ReleaseFile releaseFile(const std::optional<VersionManifest> &manifest, const QString &version)
{
    const ReleaseFile fallback{QStringLiteral("Pendra-") + version + QStringLiteral(".zip"), std::nullopt};
    if (!manifest || !manifest->releases)
        return fallback;

    const VersionInfo &info = manifest->info;
    const ReleaseMap &releases = *manifest->releases;
    const auto hasZip = [](const std::optional<ReleaseChannel> &channel) { return channel && channel->zip; };
    const auto fileOf = [](const std::optional<ReleaseChannel> &channel) {
        return ReleaseFile{*channel->zip, channel->sha256};
    };

    if (hasZip(releases.beta) && (version == info.beta || version == info.latest))
        return fileOf(releases.beta);
    if (hasZip(releases.stable) && version == info.latest)
        return fileOf(releases.stable);
    if (hasZip(releases.experimental) && version == info.experimental)
        return fileOf(releases.experimental);
    if (hasZip(releases.beta))
        return fileOf(releases.beta);
    return fallback;
}
