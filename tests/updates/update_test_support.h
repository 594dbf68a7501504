#pragma once

#include "updates/install_tools.h"
#include "updates/update_endpoints.h"
#include "updates/update_presenter.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Writes an AppDir "Pendra.app" below `parent`: an AppRun that leaves a
// "relaunched" file holding its arguments beside itself, and usr/bin/pendrapro holding `marker`
// padded with `paddingBytes` of incompressible data.
QString writeAppDir(const QString &parent, const QByteArray &marker, int paddingBytes = 48000,
                    bool executableAppRun = true);
// What usr/bin/pendrapro of the AppDir at `appDir` starts with.
QByteArray appMarker(const QString &appDir);
// `zip -qry zipPath entries…` run in `workDir`; the archive's bytes.
QByteArray zipEntries(const QString &workDir, const QString &zipPath, const QStringList &entries);
// The id of a process that has already exited, for a helper that must not wait.
qint64 exitedPid();

class LoopbackHttpServer;
// The manifest at /pendra-pro/version.json and the web page /pendra-pro/ on
// `server`, whose plain-HTTP origin is trusted through the test seam.
UpdateEndpoints loopbackEndpoints(const LoopbackHttpServer &server);

// A fresh Ed25519 key pair: the raw 32-byte public key, and a signer that
// returns the 64-byte signature of its argument.
struct TestSigningKey
{
    QByteArray publicKey;
    std::function<QByteArray(const QByteArray &message)> sign;
};
TestSigningKey makeSigningKey();

// Real tools, except that the helper runs to its end before startDetached
// returns and pkexec is answered with `pkexecStatus` without running.
class SynchronousInstallTools : public InstallTools
{
public:
    int pkexecStatus = 126;
    QStringList pkexecArguments;
    // Runs in place of pkexec, before it answers.
    std::function<void()> beforePkexec;
    bool helperStarted = false;

    Outcome run(const QString &program, const QStringList &arguments) override;
    bool startDetached(const QString &program, const QStringList &arguments, const QString &outputPath) override;

private:
    ProcessInstallTools m_real;
};

class RecordingPresenter : public UpdatePresenter
{
public:
    QList<UpdateAlert> alerts;
    // Which button answers each alert, by title; the first button otherwise.
    std::function<int(const UpdateAlert &)> choose = [](const UpdateAlert &) { return 0; };
    QList<QUrl> openedUrls;
    QStringList launchedApps;
    QStringList panelEvents;
    int quits = 0;

    void showAlert(const UpdateAlert &alert, std::function<void(int)> answer) override
    {
        alerts.append(alert);
        answer(choose(alert));
    }
    void bringToFront() override { panelEvents.append(QStringLiteral("front")); }
    void openUrl(const QUrl &url) override { openedUrls.append(url); }
    void quitApplication() override { ++quits; }
    void launchApp(const QString &appDir) override { launchedApps.append(appDir); }
    void openProgress(const QString &version, const QString &host) override
    {
        panelEvents.append(QStringLiteral("open ") + version + QLatin1Char(' ') + host);
    }
    void updateProgress(std::int64_t received, std::int64_t total, const QString &) override
    {
        if (received == total && total > 0)
            panelEvents.append(QStringLiteral("progress complete"));
    }
    void showInstalling(const QString &version) override { panelEvents.append(QStringLiteral("installing ") + version); }
    void closeProgress() override { panelEvents.append(QStringLiteral("close")); }
};
