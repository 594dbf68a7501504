#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class InstallTools;

// Checks on the downloaded release ZIP and its contents. Each returns the
// user-facing failure text, or absent when the step passed.
namespace UpdatePackage {

// Packages below this size are refused (bytes): a real release is far larger,
// and a small file is an error page or a truncated download.
inline constexpr std::int64_t kMinimumSize = 40000;

// In order: an HTML page, a file that is not a ZIP, a file that is too small.
std::optional<QString> validate(const QString &zipPath);

// Lists the archive with `unzip -Z` and refuses it when it cannot be listed,
// when an entry would land outside `folder` (absolute or with a ".."
// component) or when an entry is setuid, setgid, a device, a FIFO or a
// socket; then extracts with `unzip -qo` into `folder`, creating it.
std::optional<QString> extract(InstallTools &tools, const QString &zipPath, const QString &zipName,
                               const QString &folder);

// The first folder named exactly "Pendra.app", at any depth below `folder`,
// that holds an executable AppRun: anything else is not a runnable app.
std::optional<QString> findApp(const QString &folder);

// Refuses an app tree that could hand more rights to whoever runs it than
// its files should: setuid or setgid files, devices, FIFOs, sockets, and
// links that resolve outside `appDir` or nowhere.
std::optional<QString> checkTree(const QString &appDir);

} // namespace UpdatePackage
