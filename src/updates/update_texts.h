#pragma once

#include "updates/install_target.h"

#include <QString>

#include <cstdint>
#include <optional>

// The user-visible texts of the update flow: alerts, the progress panel and
// the installer's failures. Pure functions.
namespace UpdateTexts {

// "512 B", "12 K", "3.4 M" — printf rounding in every locale.
QString byteSize(std::int64_t bytes);
// "Fetching v0.1.7 from example.org"
QString fetching(const QString &version, const QString &host);
// "Installing v0.1.7…"
QString installing(const QString &version);
// With a known total: "42% · 1.2 M of 2.9 M" (truncated, never above 100);
// otherwise "1.2 M downloaded · v0.1.7".
QString downloadProgress(std::int64_t received, std::int64_t total, const QString &version);
// Truncated percentage, 0…100; a non-positive total gives 0.
int downloadPercent(std::int64_t received, std::int64_t total);

// Why the updater leaves an install of this kind to whoever made it, for the
// offer of a new version; absent for an AppDir, which it updates itself.
std::optional<QString> updatedElsewhere(InstallTarget::InstallKind kind);

// `path` with the home folder written as "~", for texts that show paths.
QString homeRelative(const QString &path, const QString &home);

} // namespace UpdateTexts
