#include "app/dashboard/dashboard_key_catcher.h"

#include <QKeyEvent>

const std::function<void()> *DashboardKeyCatcher::actionFor(QEvent *event) const
{
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_Escape && modifiers == Qt::NoModifier)
        return onEscape ? &onEscape : nullptr;
    if (key->key() == Qt::Key_Comma && modifiers == Qt::ControlModifier)
        return onComma ? &onComma : nullptr;
    return nullptr;
}

bool DashboardKeyCatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const std::function<void()> *action = actionFor(event);
    if (!action)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Accepting the override turns the shortcut into an ordinary key press.
        event->accept();
        return true;
    }
    (*action)();
    return true;
}
