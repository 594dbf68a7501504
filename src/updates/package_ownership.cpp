#include "updates/package_ownership.h"

#include <QProcess>
#include <QStandardPaths>

#include <chrono>

namespace PackageOwnership {

namespace {

using namespace std::chrono_literals;

constexpr auto kQueryLimit = 10s;

} // namespace

bool dpkgOwns(const QString &path)
{
    static const QString wildcards = QStringLiteral("*?[\\");
    if (!path.startsWith(QLatin1Char('/')) || std::any_of(path.begin(), path.end(), [](QChar c) {
            return wildcards.contains(c);
        }))
        return false;
    const QString query = QStandardPaths::findExecutable(QStringLiteral("dpkg-query"),
                                                         {QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
    if (query.isEmpty())
        return false;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(query, {QStringLiteral("-S"), path});
    if (!process.waitForFinished(static_cast<int>(std::chrono::milliseconds(kQueryLimit).count()))) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    // Exit status 1 means no package has the file; any other failure says
    // nothing either way, and the updater then leaves the file alone anyway
    // when it lies below /usr.
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace PackageOwnership
