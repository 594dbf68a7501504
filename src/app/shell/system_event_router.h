#pragma once

#include <QObject>
#include <QString>

#include <functional>

class WorkspaceEvents;

// Names the four sleep and wake events and hands each on: first to whoever
// follows `systemEvent` (the drain log), then to the power store as a
// transition (waking true after a wake, false before a sleep).
class SystemEventRouter : public QObject
{
    Q_OBJECT

public:
    static inline const QString kDisplaySleep = QStringLiteral("display_sleep");
    static inline const QString kDisplayWake = QStringLiteral("display_wake");
    static inline const QString kSystemSleep = QStringLiteral("system_sleep");
    static inline const QString kSystemWake = QStringLiteral("system_wake");

    SystemEventRouter(WorkspaceEvents &events, std::function<void(bool waking)> noteTransition,
                      QObject *parent = nullptr);

signals:
    void systemEvent(const QString &name, bool waking);

private:
    void route(const QString &name, bool waking);

    std::function<void(bool)> m_noteTransition;
};
