#pragma once

#include <QDBusConnection>
#include <QString>

#include <functional>

class QObject;

// The tray hosts whose clicks and drawing differ, told apart by the process
// that owns the StatusNotifierWatcher.
enum class TrayHost { gnomeShell, plasma, xfce, lxqt, unknown };

// What one host does with the item, as observed on each real host.
struct TrayHostBehaviour
{
    // A single left click opens the exported menu and sends no Activate; the
    // menu then leads with "Battery Menu" and "Full Window".
    bool menuOnLeftClick = false;
    // The host draws XAyatanaLabel beside the icon; elsewhere the square icon
    // must carry the level itself.
    bool drawsLabel = false;
    // A single Activate arrives only for a double click (the single click went
    // to the menu), so it opens the dashboard.
    bool loneActivateIsDoubleClick = false;
    // The panel is dark whatever the desktop's colour scheme.
    bool panelAlwaysDark = false;
    // Pixel size the host draws the icon at.
    int iconSizePx = 22;

    bool operator==(const TrayHostBehaviour &) const = default;
};

// The first-run hint for a single click on the item, in the words of what
// the host opens.
struct TrayClickHint
{
    QString heading;
    QString line;

    bool operator==(const TrayClickHint &) const = default;
};
TrayClickHint trayClickHint(const TrayHostBehaviour &host);

// The host behind a watcher owned by the process named `processName` (its
// /proc/<pid>/comm, at most 15 characters).
TrayHost trayHostForProcess(const QString &processName);
TrayHostBehaviour trayHostBehaviour(TrayHost host);

// Asks the bus which process owns `watcherService` and calls `done` with its
// id and name (0 and "" when unknown: no owner, no such process, a bus from
// another machine), on the main thread; `context` going away cancels the call.
void lookUpWatcherOwnerProcess(const QDBusConnection &bus, const QString &watcherService, QObject *context,
                               std::function<void(uint processId, const QString &processName)> done);
