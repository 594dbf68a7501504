#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <cstdint>
#include <functional>

struct UpdateAlert
{
    enum class Style { informational, warning };

    Style style = Style::informational;
    QString title;
    QString text;
    // The first button is the default one.
    QStringList buttons;
};

// What the update flow shows and asks of the application. Main thread only.
class UpdatePresenter
{
public:
    virtual ~UpdatePresenter() = default;

    // Shows `alert`; `answer` gets the index of the button that dismissed it.
    virtual void showAlert(const UpdateAlert &alert, std::function<void(int button)> answer) = 0;
    // Brings the application in front of others before an offer.
    virtual void bringToFront() = 0;
    virtual void openUrl(const QUrl &url) = 0;
    virtual void quitApplication() = 0;
    // Starts the app installed at `appDir` (its AppRun), detached.
    virtual void launchApp(const QString &appDir) = 0;

    // The download progress panel.
    virtual void openProgress(const QString &version, const QString &host) = 0;
    // Bytes so far and in total (-1 when unknown).
    virtual void updateProgress(std::int64_t received, std::int64_t total, const QString &version) = 0;
    virtual void showInstalling(const QString &version) = 0;
    virtual void closeProgress() = 0;
};
