#include "updates/update_installer.h"

#include "updates/blocking_http.h"
#include "updates/helper_script.h"
#include "updates/install_target.h"
#include "updates/install_tools.h"
#include "updates/private_work_dir.h"
#include "updates/release_integrity.h"
#include "updates/update_package.h"
#include "updates/update_texts.h"
#include "updates/version_manifest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <chrono>

namespace {

using namespace std::chrono_literals;

constexpr auto kManifestTimeout = 12s;
// An Ed25519 signature is 64 bytes.
constexpr std::int64_t kSignatureMaxBytes = 1024;

// The ZIP is saved under its own file name in the work folder; a name
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
                                 RunningApp app, InstallTools &tools, UpdateDownloadLimits limits)
    : m_endpoints(std::move(endpoints))
    , m_files(std::move(files))
    , m_log(log)
    , m_app(std::move(app))
    , m_tools(tools)
    , m_limits(limits)
{
}

UpdateInstaller::Result UpdateInstaller::install(const QString &version, const QString &target,
                                                 const Callbacks &callbacks)
{
    const auto manifestBody = m_endpoints.isSecure(m_endpoints.manifestUrl)
        ? BlockingHttp::fetch(m_endpoints.manifestUrl, kManifestTimeout, kManifestMaxBytes)
        : std::nullopt;
    const auto manifest = manifestBody ? decodeVersionManifest(*manifestBody) : std::nullopt;
    const ReleaseFile release = releaseFile(manifest, version);
    m_log.append(QStringLiteral("Resolved zip: ") + release.zip);

    Result result;
    std::optional<PrivateWorkDir> work = PrivateWorkDir::create(m_files.workParent);
    if (work)
        result = installFrom(release, version, target, *work, callbacks);
    else
        result.failure = QStringLiteral("Could not create a private folder for the update.");

    if (result.failure) {
        m_log.append(QStringLiteral("Update failed: ") + *result.failure);
    } else if (result.installedDirectly) {
        QDir().mkpath(QFileInfo(m_files.resultPath).absolutePath());
        QSaveFile file(m_files.resultPath);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("ok|\n");
            file.commit();
        }
    } else {
        // The helper runs its script from the folder and removes it when done.
        work->handOver();
    }
    return result;
}

UpdateInstaller::Result UpdateInstaller::installFrom(const ReleaseFile &release, const QString &version,
                                                     const QString &target, PrivateWorkDir &work,
                                                     const Callbacks &callbacks)
{
    Result result;
    // Replacing removes what is there: only ever an app this updater made.
    const QString replaced = InstallTarget::installPath(target);
    const QFileInfo there(replaced);
    const bool occupied = there.exists() || there.isSymLink();
    if (!QDir::isAbsolutePath(replaced) || (occupied && !InstallTarget::isAppDir(replaced))) {
        result.failure = UpdateTexts::homeRelative(replaced, m_app.home)
            + QStringLiteral(" is not a Pendra.app folder. It was left as it is.");
        return result;
    }
    const QString zipPath = work.filePath(localZipName(release.zip, version));
    const QString extractDir = work.filePath(QStringLiteral("extract"));
    result.failure = download(release.zip, zipPath, callbacks);
    if (!result.failure)
        result.failure = UpdatePackage::validate(zipPath);
    if (!result.failure)
        result.failure = verify(release, zipPath);
    if (!result.failure) {
        if (callbacks.installing)
            callbacks.installing();
        result.failure = UpdatePackage::extract(m_tools, zipPath, release.zip, extractDir);
    }
    std::optional<QString> appPath;
    if (!result.failure) {
        appPath = UpdatePackage::findApp(extractDir);
        if (!appPath)
            result.failure = QStringLiteral("Pendra.app not found inside ") + release.zip + QStringLiteral(".");
    }
    if (!result.failure)
        result.failure = stage(*appPath);
    // The staged copy is all that is installed from here on.
    QFile::remove(zipPath);
    QDir(extractDir).removeRecursively();
    if (result.failure)
        return result;

    m_log.append(QStringLiteral("Installing to ") + target);
    return apply(target, work);
}

std::optional<QString> UpdateInstaller::download(const QString &zipName, const QString &zipPath,
                                                 const Callbacks &callbacks)
{
    const QString refused = QStringLiteral("Could not download ") + zipName + QStringLiteral(": ");
    const QUrl url = m_endpoints.downloadUrl(zipName);
    if (!m_endpoints.isSecure(url))
        return refused + QStringLiteral("the address is not HTTPS.");
    if (!m_endpoints.isOnWebSite(url))
        return refused + QStringLiteral("the address is not on ") + m_endpoints.webPage.host() + QStringLiteral(".");

    const BlockingHttp::Download outcome = BlockingHttp::download(
        url, zipPath, {m_limits.zipBytes, m_limits.stallTimeout}, [&](std::int64_t received, std::int64_t total) {
            if (callbacks.downloadProgress)
                callbacks.downloadProgress(received, total);
        });
    switch (outcome.failure) {
    case BlockingHttp::Download::Failure::none:
        break;
    case BlockingHttp::Download::Failure::transport:
        return refused + outcome.error;
    case BlockingHttp::Download::Failure::tooLarge:
        return refused + QStringLiteral("it is larger than ") + UpdateTexts::byteSize(m_limits.zipBytes)
            + QStringLiteral(".");
    case BlockingHttp::Download::Failure::stalled:
        return refused + QStringLiteral("the server stopped sending it.");
    }
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

std::optional<QString> UpdateInstaller::verify(const ReleaseFile &release, const QString &zipPath)
{
    if (release.sha256 && !ReleaseIntegrity::matchesSha256(zipPath, *release.sha256))
        return QStringLiteral("Downloaded update is damaged.");
    if (m_endpoints.signingKey.isEmpty())
        return std::nullopt;
    // The signature sits beside the ZIP, so it passed the same address checks.
    const QUrl signatureUrl(m_endpoints.downloadUrl(release.zip).toString() + QStringLiteral(".sig"));
    const std::optional<QByteArray> signature = BlockingHttp::fetch(signatureUrl, kManifestTimeout, kSignatureMaxBytes);
    if (!signature || !ReleaseIntegrity::hasValidSignature(zipPath, *signature, m_endpoints.signingKey))
        return QStringLiteral("Downloaded update is not signed by its publisher.");
    return std::nullopt;
}

std::optional<QString> UpdateInstaller::stage(const QString &appPath)
{
    QDir().mkpath(m_files.stagingDir);
    const QString staged = m_files.stagedAppPath();
    QDir(staged).removeRecursively();
    const InstallTools::Outcome outcome = m_tools.run(QStringLiteral("/usr/bin/cp"),
                                                      {QStringLiteral("-a"), appPath, staged});
    if (outcome.status != 0)
        return outcome.errorOutput.isEmpty() ? QStringLiteral("Could not stage the update package.")
                                             : outcome.errorOutput;
    // Checked on the copy that is installed, after the last step that could
    // have changed it as this user.
    return UpdatePackage::checkTree(staged);
}

UpdateInstaller::Result UpdateInstaller::apply(const QString &target, const PrivateWorkDir &work)
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
                                               m_files.stagedAppPath(), work.path()});
    const QString scriptPath = work.filePath(QStringLiteral("apply-update.sh"));
    QSaveFile file(scriptPath);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(script.toUtf8()) >= 0 && file.commit();
    if (!written || !QFile::setPermissions(scriptPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                           | QFileDevice::ExeOwner)) {
        result.failure = QStringLiteral("Could not prepare the update helper script.");
        return result;
    }
    QDir().mkpath(QFileInfo(m_files.logPath).absolutePath());
    if (!m_tools.startDetached(QStringLiteral("/bin/bash"), {scriptPath}, m_files.logPath))
        result.failure = QStringLiteral("Could not launch the update helper.");
    return result;
}
