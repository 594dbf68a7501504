#include "updates/update_checker.h"

#include "platform/main_thread.h"
#include "platform/serial_queue.h"
#include "updates/install_target.h"
#include "updates/manifest_fetch.h"
#include "updates/update_presenter.h"
#include "updates/update_texts.h"
#include "updates/version_rules.h"

#include <QPointer>
#include <QTimer>

#include <chrono>

namespace {

using namespace std::chrono_literals;

// The previous result is reported once the launch has settled.
constexpr auto kPreviousResultDelay = 600ms;

const QString kProduct = QStringLiteral("Pendra Pro");

UpdateAlert alert(UpdateAlert::Style style, QString title, QString text, QStringList buttons)
{
    return {style, std::move(title), std::move(text), std::move(buttons)};
}

} // namespace

UpdateChecker::UpdateChecker(ManifestFetch &fetch, UpdatePresenter &presenter, UpdateInstaller &installer,
                             const UpdateLog &log, UpdateEndpoints endpoints, RunningApp app, QString resultPath,
                             InstallTarget::InstallProbes probes, QObject *parent)
    : QObject(parent)
    , m_fetch(fetch)
    , m_presenter(presenter)
    , m_installer(installer)
    , m_log(log)
    , m_endpoints(std::move(endpoints))
    , m_app(std::move(app))
    , m_resultPath(std::move(resultPath))
    , m_probes(std::move(probes))
    , m_installQueue(std::make_unique<SerialQueue>("pendrapro.update"))
{
}

UpdateChecker::~UpdateChecker() = default;

void UpdateChecker::fetchInfo(std::function<void(std::optional<VersionInfo>)> done)
{
    if (!m_endpoints.isSecure(m_endpoints.manifestUrl)) {
        // Answered later, like any failed fetch, so callers see one order.
        QTimer::singleShot(0, this, [done = std::move(done)] { done(std::nullopt); });
        return;
    }
    m_fetch.fetch(m_endpoints.manifestUrl, [self = QPointer(this), done = std::move(done)](std::optional<QByteArray> body) {
        if (self)
            done(body ? decodeVersionInfo(*body) : std::nullopt);
    });
}

void UpdateChecker::checkAtLaunch()
{
    QTimer::singleShot(kPreviousResultDelay, this, &UpdateChecker::reportPreviousResult);
    fetchInfo([this](std::optional<VersionInfo> info) {
        if (!info)
            return;
        const QString candidate = VersionRules::candidateVersion(*info);
        if (VersionRules::isNewer(candidate, m_app.version))
            showResult(true, false, candidate);
    });
}

void UpdateChecker::checkNow()
{
    fetchInfo([this](std::optional<VersionInfo> info) {
        if (!info) {
            m_presenter.showAlert(alert(UpdateAlert::Style::warning, QStringLiteral("Could Not Check for Updates"),
                                        QStringLiteral("Could not reach ") + m_endpoints.host()
                                            + QStringLiteral(". Check your internet connection and try again."),
                                        {QStringLiteral("OK")}),
                                  [](int) {});
            return;
        }
        const QString candidate = VersionRules::candidateVersion(*info);
        showResult(VersionRules::isNewer(candidate, m_app.version), true, candidate);
    });
}

void UpdateChecker::reportPreviousResult()
{
    const std::optional<QString> message = takePreviousResult(m_resultPath);
    if (!message)
        return;
    const QString text = *message + QStringLiteral("\n\nCheck ") + UpdateTexts::homeRelative(m_log.path(), m_app.home)
        + QStringLiteral(" or reinstall from ") + m_endpoints.webAddress() + QStringLiteral(".");
    m_presenter.showAlert(alert(UpdateAlert::Style::warning, QStringLiteral("Previous Update Did Not Complete"), text,
                                {QStringLiteral("Open Website"), QStringLiteral("OK")}),
                          [this](int button) {
                              if (button == 0)
                                  m_presenter.openUrl(m_endpoints.webPage);
                          });
}

void UpdateChecker::showResult(bool newer, bool manual, const QString &candidate)
{
    const QString running = VersionRules::displayForm(m_app.version);
    if (!newer) {
        if (manual) {
            m_presenter.showAlert(alert(UpdateAlert::Style::informational, QStringLiteral("You're Up to Date"),
                                        kProduct + QStringLiteral(" ") + running
                                            + QStringLiteral(" is the newest build available."),
                                        {QStringLiteral("OK")}),
                                  [](int) {});
        }
        return;
    }
    m_presenter.bringToFront();
    // Asking dpkg who owns the executable may take a moment.
    const QPointer<UpdateChecker> self(this);
    m_installQueue->post([self, candidate, app = m_app, probes = m_probes] {
        const InstallTarget::InstallPlan plan = InstallTarget::plan(app.executablePath, app.home, probes);
        postToMain(self, [=](UpdateChecker *checker) { checker->offerUpdate(candidate, plan); });
    });
}

void UpdateChecker::offerUpdate(const QString &candidate, const InstallTarget::InstallPlan &plan)
{
    const QString title = kProduct + QStringLiteral(" Update Available");
    const QString news = QStringLiteral("You're running ") + VersionRules::displayForm(m_app.version)
        + QStringLiteral(".\n\n") + VersionRules::displayForm(candidate) + QStringLiteral(" is available.\n\n");
    // Replacing a package's files would leave the package manager with a
    // package that no longer matches what is installed; a copy installed by
    // hand or run from a build is started from where it is, so an update put
    // elsewhere would never run.
    if (const std::optional<QString> elsewhere = UpdateTexts::updatedElsewhere(plan.kind)) {
        m_presenter.showAlert(alert(UpdateAlert::Style::informational, title, news + *elsewhere,
                                    {QStringLiteral("OK"), QStringLiteral("Open Website")}),
                              [this](int button) {
                                  if (button == 1)
                                      m_presenter.openUrl(m_endpoints.webPage);
                              });
        return;
    }
    m_presenter.showAlert(alert(UpdateAlert::Style::informational, title,
                                news + QStringLiteral("Download and install now? ") + kProduct
                                    + QStringLiteral(" will restart when done."),
                                {QStringLiteral("Install Update"), QStringLiteral("Later")}),
                          [this, candidate, target = plan.target](int button) {
                              if (button == 0)
                                  beginInstall(candidate, target);
                          });
}

void UpdateChecker::beginInstall(const QString &version, const QString &target)
{
    m_log.append(QStringLiteral("Update requested for ") + version + QStringLiteral(" from ") + m_app.version);
    m_presenter.openProgress(version, m_endpoints.host());

    const QPointer<UpdateChecker> self(this);
    m_installQueue->post([self, version, target, installer = &m_installer] {
        UpdateInstaller::Callbacks callbacks;
        callbacks.downloadProgress = [self, version](std::int64_t received, std::int64_t total) {
            postToMain(self, [=](UpdateChecker *checker) {
                checker->m_presenter.updateProgress(received, total, version);
            });
        };
        callbacks.installing = [self, version] {
            postToMain(self, [=](UpdateChecker *checker) { checker->m_presenter.showInstalling(version); });
        };
        const UpdateInstaller::Result result = installer->install(version, target, callbacks);
        postToMain(self, [=](UpdateChecker *checker) { checker->finishInstall(version, result); });
    });
}

void UpdateChecker::finishInstall(const QString &version, const UpdateInstaller::Result &result)
{
    m_presenter.closeProgress();
    if (result.failure) {
        emit installFailed(*result.failure);
        m_presenter.showAlert(alert(UpdateAlert::Style::warning, QStringLiteral("Update Failed"), *result.failure,
                                    {QStringLiteral("Open Website"), QStringLiteral("Cancel")}),
                              [this](int button) {
                                  if (button == 0)
                                      m_presenter.openUrl(m_endpoints.webPage);
                              });
        return;
    }
    m_presenter.showAlert(alert(UpdateAlert::Style::informational, QStringLiteral("Update Installed"),
                                QStringLiteral("Pendra will restart now to finish applying ")
                                    + VersionRules::displayForm(version) + QStringLiteral("."),
                                {QStringLiteral("OK")}),
                          [this, result](int) {
                              // The new copy waits for this one to let go of
                              // the single-instance lock as it quits.
                              if (result.installedDirectly)
                                  m_presenter.launchApp(result.installPath);
                              m_presenter.quitApplication();
                          });
}
