#include "updates/update_installer.h"

#include "updates/blocking_http.h"
#include "updates/helper_script.h"
#include "updates/install_target.h"
#include "updates/install_tools.h"
#include "updates/update_package.h"
#include "updates/version_manifest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <chrono>

namespace {

using namespace std::chrono_literals;

constexpr auto kManifestTimeout = 12s;
constexpr auto kDownloadTimeout = 180s;

// The ZIP is saved under its own file name in the temporary folder; a name
// from the manifest never chooses a folder.
QString localZipName(const QString &zipName, const QString &version)
{
    const QString name = QFileInfo(QUrl(zipName).path()).fileName();
    if (name.isEmpty() || name == QLatin1String("..") || name == QLatin1String("."))
        return QStringLiteral("Pendra-") + QFileInfo(version).fileName() + QStringLiteral(".zip");
    return name;
}

} // namespace

UpdateInstaller::UpdateInstaller(UpdateEndpoints endpoints, UpdateFiles files, const UpdateLog &log,
                                 RunningApp app, ToolRunner &lister, InstallTools &tools,
                                 std::function<bool(const QString &)> isWritableFolder)
    : m_endpoints(std::move(endpoints))
    , m_files(std::move(files))
    , m_log(log)
    , m_app(std::move(app))
    , m_lister(lister)
    , m_tools(tools)
    , m_isWritableFolder(std::move(isWritableFolder))
{
}

UpdateInstaller::Result UpdateInstaller::install(const QString &version, const Callbacks &callbacks)
{
    const auto manifestBody = BlockingHttp::fetch(m_endpoints.manifestUrl, kManifestTimeout);
    const auto manifest = manifestBody ? decodeVersionManifest(*manifestBody) : std::nullopt;
    const QString zipName = releaseZipName(manifest, version);
    m_log.append(QStringLiteral("Resolved zip: ") + zipName);

    QDir().mkpath(m_files.tempDir);
    const QString zipPath = m_files.tempDir + QLatin1Char('/') + localZipName(zipName, version);
    removeDownloads(zipPath);

    Result result;
    result.failure = download(zipName, zipPath, callbacks);
    if (!result.failure)
        result.failure = UpdatePackage::validate(zipPath);
    if (!result.failure) {
        if (callbacks.installing)
            callbacks.installing();
        result.failure = UpdatePackage::extract(m_lister, m_tools, zipPath, zipName, m_files.extractDir());
    }
    std::optional<QString> appPath;
    if (!result.failure) {
        appPath = UpdatePackage::findApp(m_files.extractDir());
        if (!appPath)
            result.failure = QStringLiteral("Pendra.app not found inside ") + zipName + QStringLiteral(".");
    }
    if (!result.failure)
        result.failure = stage(*appPath);
    if (!result.failure) {
        const QString target = InstallTarget::chooseTarget(InstallTarget::bundleOfExecutable(m_app.executablePath),
                                                           m_app.home, m_isWritableFolder);
        m_log.append(QStringLiteral("Installing to ") + target);
        result = apply(target);
    }
    // The staged copy is all the helper needs; the download and the extracted
    // files would otherwise sit in the temporary folder until the next update.
    removeDownloads(zipPath);

    if (result.failure) {
        m_log.append(QStringLiteral("Update failed: ") + *result.failure);
    } else if (result.installedDirectly) {
        QDir().mkpath(QFileInfo(m_files.resultPath).absolutePath());
        QSaveFile file(m_files.resultPath);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("ok|\n");
            file.commit();
        }
    }
    return result;
}

std::optional<QString> UpdateInstaller::download(const QString &zipName, const QString &zipPath,
                                                 const Callbacks &callbacks)
{
    const BlockingHttp::Download outcome = BlockingHttp::download(
        m_endpoints.downloadUrl(zipName), zipPath, kDownloadTimeout, [&](std::int64_t received, std::int64_t total) {
            if (callbacks.downloadProgress)
                callbacks.downloadProgress(received, total);
        });
    if (!outcome.error.isEmpty())
        return QStringLiteral("Could not download ") + zipName + QStringLiteral(": ") + outcome.error;
    if (outcome.httpStatus && *outcome.httpStatus != 200) {
        return QStringLiteral("Server returned HTTP ") + QString::number(*outcome.httpStatus) + QStringLiteral(" for ")
            + zipName + QStringLiteral(". Download manually from ") + m_endpoints.webAddress() + QStringLiteral(".");
    }
    const QFileInfo saved(zipPath);
    if (!saved.isFile())
        return QStringLiteral("Download did not save ") + zipName + QStringLiteral(".");
    m_log.append(QStringLiteral("Downloaded ") + zipName + QStringLiteral(": ") + QString::number(saved.size())
                 + QStringLiteral(" bytes"));
    return std::nullopt;
}

std::optional<QString> UpdateInstaller::stage(const QString &appPath)
{
    QDir().mkpath(m_files.stagingDir);
    const QString staged = m_files.stagedAppPath();
    QDir(staged).removeRecursively();
    const InstallTools::Outcome outcome = m_tools.run(QStringLiteral("/usr/bin/cp"),
                                                      {QStringLiteral("-a"), appPath, staged});
    if (outcome.status == 0)
        return std::nullopt;
    return outcome.errorOutput.isEmpty() ? QStringLiteral("Could not stage the update package.") : outcome.errorOutput;
}

UpdateInstaller::Result UpdateInstaller::apply(const QString &target)
{
    QDir().mkpath(QFileInfo(target).absolutePath());
    Result result;
    result.installPath = InstallTarget::installPath(target);

    if (InstallTarget::isSystemTarget(target)) {
        const InstallTools::Outcome outcome = m_tools.run(
            QStringLiteral("/usr/bin/pkexec"),
            {QStringLiteral("/bin/sh"), QStringLiteral("-c"),
             HelperScript::privilegedReplaceCommand(result.installPath, m_files.stagedAppPath())});
        if (!outcome.started)
            result.failure = QStringLiteral("Could not request administrator access.");
        else if (outcome.status != 0)
            result.failure = QStringLiteral("Could not replace Pendra in /opt. Use ~/.local/opt or download from the website.");
        else
            result.installedDirectly = true;
        return result;
    }

    const QString script = HelperScript::text({m_files.logPath, m_files.resultPath, m_app.pid, result.installPath,
                                               m_files.stagedAppPath()});
    const QString scriptPath = m_files.helperScriptPath();
    QSaveFile file(scriptPath);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(script.toUtf8()) >= 0 && file.commit();
    if (!written || !QFile::setPermissions(scriptPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                           | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                                           | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                                           | QFileDevice::ExeOther)) {
        result.failure = QStringLiteral("Could not prepare the update helper script.");
        return result;
    }
    QDir().mkpath(QFileInfo(m_files.logPath).absolutePath());
    if (!m_tools.startDetached(QStringLiteral("/bin/bash"), {scriptPath}, m_files.logPath))
        result.failure = QStringLiteral("Could not launch the update helper.");
    return result;
}

void UpdateInstaller::removeDownloads(const QString &zipPath) const
{
    QFile::remove(zipPath);
    QDir(m_files.extractDir()).removeRecursively();
}
