#pragma once

#include "updates/install_target.h"
#include "updates/running_app.h"
#include "updates/update_endpoints.h"
#include "updates/update_installer.h"
#include "updates/version_manifest.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class ManifestFetch;
class SerialQueue;
class UpdateLog;
class UpdatePresenter;

// The update check at launch and on request, the alerts that offer an update,
// and the hand-over to the installer. Main thread only; how the app was
// installed is found out, and the install itself runs, on the
// "pendrapro.update" queue.
class UpdateChecker : public QObject
{
    Q_OBJECT

public:
    UpdateChecker(ManifestFetch &fetch, UpdatePresenter &presenter, UpdateInstaller &installer,
                  const UpdateLog &log, UpdateEndpoints endpoints, RunningApp app, QString resultPath,
                  InstallTarget::InstallProbes probes, QObject *parent = nullptr);
    // Waits for a running install to end.
    ~UpdateChecker() override;

    // Loads the manifest and calls back on the main thread
    // with its versions, or none on any failure.
    void fetchInfo(std::function<void(std::optional<VersionInfo>)> done);

    // Reports the last helper run after 0.6 s, then offers a newer version if
    // there is one; silent otherwise.
    void checkAtLaunch();
    // The "Check for Updates" command: always answers with an alert.
    void checkNow();
    // Shows what the last install's helper left behind, if it failed.
    void reportPreviousResult();

    // A newer candidate is offered once the install kind is known, on the
    // main thread; an install the updater does not own is only reported.
    void showResult(bool newer, bool manual, const QString &candidate);
    void beginInstall(const QString &version, const QString &target);

signals:
    // An install ended with the "Update Failed" alert; for tests and status.
    void installFailed(const QString &message);

private:
    void finishInstall(const QString &version, const UpdateInstaller::Result &result);
    void offerUpdate(const QString &candidate, const InstallTarget::InstallPlan &plan);

    ManifestFetch &m_fetch;
    UpdatePresenter &m_presenter;
    UpdateInstaller &m_installer;
    const UpdateLog &m_log;
    UpdateEndpoints m_endpoints;
    RunningApp m_app;
    QString m_resultPath;
    InstallTarget::InstallProbes m_probes;
    std::unique_ptr<SerialQueue> m_installQueue;
};
