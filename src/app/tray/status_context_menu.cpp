#include "app/tray/status_context_menu.h"

#include "app/shell/app_actions.h"

#include <QAction>
#include <QMenu>

QMenu *buildStatusContextMenu(AppActions &actions, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("statusContextMenu"));
    menu->addAction(QStringLiteral("Full Window"), [&actions] { actions.openDashboard(); });
    menu->addAction(QStringLiteral("Customize…"), [&actions] { actions.openPreferences(); });
    menu->addAction(QStringLiteral("Battery Menu"), [&actions] { actions.forceShowPopover(); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Open Pendra Pro"), [&actions] { actions.openPendraPro(); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Check for Updates"), [&actions] { actions.checkUpdates(); });
    menu->addAction(QStringLiteral("Website"), [&actions] { actions.openWebsite(); });
    menu->addSeparator();
    QAction *quit = menu->addAction(QStringLiteral("Quit Pendra Pro"), [&actions] { actions.quitApp(); });
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    return menu;
}
