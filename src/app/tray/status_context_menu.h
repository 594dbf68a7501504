#pragma once

class AppActions;
class QMenu;
class QWidget;

// The status item's right-click menu: "Full Window", "Customize…", "Battery
// Menu", "Open Pendra Pro", "Check for Updates", "Website", "Quit Pendra Pro".
// The caller owns the menu.
QMenu *buildStatusContextMenu(AppActions &actions, QWidget *parent = nullptr);
