#pragma once

#include <QObject>

class AppActions;
class QAction;
class QMenuBar;
class QWidget;

// The application's menu: "Full Window" (Ctrl+D), "Preferences…" (Ctrl+,),
// "Close Window" (Ctrl+W), "Quit Pendra Pro" (Ctrl+Q), and an Edit menu that
// acts on the focused text field. The shortcuts work in every window that
// the menu was installed into.
class MainMenu : public QObject
{
    Q_OBJECT

public:
    MainMenu(AppActions &actions, QObject *parent = nullptr);

    // Makes the shortcuts available while `window` (or any other installed
    // window) is active.
    void installInto(QWidget *window);
    // A menu bar with the "Pendra" and "Edit" menus, owned by `parent`.
    QMenuBar *createMenuBar(QWidget *parent);

    QAction *fullWindowAction() const { return m_fullWindow; }
    QAction *preferencesAction() const { return m_preferences; }
    QAction *closeWindowAction() const { return m_closeWindow; }
    QAction *quitAction() const { return m_quit; }
    const QList<QAction *> &editActions() const { return m_edit; }

private:
    QAction *makeAction(const QString &text, const QKeySequence &shortcut);
    void addEditAction(const QString &text, const QKeySequence &shortcut, const char *slot);

    QAction *m_fullWindow = nullptr;
    QAction *m_preferences = nullptr;
    QAction *m_closeWindow = nullptr;
    QAction *m_quit = nullptr;
    QList<QAction *> m_edit;
};
