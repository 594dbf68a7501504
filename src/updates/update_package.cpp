#include "updates/update_package.h"

#include "updates/install_target.h"
#include "updates/install_tools.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>

namespace UpdatePackage {

namespace {

const QString kUnzip = QStringLiteral("/usr/bin/unzip");

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

QString unsafeEntry(const QString &entry, const char *why)
{
    return QStringLiteral("The entry \"") + entry + QStringLiteral("\" ") + QLatin1String(why) + QLatin1Char('.');
}

// One `unzip -Z -s` line per entry: "-rwsr-xr-x  3.0 unx  12 bx defN 24-Dec-07 02:40 name".
// unzip drops setuid and setgid bits as it extracts, but an archive that
// carries them (or device, FIFO or socket entries) is not a release build.
std::optional<QString> refusedMode(const QString &line)
{
    static const QRegularExpression entry(
        QStringLiteral("^([-dlcbps])[-r][-w]([-xsS])[-r][-w]([-xsS])[-r][-w][-xtT]\\s+\\S+\\s+unx\\s+"
                       "\\S+\\s+\\S+\\s+\\S+\\s+\\S+\\s+\\S+\\s(.*)$"));
    const QRegularExpressionMatch match = entry.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    const QString type = match.captured(1);
    const QString name = match.captured(4);
    if (type != QLatin1String("-") && type != QLatin1String("d") && type != QLatin1String("l"))
        return unsafeEntry(name, "is a device, FIFO or socket");
    const auto special = [](const QString &bit) { return bit == QLatin1String("s") || bit == QLatin1String("S"); };
    if (special(match.captured(2)) || special(match.captured(3)))
        return unsafeEntry(name, "is setuid or setgid");
    return std::nullopt;
}

std::optional<QString> checkListing(InstallTools &tools, const QString &zipPath, const QString &zipName)
{
    const InstallTools::Outcome names = tools.run(kUnzip, {QStringLiteral("-Z1"), zipPath});
    const InstallTools::Outcome modes = tools.run(kUnzip, {QStringLiteral("-Z"), QStringLiteral("-s"), zipPath});
    if (names.status != 0 || modes.status != 0)
        return extractFailure(zipName, QStringLiteral("Could not list the archive."));
    for (const QString &entry : names.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (escapesFolder(entry))
            return extractFailure(zipName, unsafeEntry(entry, "points outside the extraction folder"));
    }
    for (const QString &line : modes.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (const std::optional<QString> refusal = refusedMode(line))
            return extractFailure(zipName, *refusal);
    }
    return std::nullopt;
}

// Where a link really leads, every link on the way followed; empty when it
// leads nowhere.
bool staysInside(const QString &path, const QString &root)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    return !target.isEmpty() && (target == root || target.startsWith(root + QLatin1Char('/')));
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

std::optional<QString> extract(InstallTools &tools, const QString &zipPath, const QString &zipName,
                               const QString &folder)
{
    if (const std::optional<QString> refusal = checkListing(tools, zipPath, zipName))
        return refusal;

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

std::optional<QString> checkTree(const QString &appDir)
{
    const QString root = QFileInfo(appDir).canonicalFilePath();
    QDirIterator it(appDir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QLatin1String(InstallTarget::kAppName) + path.mid(appDir.size());
        struct stat status{};
        if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
            return QStringLiteral("Could not check ") + name + QLatin1Char('.');
        const mode_t type = status.st_mode & S_IFMT;
        if (type == S_IFLNK) {
            if (!staysInside(path, root))
                return unsafeEntry(name, "links outside Pendra.app");
        } else if (type != S_IFREG && type != S_IFDIR) {
            return unsafeEntry(name, "is a device, FIFO or socket");
        } else if (status.st_mode & (S_ISUID | S_ISGID)) {
            return unsafeEntry(name, "is setuid or setgid");
        }
    }
    return std::nullopt;
}

} // namespace UpdatePackage
