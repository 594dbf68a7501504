#include "updates/update_package.h"

#include "platform/tool_runner.h"
#include "updates/install_target.h"
#include "updates/install_tools.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <chrono>

namespace UpdatePackage {

namespace {

using namespace std::chrono_literals;

const QString kUnzip = QStringLiteral("/usr/bin/unzip");
constexpr auto kListingLimit = 60s;

// A name that unzip would place outside the folder it extracts into. Backslashes
// count as separators too: some archivers write them.
bool escapesFolder(const QString &entry)
{
    QString name = entry;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('~')))
        return true;
    const QStringList parts = name.split(QLatin1Char('/'));
    return parts.contains(QStringLiteral(".."));
}

QString extractFailure(const QString &zipName, const QString &detail)
{
    return QStringLiteral("Could not extract ") + zipName + QStringLiteral(": ") + detail;
}

} // namespace

std::optional<QString> validate(const QString &zipPath)
{
    const qint64 size = QFileInfo(zipPath).size();
    // Only the first bytes decide; reading them never maps a huge file.
    QFile file(zipPath);
    QByteArray head;
    if (file.open(QIODevice::ReadOnly))
        head = file.read(4);
    // An error page is reported as such even when the server said 200.
    if (size >= 2 && head.startsWith('<'))
        return QStringLiteral("Got HTML instead of App ZIP. File may be missing on the server.");
    if (size < 4 || head.size() < 4 || !head.startsWith("PK"))
        return QStringLiteral("Downloaded file is not a valid ZIP.");
    if (size < kMinimumSize)
        return QStringLiteral("Downloaded package is too small (") + QString::number(size) + QStringLiteral(" bytes).");
    return std::nullopt;
}

std::optional<QString> extract(ToolRunner &lister, InstallTools &tools, const QString &zipPath,
                               const QString &zipName, const QString &folder)
{
    const std::optional<QString> listing = lister.run(kUnzip, {QStringLiteral("-Z1"), zipPath}, kListingLimit);
    if (!listing)
        return extractFailure(zipName, QStringLiteral("Could not list the archive."));
    for (const QString &entry : listing->split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (escapesFolder(entry)) {
            return extractFailure(zipName, QStringLiteral("The entry \"") + entry
                                      + QStringLiteral("\" points outside the extraction folder."));
        }
    }

    QDir().mkpath(folder);
    const InstallTools::Outcome outcome = tools.run(kUnzip, {QStringLiteral("-qo"), zipPath, QStringLiteral("-d"), folder});
    if (outcome.status == 0)
        return std::nullopt;
    return extractFailure(zipName, outcome.errorOutput.isEmpty()
                                       ? QStringLiteral("unzip exited with status ") + QString::number(outcome.status)
                                       : outcome.errorOutput);
}

std::optional<QString> findApp(const QString &folder)
{
    // Symlinks are not followed: a link in the archive must not lead the
    // search (and the copy) outside the extracted files.
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDirIterator::Subdirectories);
    QStringList found;
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileName() == QLatin1String(InstallTarget::kAppName))
            found.append(path);
    }
    // Directory order is the file system's; sorting makes "first" the
    // shallowest, alphabetically first match on every machine.
    std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) {
        const auto depthA = a.count(QLatin1Char('/'));
        const auto depthB = b.count(QLatin1Char('/'));
        return depthA != depthB ? depthA < depthB : a < b;
    });
    for (const QString &path : found) {
        const QFileInfo appRun(path + QStringLiteral("/AppRun"));
        if (appRun.isFile() && appRun.isExecutable())
            return path;
    }
    return std::nullopt;
}

} // namespace UpdatePackage
