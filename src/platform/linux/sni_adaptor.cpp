#include "platform/linux/sni_adaptor.h"

#include "platform/linux/status_notifier_item.h"

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(StatusNotifierItem *item)
    : QDBusAbstractAdaptor(item)
    , m_item(item)
{
    setAutoRelaySignals(false);
}

QString StatusNotifierItemAdaptor::title() const
{
    return m_item->title();
}

SniImageList StatusNotifierItemAdaptor::iconPixmap() const
{
    return m_item->iconPixmaps();
}

SniToolTip StatusNotifierItemAdaptor::toolTip() const
{
    return m_item->toolTip();
}

QDBusObjectPath StatusNotifierItemAdaptor::menu() const
{
    return QDBusObjectPath(StatusNotifierItem::kMenuPath);
}

QString StatusNotifierItemAdaptor::label() const
{
    return m_item->label();
}

void StatusNotifierItemAdaptor::Activate(int x, int y)
{
    m_item->activate(x, y);
}

void StatusNotifierItemAdaptor::SecondaryActivate(int x, int y)
{
    m_item->contextMenu(x, y);
}

void StatusNotifierItemAdaptor::ContextMenu(int x, int y)
{
    m_item->contextMenu(x, y);
}
