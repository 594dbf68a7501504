#pragma once

#include "updates/running_app.h"
#include "updates/update_endpoints.h"
#include "updates/update_files.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

class InstallTools;
class PrivateWorkDir;
struct ReleaseFile;

// What a release download may cost before it is abandoned.
struct UpdateDownloadLimits
{
    std::int64_t zipBytes = std::int64_t{512} * 1024 * 1024;
    // No byte for this long ends the download.
    std::chrono::milliseconds stallTimeout = std::chrono::seconds(30);
};

// Downloads a release ZIP, checks it, extracts "Pendra.app", stages it and
// replaces the installed app: directly through pkexec in the system folder,
// otherwise through a helper script that waits for this process to quit.
// `install` blocks: run it on a background queue.
class UpdateInstaller
{
public:
    struct Callbacks
    {
        // Bytes received and expected (-1 when unknown); on the calling thread.
        std::function<void(std::int64_t received, std::int64_t total)> downloadProgress;
        // The package passed its checks and is being installed.
        std::function<void()> installing;
    };

    struct Result
    {
        // The text to show when the install failed.
        std::optional<QString> failure;
        QString installPath;
        // True when the app was replaced already (system folder); false when
        // the helper replaces it after this process quits.
        bool installedDirectly = false;
    };

    UpdateInstaller(UpdateEndpoints endpoints, UpdateFiles files, const UpdateLog &log, RunningApp app,
                    InstallTools &tools, UpdateDownloadLimits limits = {});

    // Installs `version` at `target` (InstallTarget::plan's). A folder there
    // that is not a Pendra.app AppDir is refused, never replaced.
    Result install(const QString &version, const QString &target, const Callbacks &callbacks);

private:
    Result installFrom(const ReleaseFile &release, const QString &version, const QString &target,
                       PrivateWorkDir &work, const Callbacks &callbacks);
    std::optional<QString> download(const QString &zipName, const QString &zipPath, const Callbacks &callbacks);
    std::optional<QString> verify(const ReleaseFile &release, const QString &zipPath);
    std::optional<QString> stage(const QString &appPath);
    Result apply(const QString &target, const PrivateWorkDir &work);

    UpdateEndpoints m_endpoints;
    UpdateFiles m_files;
    const UpdateLog &m_log;
    RunningApp m_app;
    InstallTools &m_tools;
    UpdateDownloadLimits m_limits;
};
