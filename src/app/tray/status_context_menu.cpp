#include "app/tray/status_context_menu.h"

#include "app/core/app_actions.h"

#include <QAction>
#include <QMenu>

namespace {

// Entries by object name; an empty name is a separator.
const QStringList kRegularOrder{
    "fullWindow", "customize", "batteryMenu", "", "openPendraPro", "", "checkUpdates", "website", "", "quit",
};
const QStringList kPopoverFirstOrder{
    "batteryMenu", "fullWindow", "", "customize", "", "openPendraPro", "", "checkUpdates", "website", "", "quit",
};

} // namespace

QMenu *buildStatusContextMenu(AppActions &actions, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("statusContextMenu"));
    const auto add = [menu](const char *name, const QString &text, auto slot) {
        QAction *action = menu->addAction(text, slot);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    add("fullWindow", QStringLiteral("Full Window"), [&actions] { actions.openDashboard(); });
    add("customize", QStringLiteral("Customize…"), [&actions] { actions.openPreferences(); });
    add("batteryMenu", QStringLiteral("Battery Menu"), [&actions] { actions.forceShowPopover(); });
    add("openPendraPro", QStringLiteral("Open Pendra Pro"), [&actions] { actions.openPendraPro(); });
    add("checkUpdates", QStringLiteral("Check for Updates"), [&actions] { actions.checkUpdates(); });
    add("website", QStringLiteral("Website"), [&actions] { actions.openWebsite(); });
    QAction *quit = add("quit", QStringLiteral("Quit Pendra Pro"), [&actions] { actions.quitApp(); });
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    orderStatusContextMenu(*menu, false);
    return menu;
}

void orderStatusContextMenu(QMenu &menu, bool leadWithPopover)
{
    QList<QAction *> entries;
    for (QAction *action : menu.actions()) {
        menu.removeAction(action);
        if (action->isSeparator())
            delete action;
        else
            entries << action;
    }
    for (const QString &name : leadWithPopover ? kPopoverFirstOrder : kRegularOrder) {
        if (name.isEmpty()) {
            menu.addSeparator();
            continue;
        }
        for (QAction *action : std::as_const(entries)) {
            if (action->objectName() == name)
                menu.addAction(action);
        }
    }
}
