#include "app/tray/tray_host_tracker.h"

#include "platform/color_scheme.h"
#include "platform/tray_panel.h"

#include <QDBusServiceWatcher>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>
#include <QTimer>

namespace {

// How long a panel is given to embed and draw the icon before its colours
// are read.
constexpr int kPanelSettleMs = 1500;
// A panel's own theme can change without the desktop saying so; reading it
// now and then costs one short X round trip.
constexpr int kPanelRecheckMs = 2 * 60 * 1000;

} // namespace

TrayHostTracker::TrayHostTracker(const Defaults &defaults, const ColorSchemeSource *colorScheme,
                                 TrayPanelProbe *panel, const QDBusConnection &bus, QString watcherService,
                                 QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_colorScheme(colorScheme)
    , m_panel(panel)
    , m_bus(bus)
    , m_watcherService(std::move(watcherService))
    , m_panelSettle(new QTimer(this))
{
    m_panelSettle->setSingleShot(true);
    m_panelSettle->setInterval(kPanelSettleMs);
    connect(m_panelSettle, &QTimer::timeout, this, [this] { measurePanel(false); });
    if (m_panel) {
        auto *recheck = new QTimer(this);
        connect(recheck, &QTimer::timeout, this, [this] { measurePanel(false); });
        recheck->start(kPanelRecheckMs);
    }
    // A desktop switching themes repaints its panel too.
    if (m_colorScheme)
        connect(m_colorScheme, &ColorSchemeSource::colorSchemeChanged, this, [this] { measurePanel(true); });
    // QGuiApplication's paletteChanged signal is deprecated in favour of this event.
    if (qApp)
        qApp->installEventFilter(this);
}

void TrayHostTracker::follow(bool viaWatcher, std::function<QRect()> iconGeometry)
{
    m_iconGeometry = std::move(iconGeometry);
    m_hostProcess = 0;
    m_panelSettle->start();
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
    lookUpWatcherOwnerProcess(m_bus, m_watcherService, this,
                              [this, generation](uint processId, const QString &processName) {
                                  if (generation != m_lookUpGeneration)
                                      return;
                                  m_hostProcess = processId;
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

void TrayHostTracker::measurePanel(bool always)
{
    const std::optional<bool> before = m_panelIsDark;
    if (m_panel)
        m_panelIsDark = m_panel->panelIsDark(m_iconGeometry ? m_iconGeometry() : QRect(), m_hostProcess);
    if (always || m_panelIsDark != before)
        emit lookChanged();
}

TrayIconLook TrayHostTracker::look() const
{
    const ColorScheme scheme = m_colorScheme ? m_colorScheme->colorScheme() : ColorScheme::noPreference;
    return trayIconLook(m_host, m_defaults,
                        {.measuredDark = m_panelIsDark,
                         .scheme = scheme,
                         .paletteWindow = QGuiApplication::palette().color(QPalette::Window)});
}

bool TrayHostTracker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        measurePanel(true);
    return QObject::eventFilter(watched, event);
}
