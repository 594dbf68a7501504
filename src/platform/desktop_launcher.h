#pragma once

#include <QString>
#include <QStringList>

// The running desktop session: which desktop it is and starting its programs.
class DesktopLauncher
{
public:
    virtual ~DesktopLauncher() = default;

    // The desktop's names, most specific first ("ubuntu", "GNOME"); empty
    // when the session does not say.
    virtual QStringList desktopNames() const = 0;
    // Starts `program` (looked up on PATH, no shell) detached from the app.
    // False when it could not be started, for example when not installed.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
};
