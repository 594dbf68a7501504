#pragma once

#include "updates/running_app.h"
#include "updates/update_endpoints.h"
#include "updates/update_files.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class InstallTools;
class ToolRunner;

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

    // `isWritableFolder` decides whether a bundle can be updated in place.
    UpdateInstaller(UpdateEndpoints endpoints, UpdateFiles files, const UpdateLog &log, RunningApp app,
                    ToolRunner &lister, InstallTools &tools,
                    std::function<bool(const QString &folder)> isWritableFolder);

    Result install(const QString &version, const Callbacks &callbacks);

private:
    std::optional<QString> download(const QString &zipName, const QString &zipPath, const Callbacks &callbacks);
    std::optional<QString> stage(const QString &appPath);
    Result apply(const QString &target);
    void removeDownloads(const QString &zipPath) const;

    UpdateEndpoints m_endpoints;
    UpdateFiles m_files;
    const UpdateLog &m_log;
    RunningApp m_app;
    ToolRunner &m_lister;
    InstallTools &m_tools;
    std::function<bool(const QString &)> m_isWritableFolder;
};
