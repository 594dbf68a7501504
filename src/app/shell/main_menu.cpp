#include "app/shell/main_menu.h"

#include "app/core/app_actions.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace {

// Edit commands go to the focused widget, as a responder chain would.
void sendToFocus(const char *slot)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return;
    if (qstrcmp(slot, "delete") == 0) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(focus, &press);
        return;
    }
    if (focus->metaObject()->indexOfMethod(QByteArray(slot) + "()") >= 0)
        QMetaObject::invokeMethod(focus, slot);
}

} // namespace

MainMenu::MainMenu(AppActions &actions, QObject *parent)
    : QObject(parent)
{
    m_fullWindow = makeAction(QStringLiteral("Full Window"), QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(m_fullWindow, &QAction::triggered, this, [&actions] { actions.openDashboard(); });
    m_preferences = makeAction(QStringLiteral("Preferences…"), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(m_preferences, &QAction::triggered, this, [&actions] { actions.openPreferences(); });
    m_closeWindow = makeAction(QStringLiteral("Close Window"), QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(m_closeWindow, &QAction::triggered, this, [&actions] { actions.closeDashboard(); });
    m_quit = makeAction(QStringLiteral("Quit Pendra Pro"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(m_quit, &QAction::triggered, this, [&actions] { actions.quitApp(); });

    addEditAction(QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), "undo");
    addEditAction(QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), "redo");
    addEditAction(QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X), "cut");
    addEditAction(QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), "copy");
    addEditAction(QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), "paste");
    addEditAction(QStringLiteral("Delete"), QKeySequence(), "delete");
    addEditAction(QStringLiteral("Select All"), QKeySequence(Qt::CTRL | Qt::Key_A), "selectAll");
}

QAction *MainMenu::makeAction(const QString &text, const QKeySequence &shortcut)
{
    auto *action = new QAction(text, this);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::ApplicationShortcut);
    return action;
}

void MainMenu::addEditAction(const QString &text, const QKeySequence &shortcut, const char *slot)
{
    // Window-wide only: a focused text field handles these keys itself first.
    QAction *action = makeAction(text, shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [slot] { sendToFocus(slot); });
    m_edit.append(action);
}

void MainMenu::installInto(QWidget *window)
{
    window->addActions({m_fullWindow, m_preferences, m_closeWindow, m_quit});
    window->addActions(m_edit);
}

QMenuBar *MainMenu::createMenuBar(QWidget *parent)
{
    auto *bar = new QMenuBar(parent);
    QMenu *app = bar->addMenu(QStringLiteral("Pendra"));
    app->addAction(m_fullWindow);
    app->addAction(m_preferences);
    app->addAction(m_closeWindow);
    app->addSeparator();
    app->addAction(m_quit);
    QMenu *edit = bar->addMenu(QStringLiteral("Edit"));
    constexpr int kUndoRedoCount = 2;
    for (int i = 0; i < m_edit.size(); ++i) {
        if (i == kUndoRedoCount)
            edit->addSeparator();
        edit->addAction(m_edit.at(i));
    }
    return bar;
}
