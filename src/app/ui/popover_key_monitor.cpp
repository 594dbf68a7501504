#include "app/ui/popover_key_monitor.h"

#include "app/ui/popover_controller.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

bool closesPopover(const QKeyEvent &key)
{
    if (key.key() == Qt::Key_Escape)
        return true;
    return key.key() == Qt::Key_W && (key.modifiers() & Qt::ControlModifier);
}

} // namespace

PopoverKeyMonitor::PopoverKeyMonitor(PopoverController &popover, QObject *parent)
    : QObject(parent)
    , m_popover(popover)
{
    QCoreApplication::instance()->installEventFilter(this);
}

PopoverKeyMonitor::~PopoverKeyMonitor()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool PopoverKeyMonitor::eventFilter(QObject *watched, QEvent *event)
{
    const bool isKey = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (!isKey || !m_popover.isShown() || !closesPopover(*static_cast<QKeyEvent *>(event)))
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Claim the key so that no window shortcut (Close Window) takes it.
        event->accept();
        return true;
    }
    m_popover.close();
    return true;
}
