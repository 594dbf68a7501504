#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class InstallTools;
class ToolRunner;

// Checks on the downloaded release ZIP and its contents. Each returns the
// user-facing failure text, or absent when the step passed.
namespace UpdatePackage {

// Packages below this size are refused (bytes): a real release is far larger,
// and a small file is an error page or a truncated download.
inline constexpr std::int64_t kMinimumSize = 40000;

// In order: an HTML page, a file that is not a ZIP, a file that is too small.
std::optional<QString> validate(const QString &zipPath);

// Lists the entries with `unzip -Z1` and refuses any that would land outside
// `folder` (absolute or with a ".." component), then extracts with
// `unzip -qo` into `folder`, creating it.
std::optional<QString> extract(ToolRunner &lister, InstallTools &tools, const QString &zipPath,
                               const QString &zipName, const QString &folder);

// The first folder named exactly "Pendra.app", at any depth below `folder`,
// that holds an executable AppRun: anything else is not a runnable app.
std::optional<QString> findApp(const QString &folder);

} // namespace UpdatePackage
