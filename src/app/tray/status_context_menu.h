#pragma once

class AppActions;
class QMenu;
class QWidget;

// The status item's menu: "Full Window", "Customize…", "Battery Menu", "Open
// Pendra Pro", "Check for Updates", "Website", "Quit Pendra Pro". The caller
// owns the menu.
QMenu *buildStatusContextMenu(AppActions &actions, QWidget *parent = nullptr);

// Puts the menu's entries in order in place (hosts that export it see the
// change). With `leadWithPopover`, for hosts that open this menu on a plain
// click, "Battery Menu" and "Full Window" come first so that one click and
// one choice reach them.
void orderStatusContextMenu(QMenu &menu, bool leadWithPopover);
