#pragma once

#include "platform/desktop_launcher.h"

// The session's desktop names from XDG_CURRENT_DESKTOP; programs started with
// QProcess outside the app's process group.
class XdgDesktopLauncher final : public DesktopLauncher
{
public:
    QStringList desktopNames() const override;
    bool startDetached(const QString &program, const QStringList &arguments) override;
};
