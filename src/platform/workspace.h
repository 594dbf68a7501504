#pragma once

#include <QObject>

// The machine's and the screens' sleep and wake, as the desktop reports them.
// Signals arrive on the main thread; each transition is reported once even
// when several services announce it.
class WorkspaceEvents : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;


signals:
    void screensDidSleep();
    void screensDidWake();
    void willSleep();
    void didWake();
};
