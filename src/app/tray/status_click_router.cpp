#include "app/tray/status_click_router.h"

#include "app/core/app_actions.h"
#include "app/ui/popover_controller.h"
#include "app/tray/status_context_menu.h"
#include "app/tray/tray_host_rules.h"
#include "platform/clock.h"
#include "platform/status_item.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QStyleHints>

#include <algorithm>
#include <cstdlib>

StatusClickRouter::StatusClickRouter(PopoverController &popover, AppActions &actions, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_popover(popover)
    , m_actions(actions)
    , m_clock(clock)
    , m_menu(buildStatusContextMenu(actions))
{
    connect(&popover, &PopoverController::pressedOutside, this, &StatusClickRouter::pressWhilePopoverOpen);
    // Where the pointer is not the popover's to hold (XWayland), a right
    // click reaches the host, which opens this menu under the popover.
    connect(m_menu.get(), &QMenu::aboutToShow, &popover, &PopoverController::close);
}

// An item that outlives the router sees its menu go away and shows none.
StatusClickRouter::~StatusClickRouter() = default;

void StatusClickRouter::attach(StatusItem *item)
{
    if (m_item)
        disconnect(m_item, nullptr, this, nullptr);
    m_item = item;
    if (!item)
        return;
    connect(item, &StatusItem::leftClicked, this, &StatusClickRouter::leftClick);
    connect(item, &StatusItem::rightClicked, this, &StatusClickRouter::rightClick);
    item->setMenu(m_menu.get());
}

void StatusClickRouter::setHostBehaviour(const TrayHostBehaviour &behaviour)
{
    m_loneActivateIsDoubleClick = behaviour.loneActivateIsDoubleClick;
    orderStatusContextMenu(*m_menu, behaviour.menuOnLeftClick);
}

QMenu *StatusClickRouter::openContextMenu() const
{
    return m_menu->isVisible() ? m_menu.get() : nullptr;
}

void StatusClickRouter::leftClick(QPoint position, int clickCount)
{
    m_lastClickPosition = position;
    if (clickCount >= 2 || m_loneActivateIsDoubleClick) {
        m_lastLeftClickAt = 0;
        m_popover.close();
        m_actions.openDashboard();
        return;
    }
    m_lastLeftClickAt = m_clock.uptime();
    m_popover.handleClick(position);
}

void StatusClickRouter::pressWhilePopoverOpen(QPoint global)
{
    // Hosts report the pointer or the icon's edge; either lies within one
    // icon of the press.
    constexpr int kOnTheItem = 32;
    const double doubleClickSeconds = QGuiApplication::styleHints()->mouseDoubleClickInterval() / 1000.0;
    const double sinceClick = m_clock.uptime() - m_lastLeftClickAt;
    const QPoint offset = global - m_lastClickPosition;
    if (m_lastLeftClickAt > 0 && sinceClick >= 0 && sinceClick < doubleClickSeconds && !m_lastClickPosition.isNull()
        && std::max(std::abs(offset.x()), std::abs(offset.y())) <= kOnTheItem)
        leftClick(global, 2);
}

void StatusClickRouter::rightClick(QPoint position)
{
    m_lastClickPosition = position;
    m_menu->popup(position.isNull() ? QCursor::pos() : position);
}
