#pragma once

#include "fakes/fake_logind.h"

// A screen saver service that announces ActiveChanged(b) on `interface`
// ("org.freedesktop.ScreenSaver" or "org.gnome.ScreenSaver") at `path`,
// owning the bus name `serviceName`.
class FakeScreensaver : public FakeSignalSource
{
public:
    FakeScreensaver(const QString &serviceName, const QString &interface, const QString &path)
        : FakeSignalSource(serviceName)
        , m_interface(interface)
        , m_path(path)
    {
    }
    void setActive(bool active) { emitSignal(m_path, m_interface, QStringLiteral("ActiveChanged"), active); }

private:
    QString m_interface;
    QString m_path;
};
