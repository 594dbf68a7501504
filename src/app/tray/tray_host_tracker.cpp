#include "app/tray/tray_host_tracker.h"

#include "platform/color_scheme.h"

#include <QDBusServiceWatcher>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

TrayHostTracker::TrayHostTracker(const Defaults &defaults, const ColorSchemeSource *colorScheme,
                                 const QDBusConnection &bus, QString watcherService, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_colorScheme(colorScheme)
    , m_bus(bus)
    , m_watcherService(std::move(watcherService))
{
    if (m_colorScheme)
        connect(m_colorScheme, &ColorSchemeSource::colorSchemeChanged, this, &TrayHostTracker::lookChanged);
    // QGuiApplication's paletteChanged signal is deprecated in favour of this event.
    if (qApp)
        qApp->installEventFilter(this);
}

void TrayHostTracker::follow(bool viaWatcher)
{
    ++m_lookUpGeneration;
    delete m_ownerWatch;
    m_ownerWatch = nullptr;
    if (!viaWatcher) {
        setHost(trayHostBehaviour(TrayHost::unknown));
        return;
    }
    m_ownerWatch = new QDBusServiceWatcher(m_watcherService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_ownerWatch, &QDBusServiceWatcher::serviceOwnerChanged, this, &TrayHostTracker::lookUpHost);
    lookUpHost();
}

void TrayHostTracker::lookUpHost()
{
    const int generation = ++m_lookUpGeneration;
    lookUpWatcherOwnerProcess(m_bus, m_watcherService, this, [this, generation](const QString &processName) {
        if (generation == m_lookUpGeneration)
            setHost(trayHostBehaviour(trayHostForProcess(processName)));
    });
}

void TrayHostTracker::setHost(const TrayHostBehaviour &host)
{
    if (m_host == host)
        return;
    m_host = host;
    emit hostChanged();
}

TrayIconLook TrayHostTracker::look() const
{
    const ColorScheme scheme = m_colorScheme ? m_colorScheme->colorScheme() : ColorScheme::noPreference;
    return trayIconLook(m_host, m_defaults, scheme, QGuiApplication::palette().color(QPalette::Window));
}

bool TrayHostTracker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        emit lookChanged();
    return QObject::eventFilter(watched, event);
}
