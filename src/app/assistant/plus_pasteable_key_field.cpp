#include "app/assistant/plus_pasteable_key_field.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

namespace {

bool onlyControlHeld(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == Qt::ControlModifier;
}

} // namespace

PlusPasteableKeyField::PlusPasteableKeyField(const QString &placeholder, bool isSecure, QWidget *parent)
    : QLineEdit(parent)
{
    setPlaceholderText(placeholder);
    setEchoMode(isSecure ? QLineEdit::Password : QLineEdit::Normal);
    setClearButtonEnabled(false);
}

void PlusPasteableKeyField::pasteFromClipboard()
{
    if (isReadOnly())
        return;
    const QString text = QGuiApplication::clipboard()->text().trimmed();
    if (text.isEmpty())
        return;
    if (hasFocus())
        insert(text);
    else
        setText(text);
}

bool PlusPasteableKeyField::handleShortcut(const QKeyEvent &press, bool perform)
{
    if (!onlyControlHeld(press.modifiers()))
        return false;
    switch (press.key()) {
    case Qt::Key_V:
        if (perform)
            pasteFromClipboard();
        return true;
    case Qt::Key_C:
        if (perform)
            copy(); // does nothing while masked, as it should
        return true;
    case Qt::Key_X:
        if (perform)
            cut();
        return true;
    case Qt::Key_A:
        if (perform)
            selectAll();
        return true;
    default:
        return false;
    }
}

bool PlusPasteableKeyField::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto *press = static_cast<QKeyEvent *>(event);
        if (handleShortcut(*press, event->type() == QEvent::KeyPress)) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}
