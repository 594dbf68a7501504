#pragma once

#include "fakes/fake_logind.h"

// A screen saver service ("org.freedesktop.ScreenSaver" or
// "org.gnome.ScreenSaver") that announces ActiveChanged(b).
class FakeScreensaver : public FakeSignalSource
{
public:
    // `name` is the service and interface name; `path` its object path.
    FakeScreensaver(const QString &name, const QString &path)
        : FakeSignalSource(name)
        , m_name(name)
        , m_path(path)
    {
    }
    void setActive(bool active) { emitSignal(m_path, m_name, QStringLiteral("ActiveChanged"), active); }

private:
    QString m_name;
    QString m_path;
};
