#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <memory>

class AppActions;
class Clock;
class PopoverController;
class QMenu;
class StatusItem;
struct TrayHostBehaviour;

// What a click on the status item does: a single click toggles the popover,
// a double click opens the dashboard, a right click opens the context menu
// at the click. On hosts that open the item's menu on a single click and
// send Activate only for a double click, that lone Activate opens the
// dashboard, and the menu leads with the popover and the dashboard.
// The popover holds the pointer while it is open, so the second click of a
// double click never reaches the host: a press on the item soon after the
// click that opened the popover is that second click. The context menu
// opening, drawn by Qt or by the host, closes the popover.
class StatusClickRouter : public QObject
{
    Q_OBJECT

public:
    StatusClickRouter(PopoverController &popover, AppActions &actions, Clock &clock, QObject *parent = nullptr);
    ~StatusClickRouter() override;

    // Follows `item`'s clicks (replacing the previous item's) and gives it
    // the context menu.
    void attach(StatusItem *item);
    // The host showing the item changed (or became known).
    void setHostBehaviour(const TrayHostBehaviour &behaviour);

    // Uptime of the last single click; 0 after a double click.
    double lastLeftClickAt() const { return m_lastLeftClickAt; }
    // Where the last click of either button happened (null when the host
    // did not say).
    QPoint lastClickPosition() const { return m_lastClickPosition; }
    // The one context menu, built once: popped up on a right click and
    // exported to hosts that draw it themselves.
    QMenu *contextMenu() const { return m_menu.get(); }
    // The context menu while it is open (null otherwise).
    QMenu *openContextMenu() const;

private:
    void leftClick(QPoint position, int clickCount);
    void rightClick(QPoint position);
    void pressWhilePopoverOpen(QPoint global);

    PopoverController &m_popover;
    AppActions &m_actions;
    Clock &m_clock;
    std::unique_ptr<QMenu> m_menu;
    QPointer<StatusItem> m_item;
    bool m_loneActivateIsDoubleClick = false;
    double m_lastLeftClickAt = 0;
    QPoint m_lastClickPosition;
};
