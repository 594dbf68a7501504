#include "app/ui/popover_controller.h"

#include "app/ui/popover_geometry.h"
#include "app/ui/popover_panel.h"
#include "app/core/wayland_session.h"
#include "platform/clock.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QTimer>

namespace {

std::optional<QRect> screenAreaAt(QPoint anchor)
{
    QScreen *screen = anchor.isNull() ? nullptr : QGuiApplication::screenAt(anchor);
    if (!screen)
        screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return screen->availableGeometry();
}

} // namespace

PopoverController::PopoverController(Clock &clock, ContentFactory makeContent, QObject *parent,
                                     const QProcessEnvironment &session)
    : QObject(parent)
    , m_clock(clock)
    , m_makeContent(std::move(makeContent))
    , m_screenArea(screenAreaAt)
    , m_panel(std::make_unique<PopoverPanel>())
    , m_opensAsWindow(WaylandSession::popoverOpensAsWindow(session))
{
    if (m_opensAsWindow) {
        m_panel->setWindowFlags(Qt::Window);
        m_panel->setWindowTitle(QStringLiteral("Pendra Pro"));
    } else if (WaylandSession::popoverIsFocusedToolWindow(session)) {
        m_panel->becomeFocusedToolWindow();
    }
    connect(m_panel.get(), &PopoverPanel::hidden, this, &PopoverController::didClose);
    connect(m_panel.get(), &PopoverPanel::pressedOutside, this, &PopoverController::pressedOutside);
}

PopoverController::~PopoverController()
{
    // Hiding during destruction must not reach listeners that are going away.
    disconnect(m_panel.get(), nullptr, this, nullptr);
}

int PopoverController::panelHeightFor(QPoint anchor) const
{
    return PopoverGeometry::panelHeight(m_screenArea(anchor));
}

void PopoverController::warmUp()
{
    m_lastPopoverSize = QSize(PopoverGeometry::kPanelWidth, panelHeightFor(QPoint()));
    prepareContent();
}

void PopoverController::prepareContent()
{
    if (m_lastPopoverSize.width() <= 0)
        m_lastPopoverSize = QSize(PopoverGeometry::kPanelWidth, panelHeightFor(QPoint()));
    if (!m_panel->content())
        rebuildContent(m_lastPopoverSize);
    else
        m_panel->setFixedSize(m_lastPopoverSize);
    m_popoverWarm = true;
}

bool PopoverController::isShown() const
{
    return m_panel->isVisible();
}

void PopoverController::handleClick(QPoint anchor)
{
    if (isShown()) {
        close();
        return;
    }
    // A negative gap means the wall clock was set back: not the closing click.
    const double sinceClose = m_clock.now() - m_popoverClosedAt;
    if (sinceClose >= 0 && sinceClose < kReopenGuard)
        return;
    show(anchor);
}

void PopoverController::show(QPoint anchor)
{
    placeAndShow(anchor);
    emit shown();
}

void PopoverController::forceShow(QPoint anchor)
{
    if (isShown())
        return;
    placeAndShow(anchor);
    QTimer::singleShot(0, this, [this] {
        if (isShown())
            emit shown();
    });
}

void PopoverController::placeAndShow(QPoint anchor)
{
    if (!m_popoverWarm)
        prepareContent();
    // Fitting before showing places the panel at its final size.
    fit(anchor);
    if (m_opensAsWindow) {
        const QScreen *primary = QGuiApplication::primaryScreen();
        QRect frame(QPoint(0, 0), m_panel->size());
        if (primary)
            frame.moveCenter(primary->availableGeometry().center());
        m_panel->setGeometry(frame);
    } else {
        const QPoint pointer = anchor.isNull() ? QCursor::pos() : anchor;
        const QRect area = m_screenArea(pointer).value_or(QRect(QPoint(0, 0), m_panel->size()));
        const QPoint at = anchor.isNull() ? PopoverGeometry::panelSideOf(pointer, area) : anchor;
        // A point the host gave lies on the item; one taken from the screen's
        // edge lies on the panel only.
        const QRect reach = anchor.isNull() ? QRect(at, QSize(1, 1)) : PopoverGeometry::itemReach(at);
        const std::optional<QRect> panel = m_panelAt ? m_panelAt(at) : std::nullopt;
        m_panel->setGeometry(PopoverGeometry::panelFrame(at, m_panel->size(), area, panel.value_or(reach)));
    }
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
}

void PopoverController::fit(QPoint anchor)
{
    const QSize wanted(PopoverGeometry::kPanelWidth, panelHeightFor(anchor));
    if (m_popoverWarm && PopoverGeometry::fitsWithoutRebuild(m_lastPopoverSize, wanted)) {
        m_panel->setFixedSize(m_lastPopoverSize);
        return;
    }
    m_lastPopoverSize = wanted;
    rebuildContent(wanted);
}

void PopoverController::rebuildContent(QSize size)
{
    m_panel->setFixedSize(size);
    m_panel->setContent(m_makeContent(size));
    m_panel->ensurePolished();
    if (QLayout *layout = m_panel->layout())
        layout->activate();
    emit contentBuilt();
}

void PopoverController::close()
{
    if (isShown())
        m_panel->close();
}

void PopoverController::didClose()
{
    m_popoverClosedAt = m_clock.now();
    emit closed();
}
