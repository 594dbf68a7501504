#include "platform/status_item.h"

#include "platform/clock.h"

StatusItem::StatusItem(Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
}

void StatusItem::handleActivation(QPoint position)
{
    const double now = m_clock.uptime();
    const bool second = m_lastActivationAt >= 0 && now - m_lastActivationAt <= m_doubleClickInterval;
    // A third quick activation starts a new click pair instead of another double.
    m_lastActivationAt = second ? -1 : now;
    emit leftClicked(position, second ? 2 : 1);
}

void StatusItem::handleContextMenuRequest(QPoint position)
{
    emit rightClicked(position);
}
