#pragma once

#include "app/core/pendra_pro_locator.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// The sibling app Torvex, which the dashboard's footer opens when it is
// installed and otherwise links to on the web.
class SiblingApp
{
public:
    static inline const QString kDesktopId = QStringLiteral("com.marblewickhq.torvex.desktop");
    // AppDirs in the system and the user's applications folders.
    static inline const QStringList kBundlePaths{QStringLiteral("/opt/Torvex.app")};
    static inline const QString kUserBundle = QStringLiteral(".local/opt/Torvex.app"); // under the home folder
    static inline const QUrl kWebPage = QUrl(QStringLiteral("https://marblewickhq.com/torvex"));

    // Looks for the desktop id in `applicationDirs`, then for an AppDir's
    // AppRun in `bundlePaths`.
    static SiblingApp locate(const QStringList &applicationDirs, const QStringList &bundlePaths);
    // The standard application folders and AppDir locations.
    static SiblingApp locateInstalled();

    bool isInstalled() const { return m_command.has_value(); }
    // "Open Torvex" or "Get Torvex".
    QString linkTitle() const;
    // Starts the app, or opens its web page when it is not installed.
    void open() const;

private:
    explicit SiblingApp(std::optional<PendraProLocator::LaunchCommand> command);

    std::optional<PendraProLocator::LaunchCommand> m_command;
};
